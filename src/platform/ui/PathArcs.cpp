#include "platform/ui/PathArcs.h"

#include <QLineF>
#include <QRectF>

#include <cmath>
#include <numbers>

namespace platform::ui::PathArcs {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

} // namespace

void addArc(QPainterPath& path, const QPointF& center, double radius, double startAngle,
    double endAngle, bool clockwise)
{
    if (!(radius >= 0) || !std::isfinite(startAngle) || !std::isfinite(endAngle))
        return;
    double sweep = endAngle - startAngle;
    // The platform's rule: without `clockwise` the angle grows until it reaches the end
    // (a whole turn at most), with it the angle shrinks.
    if (!clockwise) {
        if (sweep >= kTwoPi)
            sweep = kTwoPi;
        while (sweep < 0)
            sweep += kTwoPi;
    } else {
        if (sweep <= -kTwoPi)
            sweep = -kTwoPi;
        while (sweep > 0)
            sweep -= kTwoPi;
    }
    const QPointF start(
        center.x() + radius * std::cos(startAngle), center.y() + radius * std::sin(startAngle));
    if (path.elementCount() == 0)
        path.moveTo(start);
    else
        path.lineTo(start);
    // Qt's angles grow counter-clockwise on screen: the opposite sign.
    if (sweep == 0)
        return;
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    path.arcTo(box, -degrees(startAngle), -degrees(sweep));
}

void addArcToPoint(QPainterPath& path, const QPointF& corner, const QPointF& towards, double radius)
{
    if (path.elementCount() == 0)
        path.moveTo(corner);
    const QPointF current = path.currentPosition();
    const QPointF in = current - corner;
    const QPointF out = towards - corner;
    const double inLength = std::hypot(in.x(), in.y());
    const double outLength = std::hypot(out.x(), out.y());
    if (radius <= 0 || inLength == 0 || outLength == 0) {
        path.lineTo(corner);
        return;
    }
    const QPointF u = in / inLength;
    const QPointF v = out / outLength;
    const double cross = u.x() * v.y() - u.y() * v.x();
    const double dot = u.x() * v.x() + u.y() * v.y();
    const double angle = std::atan2(std::abs(cross), dot); // between the two legs
    if (std::abs(cross) < 1e-12 || angle <= 0) {
        path.lineTo(corner);
        return;
    }
    const double tangent = radius / std::tan(angle / 2);
    const QPointF first = corner + u * tangent;
    const QPointF second = corner + v * tangent;
    QPointF bisector = u + v;
    bisector /= std::hypot(bisector.x(), bisector.y());
    const QPointF center = corner + bisector * (radius / std::sin(angle / 2));
    const double start = std::atan2(first.y() - center.y(), first.x() - center.x());
    const double end = std::atan2(second.y() - center.y(), second.x() - center.x());
    // The short way round: the arc turns with the corner.
    double sweep = end - start;
    while (sweep > std::numbers::pi)
        sweep -= kTwoPi;
    while (sweep < -std::numbers::pi)
        sweep += kTwoPi;
    path.lineTo(first);
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    path.arcTo(box, -degrees(start), -degrees(sweep));
}

} // namespace platform::ui::PathArcs
