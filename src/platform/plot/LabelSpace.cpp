#include "platform/plot/LabelSpace.h"

#include <algorithm>
#include <cmath>

namespace platform::plot {

namespace {

quint64 cellKey(qint64 column, qint64 row)
{
    return (quint64(quint32(qint32(column))) << 32) | quint32(qint32(row));
}

// The cell a coordinate lies in. Labels of points far outside the plot area share the
// outermost cells, where their rectangles are still compared one by one.
qint64 cellOf(double coordinate)
{
    constexpr double outermost = 1 << 30;
    return qint64(std::clamp(std::floor(coordinate / LabelSpace::CellSize), -outermost, outermost));
}

bool finite(const QRectF& rect)
{
    return std::isfinite(rect.left()) && std::isfinite(rect.top()) && std::isfinite(rect.right())
        && std::isfinite(rect.bottom());
}

// Whether an edge of the first outline has the second wholly on its outer side (or on its
// line): then the two share no area.
bool separatedByAnEdgeOf(const QPolygonF& first, const QPolygonF& second)
{
    for (qsizetype i = 0; i < first.size(); ++i) {
        const QPointF from = first[i];
        const QPointF to = first[(i + 1) % first.size()];
        // Across the edge; an edge of no length (a closing corner repeated) separates nothing.
        const QPointF normal(from.y() - to.y(), to.x() - from.x());
        if (normal.isNull())
            continue;
        const auto project
            = [&](const QPointF& point) { return QPointF::dotProduct(point - from, normal); };
        double firstLow = 0;
        double firstHigh = 0;
        for (const QPointF& point : first) {
            firstLow = std::min(firstLow, project(point));
            firstHigh = std::max(firstHigh, project(point));
        }
        double secondLow = project(second.first());
        double secondHigh = secondLow;
        for (const QPointF& point : second) {
            secondLow = std::min(secondLow, project(point));
            secondHigh = std::max(secondHigh, project(point));
        }
        if (secondLow >= firstHigh || secondHigh <= firstLow)
            return true;
    }
    return false;
}

QPolygonF cornersOf(const QRectF& rect)
{
    return QPolygonF({ rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft() });
}

} // namespace

bool LabelSpace::overlap(const Shape& a, const Shape& b)
{
    if (!a.bounds.intersects(b.bounds))
        return false;
    if (a.outline.isEmpty() && b.outline.isEmpty())
        return true;
    // Convex shapes overlap unless an edge of one separates them.
    const QPolygonF first = a.outline.isEmpty() ? cornersOf(a.bounds) : a.outline;
    const QPolygonF second = b.outline.isEmpty() ? cornersOf(b.bounds) : b.outline;
    return !separatedByAnEdgeOf(first, second) && !separatedByAnEdgeOf(second, first);
}

bool LabelSpace::take(const QRectF& rect)
{
    return take(Shape { rect, {} });
}

bool LabelSpace::take(const QPolygonF& outline)
{
    const bool finitePoints = std::all_of(outline.cbegin(), outline.cend(),
        [](const QPointF& point) { return std::isfinite(point.x()) && std::isfinite(point.y()); });
    if (outline.size() < 3 || !finitePoints)
        return false;
    return take(Shape { outline.boundingRect(), outline });
}

bool LabelSpace::take(const Shape& shape)
{
    const QRectF& rect = shape.bounds;
    // A label at no number, or at an infinity, is nowhere to be drawn.
    if (!rect.isValid() || !finite(rect))
        return false;
    const qint64 left = cellOf(rect.left());
    const qint64 right = cellOf(rect.right());
    const qint64 top = cellOf(rect.top());
    const qint64 bottom = cellOf(rect.bottom());
    // A label larger than the view is never drawn anyway.
    if (right - left > 256 || bottom - top > 256)
        return false;
    for (qint64 column = left; column <= right; ++column) {
        for (qint64 row = top; row <= bottom; ++row) {
            const auto found = m_cells.constFind(cellKey(column, row));
            if (found == m_cells.constEnd())
                continue;
            for (const Shape& taken : *found) {
                if (overlap(taken, shape))
                    return false;
            }
        }
    }
    for (qint64 column = left; column <= right; ++column) {
        for (qint64 row = top; row <= bottom; ++row)
            m_cells[cellKey(column, row)].append(shape);
    }
    return true;
}

bool LabelSpace::covers(const QPointF& point) const
{
    if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
        return false;
    const auto found = m_cells.constFind(cellKey(cellOf(point.x()), cellOf(point.y())));
    if (found == m_cells.constEnd())
        return false;
    for (const Shape& taken : *found) {
        if (taken.bounds.contains(point)
            && (taken.outline.isEmpty() || taken.outline.containsPoint(point, Qt::OddEvenFill)))
            return true;
    }
    return false;
}

} // namespace platform::plot
