#include "platform/plot/PlotSpaceDelegate.h"

namespace platform::plot {

PlotSpaceDelegate::~PlotSpaceDelegate() = default;

bool PlotSpaceDelegate::shouldHandlePointingDeviceDownEvent(PlotSpace*, const QPointF&)
{
    return true;
}

bool PlotSpaceDelegate::shouldHandlePointingDeviceDraggedEvent(PlotSpace*, const QPointF&)
{
    return true;
}

bool PlotSpaceDelegate::shouldHandlePointingDeviceUpEvent(PlotSpace*, const QPointF&)
{
    return true;
}

PlotRange PlotSpaceDelegate::willChangePlotRangeTo(PlotSpace*, const PlotRange& proposed, int)
{
    return proposed;
}

} // namespace platform::plot
