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

} // namespace

bool LabelSpace::take(const QRectF& rect)
{
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
            for (const QRectF& taken : *found) {
                if (taken.intersects(rect))
                    return false;
            }
        }
    }
    for (qint64 column = left; column <= right; ++column) {
        for (qint64 row = top; row <= bottom; ++row)
            m_cells[cellKey(column, row)].append(rect);
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
    for (const QRectF& taken : *found) {
        if (taken.contains(point))
            return true;
    }
    return false;
}

} // namespace platform::plot
