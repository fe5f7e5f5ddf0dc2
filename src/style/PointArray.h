#pragma once

#include <QList>
#include <QPointF>
#include <QString>

// A place on a polyline and the direction of the segment it lies on (radians).
struct PointArrayLocation {
    QPointF location;
    double angle = 0.0;
};

// The part of a polyline between two distances: where it starts and ends, and the index
// of the end point of the segment each lies on.
struct PointArrayBounds {
    QPointF startLocation;
    QPointF endLocation;
    qint64 startIndex = 0;
    qint64 endIndex = 0;
};

// Measuring functions over polylines. A negative distance raises platform::Exception named
// "PointNotFoundException".
namespace PointArray {

inline const QString PointNotFoundException = QStringLiteral("PointNotFoundException");

double length(const QList<QPointF>& points);
PointArrayLocation locationAtDistance(const QList<QPointF>& points, double distance);
PointArrayBounds pointArrayBoundsFromDistance(const QList<QPointF>& points, double from, double to);

} // namespace PointArray
