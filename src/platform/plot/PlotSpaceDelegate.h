#pragma once

#include "platform/plot/PlotRange.h"

#include <QPointF>

namespace platform::plot {

class PlotSpace;

// What a plot space asks before it acts on a pointer or changes a range. Each answer is
// optional; the defaults let the plot space go on.
class PlotSpaceDelegate {
public:
    virtual ~PlotSpaceDelegate();

    // Points are in the graph's coordinates (y down, as painted).
    virtual bool shouldHandlePointingDeviceDownEvent(PlotSpace* space, const QPointF& point);
    virtual bool shouldHandlePointingDeviceDraggedEvent(PlotSpace* space, const QPointF& point);
    virtual bool shouldHandlePointingDeviceUpEvent(PlotSpace* space, const QPointF& point);
    // The range the plot space takes instead of the proposed one.
    virtual PlotRange willChangePlotRangeTo(
        PlotSpace* space, const PlotRange& proposed, int coordinate);
};

} // namespace platform::plot
