#pragma once

#include <QBrush>
#include <QColor>
#include <QGradientStops>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace platform::plot {

// What fills an area: nothing, one colour, a linear gradient at an angle (degrees,
// counter-clockwise from the x axis) or a radial gradient from the middle outwards.
class Fill {
public:
    enum class Kind { None, Solid, Linear, Radial };

    Fill() = default;
    static Fill color(const QColor& color);
    static Fill linear(const QColor& begin, const QColor& end, double angle = 0);
    static Fill radial(const QGradientStops& stops);

    Kind kind() const { return m_kind; }
    bool isNone() const { return m_kind == Kind::None; }
    QColor solidColor() const { return m_color; }
    double angle() const { return m_angle; }
    void setAngle(double degrees) { m_angle = degrees; }
    const QGradientStops& stops() const { return m_stops; }
    // A colour at a position (0...1) between the ends of a gradient.
    void addStop(const QColor& color, double position);

    // The brush that fills the rectangle so (a gradient spans it).
    QBrush brushFor(const QRectF& rect) const;
    void fillPath(QPainter& painter, const QPainterPath& path) const;
    void fillRect(QPainter& painter, const QRectF& rect) const;

    bool operator==(const Fill& other) const = default;

private:
    Kind m_kind = Kind::None;
    QColor m_color;
    QGradientStops m_stops;
    double m_angle = 0;
};

} // namespace platform::plot
