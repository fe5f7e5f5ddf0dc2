#include "platform/plot/PlotSpace.h"

#include "platform/plot/Plot.h"
#include "platform/plot/PlotSpaceDelegate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform::plot {

namespace {

bool usable(const PlotRange& range)
{
    return std::isfinite(range.location) && std::isfinite(range.length);
}

// Values apart by less than this share of their size differ only in their last digits: a
// person sees one value, and no round tick interval fits between them.
constexpr double kResolution = 1e-12;

// Where the value lies along the range, 0 at its start and 1 at its end; a value far
// beyond a range near the largest double is still placed, not lost to an overflow.
double fraction(double value, const PlotRange& range)
{
    const double along = (value - range.location) / range.length;
    if (std::isfinite(along) || !std::isfinite(value))
        return along;
    return value / range.length - range.location / range.length;
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

void PlotSpace::scaleToFitPlots(const QList<Plot*>& plots, double xResolution, double yResolution)
{
    for (int coordinate : { int(X), int(Y) }) {
        double resolution = coordinate == X ? xResolution : yResolution;
        if (!std::isfinite(resolution) || resolution < 0)
            resolution = 0;
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
        double middle = all.midPoint();
        if (all.length == 0 || std::abs(all.length) <= std::abs(middle) * kResolution
            || std::abs(all.length) < resolution) {
            // One value: the one its labels show, so round ticks fall on the range's ends.
            const double shown = resolution > 0 ? std::round(middle / resolution) * resolution : 0;
            if (resolution > 0 && std::isfinite(shown))
                middle = shown;
            // A unit around it, so the points do not sit on a range of no size, and at least
            // a label's step on each side, so the labels have ticks to tell apart.
            double pad = middle == 0 ? 1.0 : std::abs(middle) * 0.1;
            if (resolution > pad && std::isfinite(4 * resolution))
                pad = resolution;
            all = { middle - pad, 2 * pad };
            // Near the largest double the room goes on the side towards 0.
            if (!std::isfinite(all.end()))
                all.location = middle - 2 * pad;
            else if (!std::isfinite(all.location))
                all.location = middle;
            // Ends on the labels' steps; the points are a step or more inside them.
            if (resolution > 0) {
                const double low = std::floor(all.location / resolution + 1e-6) * resolution;
                const double high = std::ceil(all.end() / resolution - 1e-6) * resolution;
                if (std::isfinite(low) && std::isfinite(high) && std::isfinite(high - low)
                    && low <= all.location + resolution / 2 && high >= all.end() - resolution / 2)
                    all = { low, high - low };
            }
        }
        setRange(all, coordinate);
    }
}

double PlotSpace::viewX(double x) const
{
    if (m_xRange.length == 0)
        return m_plotArea.center().x();
    return m_plotArea.left() + fraction(x, m_xRange) * m_plotArea.width();
}

double PlotSpace::viewY(double y) const
{
    if (m_yRange.length == 0)
        return m_plotArea.center().y();
    return m_plotArea.bottom() - fraction(y, m_yRange) * m_plotArea.height();
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

QRectF PlotSpace::drawableArea() const
{
    return m_plotArea.adjusted(-FarOutside, -FarOutside, FarOutside, FarOutside);
}

bool PlotSpace::clipLine(QLineF& line, const QRectF& rect)
{
    // Liang-Barsky: the part of the segment's parameter range inside each pair of edges.
    // Halves throughout, so ends near the largest double still have a finite difference.
    const QPointF from = line.p1();
    const QPointF to = line.p2();
    const double halfX = to.x() / 2 - from.x() / 2;
    const double halfY = to.y() / 2 - from.y() / 2;
    double enter = 0;
    double leave = 1;
    const auto edge = [&](double direction, double room) {
        if (direction == 0)
            return room >= 0;
        const double t = room / direction;
        if (direction < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        return enter <= leave;
    };
    if (!edge(-halfX, from.x() / 2 - rect.left() / 2)
        || !edge(halfX, rect.right() / 2 - from.x() / 2)
        || !edge(-halfY, from.y() / 2 - rect.top() / 2)
        || !edge(halfY, rect.bottom() / 2 - from.y() / 2))
        return false;
    if (!(enter <= leave))
        return false;
    const auto at = [&](double t) { return from * (1 - t) + to * t; };
    line = QLineF(at(enter), at(leave));
    return std::isfinite(line.x1()) && std::isfinite(line.y1()) && std::isfinite(line.x2())
        && std::isfinite(line.y2());
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
