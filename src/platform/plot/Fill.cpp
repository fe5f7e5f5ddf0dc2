#include "platform/plot/Fill.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::plot {

Fill Fill::color(const QColor& color)
{
    Fill fill;
    fill.m_kind = Kind::Solid;
    fill.m_color = color;
    return fill;
}

Fill Fill::linear(const QColor& begin, const QColor& end, double angle)
{
    Fill fill;
    fill.m_kind = Kind::Linear;
    fill.m_stops = { { 0.0, begin }, { 1.0, end } };
    fill.m_angle = angle;
    return fill;
}

Fill Fill::radial(const QGradientStops& stops)
{
    Fill fill;
    fill.m_kind = Kind::Radial;
    fill.m_stops = stops;
    return fill;
}

void Fill::addStop(const QColor& color, double position)
{
    m_stops.append({ position, color });
    std::stable_sort(m_stops.begin(), m_stops.end(),
        [](const QGradientStop& a, const QGradientStop& b) { return a.first < b.first; });
}

QBrush Fill::brushFor(const QRectF& rect) const
{
    switch (m_kind) {
    case Kind::None:
        return Qt::NoBrush;
    case Kind::Solid:
        return m_color;
    case Kind::Linear: {
        // The gradient runs through the middle at the angle, from edge to edge; y points
        // up in plot terms, so the angle turns the other way on screen.
        const double radians = m_angle * std::numbers::pi / 180.0;
        const double dx = std::cos(radians);
        const double dy = -std::sin(radians);
        const double half = (std::abs(dx) * rect.width() + std::abs(dy) * rect.height()) / 2;
        const QPointF middle = rect.center();
        QLinearGradient gradient(middle - QPointF(dx, dy) * half, middle + QPointF(dx, dy) * half);
        gradient.setStops(m_stops);
        return gradient;
    }
    case Kind::Radial: {
        const double radius = std::max(rect.width(), rect.height()) / 2;
        QRadialGradient gradient(rect.center(), std::max(radius, 0.001));
        gradient.setStops(m_stops);
        return gradient;
    }
    }
    return Qt::NoBrush;
}

void Fill::fillPath(QPainter& painter, const QPainterPath& path) const
{
    if (m_kind == Kind::None)
        return;
    painter.fillPath(path, brushFor(path.boundingRect()));
}

void Fill::fillRect(QPainter& painter, const QRectF& rect) const
{
    if (m_kind == Kind::None)
        return;
    painter.fillRect(rect, brushFor(rect));
}

} // namespace platform::plot
