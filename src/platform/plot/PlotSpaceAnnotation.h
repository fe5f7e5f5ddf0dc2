#pragma once

#include "platform/plot/TextLayer.h"

#include <QPointF>

class QPainter;

namespace platform::plot {

class PlotSpace;

// A text pinned to a point of the plot space, moved by a displacement (x right, y up).
struct PlotSpaceAnnotation {
    double anchorX = 0;
    double anchorY = 0;
    TextLayer content;
    QPointF displacement;

    void draw(QPainter& painter, const PlotSpace& space) const;
};

} // namespace platform::plot
