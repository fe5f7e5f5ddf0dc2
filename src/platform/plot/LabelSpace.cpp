#include "platform/plot/LabelSpace.h"

#include <cmath>

namespace platform::plot {

namespace {

quint64 cellKey(qint64 column, qint64 row)
{
    return (quint64(quint32(qint32(column))) << 32) | quint32(qint32(row));
}

} // namespace

bool LabelSpace::take(const QRectF& rect)
{
    if (!rect.isValid())
        return false;
    const qint64 left = qint64(std::floor(rect.left() / CellSize));
    const qint64 right = qint64(std::floor(rect.right() / CellSize));
    const qint64 top = qint64(std::floor(rect.top() / CellSize));
    const qint64 bottom = qint64(std::floor(rect.bottom() / CellSize));
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
    const auto found = m_cells.constFind(cellKey(
        qint64(std::floor(point.x() / CellSize)), qint64(std::floor(point.y() / CellSize))));
    if (found == m_cells.constEnd())
        return false;
    for (const QRectF& taken : *found) {
        if (taken.contains(point))
            return true;
    }
    return false;
}

} // namespace platform::plot
