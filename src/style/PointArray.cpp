#include "style/PointArray.h"

#include "platform/Exception.h"

#include <cmath>

namespace PointArray {

namespace {

const QString kBeforeStart = QStringLiteral("Point is before start of curve");

struct Segment {
    QPointF start;
    QPointF delta;
    double length;
    double angle;
};

Segment segment(const QList<QPointF>& points, qsizetype endIndex)
{
    const QPointF start = points.at(endIndex - 1);
    const QPointF delta = points.at(endIndex) - start;
    return { start, delta, std::hypot(delta.x(), delta.y()), std::atan2(delta.y(), delta.x()) };
}

QPointF along(const Segment& s, double distance)
{
    // Only an end sought before the start can land on a segment of no length.
    if (s.length == 0.0)
        return s.start;
    return s.start + s.delta * (distance / s.length);
}

void requireNotBeforeStart(double distance)
{
    if (distance < 0.0)
        throw platform::Exception(PointNotFoundException, kBeforeStart);
}

QPointF lastPoint(const QList<QPointF>& points)
{
    return points.isEmpty() ? QPointF() : points.last();
}

} // namespace

double length(const QList<QPointF>& points)
{
    double total = 0.0;
    for (qsizetype i = 1; i < points.size(); ++i)
        total += segment(points, i).length;
    return total;
}

PointArrayLocation locationAtDistance(const QList<QPointF>& points, double distance)
{
    requireNotBeforeStart(distance);
    double remaining = distance;
    for (qsizetype i = 1; i < points.size(); ++i) {
        const Segment s = segment(points, i);
        if (s.length > remaining)
            return { along(s, remaining), s.angle };
        remaining -= s.length;
    }
    const double angle = points.size() >= 2 ? segment(points, points.size() - 1).angle : 0.0;
    return { lastPoint(points), angle };
}

PointArrayBounds pointArrayBoundsFromDistance(const QList<QPointF>& points, double from, double to)
{
    requireNotBeforeStart(from);
    PointArrayBounds bounds;
    bounds.startLocation = bounds.endLocation = lastPoint(points);
    bounds.startIndex = bounds.endIndex = points.size();
    double remainingFrom = from;
    double remainingTo = to;
    bool startFound = false;
    for (qsizetype i = 1; i < points.size(); ++i) {
        const Segment s = segment(points, i);
        if (!startFound) {
            if (s.length > remainingFrom) {
                bounds.startLocation = along(s, remainingFrom);
                bounds.startIndex = i;
                startFound = true;
            } else {
                remainingFrom -= s.length;
                remainingTo -= s.length;
                continue;
            }
        }
        // The end is sought from the start's own segment on.
        if (s.length > remainingTo) {
            bounds.endLocation = along(s, remainingTo);
            bounds.endIndex = i;
            break;
        }
        remainingTo -= s.length;
    }
    return bounds;
}

} // namespace PointArray
