#pragma once

#include <QHash>
#include <QList>
#include <QRectF>

namespace platform::plot {

// Where labels were drawn in one paint: a label is drawn only where it covers none drawn
// before it, so crowded data keeps readable labels instead of a smear of text. Rectangles
// are kept in cells of a coarse grid, so any number of labels is checked quickly.
class LabelSpace {
public:
    // True, and the rectangle taken, when it covers no rectangle taken before.
    bool take(const QRectF& rect);
    // Whether a rectangle taken holds the point: a label anchored there cannot be drawn,
    // which is known before measuring its text.
    bool covers(const QPointF& point) const;

    static constexpr double CellSize = 64.0;

private:
    QHash<quint64, QList<QRectF>> m_cells;
};

} // namespace platform::plot
