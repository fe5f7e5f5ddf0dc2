#include "platform/plot/PlotSpace.h"

#include "platform/plot/Plot.h"
#include "platform/plot/PlotSpaceDelegate.h"

#include <cmath>
#include <limits>

namespace platform::plot {

namespace {

bool usable(const PlotRange& range)
{
    return std::isfinite(range.location) && std::isfinite(range.length);
}

} // namespace

void PlotSpace::setXRange(const PlotRange& range)
{
    setRange(range, X);
}

void PlotSpace::setYRange(const PlotRange& range)
{
    setRange(range, Y);
}

void PlotSpace::setRange(const PlotRange& range, int coordinate)
{
    PlotRange taken
        = m_delegate ? m_delegate->willChangePlotRangeTo(this, range, coordinate) : range;
    if (!usable(taken))
        return;
    (coordinate == X ? m_xRange : m_yRange) = taken;
}

void PlotSpace::scaleToFitPlots(const QList<Plot*>& plots)
{
    for (int coordinate : { int(X), int(Y) }) {
        bool found = false;
        PlotRange all;
        for (Plot* plot : plots) {
            if (!plot || plot->isHidden())
                continue;
            const auto range = plot->plotRangeForCoordinate(coordinate);
            if (!range)
                continue;
            all = found ? all.unionWith(*range) : *range;
            found = true;
        }
        if (!found)
            continue;
        if (all.length == 0) {
            // One value: a unit around it, so the points do not sit on a range of no size.
            const double pad = all.location == 0 ? 1.0 : std::abs(all.location) * 0.1;
            all = { all.location - pad, 2 * pad };
        }
        setRange(all, coordinate);
    }
}

double PlotSpace::viewX(double x) const
{
    if (m_xRange.length == 0)
        return m_plotArea.center().x();
    return m_plotArea.left() + (x - m_xRange.location) / m_xRange.length * m_plotArea.width();
}

double PlotSpace::viewY(double y) const
{
    if (m_yRange.length == 0)
        return m_plotArea.center().y();
    return m_plotArea.bottom() - (y - m_yRange.location) / m_yRange.length * m_plotArea.height();
}

QPointF PlotSpace::viewPoint(double x, double y) const
{
    return { viewX(x), viewY(y) };
}

QPointF PlotSpace::plotPoint(const QPointF& viewPoint) const
{
    const double w = m_plotArea.width();
    const double h = m_plotArea.height();
    const double x = w > 0
        ? m_xRange.location + (viewPoint.x() - m_plotArea.left()) / w * m_xRange.length
        : m_xRange.location;
    const double y = h > 0
        ? m_yRange.location + (m_plotArea.bottom() - viewPoint.y()) / h * m_yRange.length
        : m_yRange.location;
    return { x, y };
}

bool PlotSpace::pointingDeviceDown(const QPointF& point)
{
    if (!m_allowsUserInteraction)
        return false;
    return !m_delegate || m_delegate->shouldHandlePointingDeviceDownEvent(this, point);
}

bool PlotSpace::pointingDeviceDragged(const QPointF& point)
{
    if (!m_allowsUserInteraction)
        return false;
    return !m_delegate || m_delegate->shouldHandlePointingDeviceDraggedEvent(this, point);
}

bool PlotSpace::pointingDeviceUp(const QPointF& point)
{
    if (!m_allowsUserInteraction)
        return false;
    return !m_delegate || m_delegate->shouldHandlePointingDeviceUpEvent(this, point);
}

} // namespace platform::plot
