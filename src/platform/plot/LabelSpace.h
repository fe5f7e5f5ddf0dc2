#pragma once

#include <QHash>
#include <QList>
#include <QPolygonF>
#include <QRectF>

namespace platform::plot {

// Where labels were drawn in one paint: a label is drawn only where it covers none drawn
// before it, so crowded data keeps readable labels instead of a smear of text. Shapes are
// kept in cells of a coarse grid, so any number of labels is checked quickly.
class LabelSpace {
public:
    // True, and the rectangle taken, when it covers no shape taken before.
    bool take(const QRectF& rect);
    // The same for a convex outline, such as a turned label's four corners: turned texts
    // side by side take only the room they cover, not their upright bounds.
    bool take(const QPolygonF& outline);
    // Whether a shape taken holds the point: a label whose outline holds its anchor cannot
    // be drawn there, which is known before measuring its text.
    bool covers(const QPointF& point) const;

    static constexpr double CellSize = 64.0;

private:
    // A rectangle, or a convex outline and the rectangle around it.
    struct Shape {
        QRectF bounds;
        QPolygonF outline;
    };
    bool take(const Shape& shape);
    static bool overlap(const Shape& a, const Shape& b);

    QHash<quint64, QList<Shape>> m_cells;
};

} // namespace platform::plot
