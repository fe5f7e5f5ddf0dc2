#include "platform/plot/Axis.h"

#include "platform/plot/LabelSpace.h"
#include "platform/plot/PlotSpace.h"

#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace platform::plot {

namespace {

constexpr double kTickLength = 4.0;
constexpr double kTitleGap = 4.0;
// Lines closer than this to the one drawn before are left out: dense data would otherwise
// paint the plot area over.
constexpr double kClosestLines = 3.0;

// A label may reach this far past the bounds and still count as drawn whole: its box has a
// margin around the text.
constexpr double kWholeSlack = 0.5;

bool usableInterval(double interval)
{
    return std::isfinite(interval) && interval > 0;
}

// Turned by whole quarter turns: its box is its outline.
bool upright(double rotation)
{
    const double quarters = rotation / (std::numbers::pi / 2);
    return std::isfinite(quarters) && std::abs(quarters - std::round(quarters)) < 1e-9;
}

// A turned box drawn in by the distance from each of its sides.
QPolygonF inset(const QPolygonF& box, double by)
{
    QPolygonF result;
    for (qsizetype i = 0; i < box.size(); ++i) {
        const QPointF corner = box[i];
        const QLineF next(corner, box[(i + 1) % box.size()]);
        const QLineF previous(corner, box[(i + box.size() - 1) % box.size()]);
        QPointF moved = corner;
        if (next.length() > 2 * by && previous.length() > 2 * by)
            moved += (next.unitVector().p2() - corner + previous.unitVector().p2() - corner) * by;
        result.append(moved);
    }
    return result;
}

// Multiples of the interval from the origin inside the range; none when there would be
// too many to draw. The multiples are counted in whole steps: far from the origin a step
// of the interval may be below a double's resolution, and adding 1 to the multiple would
// then change nothing. A multiple that lands where the one before did is left out.
QList<double> multiplesIn(const PlotRange& range, double origin, double interval)
{
    QList<double> result;
    if (!usableInterval(interval) || !std::isfinite(range.location) || !std::isfinite(range.length))
        return result;
    const double low = range.minLimit();
    const double high = range.maxLimit();
    if (!std::isfinite(low) || !std::isfinite(high)
        || !((high - low) / interval <= Axis::MaximumTicks))
        return result;
    const double first = std::ceil((low - origin) / interval - 1e-9);
    const double last = std::floor((high - origin) / interval + 1e-9);
    if (!std::isfinite(first) || !std::isfinite(last) || last < first)
        return result;
    // first and last hold whole numbers; their difference is at most MaximumTicks (plus the
    // rounding of the two quotients), though each may be far beyond 2^53.
    const double span = last - first;
    if (!(span <= Axis::MaximumTicks + 2))
        return result;
    const int count = int(span) + 1;
    for (int step = 0; step < count; ++step) {
        double value = origin + (first + step) * interval;
        // Zero, not a tiny remainder of the arithmetic.
        if (std::abs(value) < interval * 1e-9)
            value = 0.0;
        if (!std::isfinite(value) || (!result.isEmpty() && value <= result.last()))
            continue;
        result.append(value);
    }
    return result;
}

} // namespace

Axis::Axis(int coordinate)
    : m_coordinate(coordinate)
{
}

QList<AxisLabel> Axis::labelsFor(const Ticks& found) const
{
    if (m_policy == LabelingPolicy::None)
        return m_axisLabels;
    QList<AxisLabel> labels;
    if (!m_formatter)
        return labels;
    labels.reserve(found.major.size());
    for (double location : found.major) {
        AxisLabel label;
        label.content.text = m_formatter(location);
        label.content.textStyle = m_labelStyle;
        label.tickLocation = location;
        label.rotation = m_labelRotation;
        label.offset = m_labelOffset;
        labels.append(label);
    }
    return labels;
}

QPointF Axis::labelContentAnchor() const
{
    // Below a horizontal axis, its upper edge's middle on the tick; left of a vertical one,
    // its right edge's middle.
    return m_coordinate == PlotSpace::X ? QPointF(0.5, 1.0) : QPointF(1.0, 0.5);
}

QList<Axis::LabelReach> Axis::labelReach(const PlotSpace& space) const
{
    QList<LabelReach> result;
    const QRectF area = space.plotArea();
    if (!(area.width() > 0) || !std::isfinite(area.width()))
        return result;
    const PlotRange shown = range(space);
    const QList<AxisLabel> labels = labelsFor(ticks(space));
    const bool horizontal = m_coordinate == PlotSpace::X;
    const QPointF contentAnchor = labelContentAnchor();
    // Where each label stands across the area: its tick's place along a horizontal axis,
    // the axis line for a vertical one.
    struct Standing {
        const AxisLabel* label;
        QPointF anchor;
        double stand;
    };
    // More labels than pixels: the paint tries few of them, and the outermost reach furthest.
    // Those are found by their ticks alone, as measuring or placing them all would cost more
    // than the paint.
    const bool dense = labels.size() > (horizontal ? area.width() : area.height());
    QList<const AxisLabel*> candidates;
    const AxisLabel* lowest = nullptr;
    const AxisLabel* highest = nullptr;
    for (const AxisLabel& label : labels) {
        if (label.content.text.isEmpty() || !shown.contains(label.tickLocation))
            continue;
        if (!dense)
            candidates.append(&label);
        if (!lowest || label.tickLocation < lowest->tickLocation)
            lowest = &label;
        if (!highest || label.tickLocation > highest->tickLocation)
            highest = &label;
    }
    if (dense && lowest)
        candidates = { lowest, highest };
    QList<Standing> standing;
    const QRectF drawable = space.drawableArea();
    const double line = linePosition(space);
    for (const AxisLabel* label : std::as_const(candidates)) {
        const QPointF anchor = pointAt(space, label->tickLocation, label->offset);
        if (!drawable.contains(anchor))
            continue;
        const double stand = horizontal ? space.viewX(label->tickLocation) : line;
        // Only labels standing over the area move with its sides.
        if (stand >= area.left() && stand <= area.right())
            standing.append({ label, anchor, stand });
    }
    const auto shareOf = [&](double stand) { return (stand - area.left()) / area.width(); };
    double outwards = 0;
    for (const Standing& at : std::as_const(standing)) {
        const AxisLabel& label = *at.label;
        const QRectF place = label.content.boundsAt(at.anchor, contentAnchor, label.rotation);
        if (!place.isValid() || !std::isfinite(place.left()) || !std::isfinite(place.right()))
            continue;
        result.append({ shareOf(at.stand), at.stand - place.left(), place.right() - at.stand });
        outwards = std::max(outwards, label.offset + place.width());
    }
    // The title of a vertical axis stands beside its labels, as draw places it.
    if (!horizontal && !m_title.isEmpty()) {
        TextLayer title;
        title.text = m_title;
        title.textStyle = m_titleStyle;
        const double offset = std::max(m_titleOffset, outwards + kTitleGap);
        result.append({ shareOf(line), offset + title.size().height(), -offset });
    }
    return result;
}

double Axis::niceInterval(double length, int ticks)
{
    length = std::abs(length);
    if (!std::isfinite(length) || length == 0 || ticks < 1)
        return 0;
    const double raw = length / ticks;
    if (!(raw > 0))
        return 0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    if (!(magnitude > 0) || !std::isfinite(magnitude))
        return raw;
    const double residual = raw / magnitude;
    double nice = 10;
    if (residual <= 1)
        nice = 1;
    else if (residual <= 2)
        nice = 2;
    else if (residual <= 5)
        nice = 5;
    // Near the largest double the round value is beyond it: the plain one serves.
    const double rounded = nice * magnitude;
    return std::isfinite(rounded) ? rounded : raw;
}

PlotRange Axis::range(const PlotSpace& space) const
{
    return m_visibleRange.value_or(space.rangeFor(m_coordinate));
}

Axis::Ticks Axis::ticks(const PlotSpace& space) const
{
    Ticks result;
    const PlotRange shown = range(space);
    double interval = 0;
    switch (m_policy) {
    case LabelingPolicy::None:
    case LabelingPolicy::LocationsProvided:
        result.major = m_majorLocations;
        result.minor = m_minorLocations;
        return result;
    case LabelingPolicy::FixedInterval:
        interval = m_majorInterval;
        break;
    case LabelingPolicy::Automatic:
        interval = niceInterval(shown.length, std::max(1, m_preferredTicks));
        break;
    }
    if (usableInterval(interval) && usableInterval(m_labelResolution)
        && interval < m_labelResolution) {
        // Ticks finer than the labels would repeat one label: the fewest whole intervals that
        // reach the labels' step (for the automatic policy the step is itself round).
        const double steps = std::ceil(m_labelResolution / interval * (1 - 1e-9));
        const double coarser = steps * interval;
        interval = std::isfinite(coarser) && coarser >= m_labelResolution * (1 - 1e-9)
            ? coarser
            : m_labelResolution;
    }
    result.major = multiplesIn(shown, 0, interval);
    if (m_minorTicks > 0 && usableInterval(interval) && !result.major.isEmpty())
        result.minor = multiplesIn(shown, 0, interval / (m_minorTicks + 1));
    // Minor ticks where no major one is.
    result.minor.removeIf([&](double value) {
        return std::any_of(result.major.cbegin(), result.major.cend(),
            [&](double major) { return std::abs(major - value) < interval * 1e-6; });
    });
    return result;
}

double Axis::linePosition(const PlotSpace& space) const
{
    const QRectF area = space.plotArea();
    // A crossing at no number lies nowhere: the axis is held at the lower edge instead.
    const bool lowerEdge = m_fixedToLowerEdge || std::isnan(m_orthogonalPosition);
    if (m_coordinate == PlotSpace::X) {
        const double y = lowerEdge ? area.bottom() : space.viewY(m_orthogonalPosition);
        return std::isnan(y) ? area.bottom() : std::clamp(y, area.top(), area.bottom());
    }
    const double x = lowerEdge ? area.left() : space.viewX(m_orthogonalPosition);
    return std::isnan(x) ? area.left() : std::clamp(x, area.left(), area.right());
}

QPointF Axis::pointAt(const PlotSpace& space, double location, double outward) const
{
    const double line = linePosition(space);
    if (m_coordinate == PlotSpace::X)
        return { space.viewX(location), line + outward };
    return { line - outward, space.viewY(location) };
}

void Axis::drawGridLines(QPainter& painter, const PlotSpace& space) const
{
    if (!m_majorGrid && !m_minorGrid)
        return;
    const Ticks found = ticks(space);
    const int other = m_coordinate == PlotSpace::X ? PlotSpace::Y : PlotSpace::X;
    const PlotRange across = m_gridLinesRange.value_or(space.rangeFor(other));
    painter.save();
    painter.setClipRect(space.plotArea());
    // Lines run no further out than a view could show.
    const QRectF drawable = space.drawableArea();
    const auto alongX = [&](double x) { return std::clamp(x, drawable.left(), drawable.right()); };
    const auto alongY = [&](double y) { return std::clamp(y, drawable.top(), drawable.bottom()); };
    const auto drawLines = [&](const QList<double>& locations, const LineStyle& style) {
        painter.setPen(style.pen());
        double last = -1e300;
        for (double location : locations) {
            const double at
                = m_coordinate == PlotSpace::X ? space.viewX(location) : space.viewY(location);
            if (std::abs(at - last) < kClosestLines)
                continue;
            last = at;
            if (m_coordinate == PlotSpace::X) {
                if (!(at >= drawable.left() && at <= drawable.right()))
                    continue;
                const QLineF line(at, alongY(space.viewY(across.location)), at,
                    alongY(space.viewY(across.end())));
                if (!std::isnan(line.y1()) && !std::isnan(line.y2()))
                    painter.drawLine(line);
            } else {
                if (!(at >= drawable.top() && at <= drawable.bottom()))
                    continue;
                const QLineF line(alongX(space.viewX(across.location)), at,
                    alongX(space.viewX(across.end())), at);
                if (!std::isnan(line.x1()) && !std::isnan(line.x2()))
                    painter.drawLine(line);
            }
        }
    };
    if (m_minorGrid)
        drawLines(found.minor, *m_minorGrid);
    if (m_majorGrid)
        drawLines(found.major, *m_majorGrid);
    painter.restore();
}

void Axis::draw(QPainter& painter, const PlotSpace& space, const QRectF& bounds) const
{
    const Ticks found = ticks(space);
    const PlotRange shown = range(space);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (m_axisLine) {
        painter.setPen(m_axisLine->pen());
        painter.drawLine(QLineF(pointAt(space, shown.location, 0), pointAt(space, shown.end(), 0)));
    }
    const auto drawTicks
        = [&](const QList<double>& locations, const LineStyle& style, double length) {
              const QPen pen = style.pen();
              painter.setPen(pen);
              const bool horizontal = m_coordinate == PlotSpace::X;
              // Ticks closer than a pixel to the next merge into one band across their run: it is
              // what their strokes would paint, and a tick a category is many thousands of strokes.
              double runFirst = 0;
              double runLast = 0;
              qsizetype runLength = 0;
              const auto closeRun = [&] {
                  if (runLength == 1) {
                      painter.drawLine(
                          QLineF(pointAt(space, runFirst, 0), pointAt(space, runFirst, length)));
                  } else if (runLength > 1) {
                      const QPointF from = pointAt(space, runFirst, 0);
                      const QPointF to = pointAt(space, runLast, length);
                      const double half = pen.widthF() / 2;
                      const QRectF band = QRectF(from, to).normalized();
                      painter.fillRect(horizontal ? band.adjusted(-half, 0, half, 0)
                                                  : band.adjusted(0, -half, 0, half),
                          style.lineColor);
                  }
                  runLength = 0;
              };
              const auto at = [&](double location) {
                  return horizontal ? space.viewX(location) : space.viewY(location);
              };
              for (double location : locations) {
                  if (!shown.contains(location)
                      || !space.drawableArea().contains(pointAt(space, location, 0)))
                      continue;
                  if (runLength > 0 && std::abs(at(location) - at(runLast)) < 1) {
                      runLast = location;
                      ++runLength;
                      continue;
                  }
                  closeRun();
                  runFirst = runLast = location;
                  runLength = 1;
              }
              closeRun();
          };
    if (m_minorTick)
        drawTicks(found.minor, *m_minorTick, kTickLength / 2);
    if (m_majorTick)
        drawTicks(found.major, *m_majorTick, kTickLength);

    // Labels, each where it does not cover the one before and drawn whole; how far they
    // reach outwards.
    const QList<AxisLabel> labels = labelsFor(found);
    const bool horizontal = m_coordinate == PlotSpace::X;
    const QPointF contentAnchor = labelContentAnchor();
    const QRectF whole = bounds.adjusted(-kWholeSlack, -kWholeSlack, kWholeSlack, kWholeSlack);
    double reach = 0;
    LabelSpace taken;
    // More labels than pixels along the axis: only a column's first is tried, as measuring
    // them all to leave out nearly all would cost the most of the paint.
    const QRectF area = space.plotArea();
    const bool dense = labels.size() > (horizontal ? area.width() : area.height());
    double lastTried = -std::numeric_limits<double>::infinity();
    for (const AxisLabel& label : labels) {
        if (label.content.text.isEmpty() || !shown.contains(label.tickLocation))
            continue;
        const QPointF anchor = pointAt(space, label.tickLocation, label.offset);
        if (!space.drawableArea().contains(anchor))
            continue;
        if (dense) {
            const double column = std::floor(horizontal ? anchor.x() : anchor.y());
            if (column == lastTried)
                continue;
            lastTried = column;
        }
        const bool turned = !upright(label.rotation);
        // An upright label's box holds its anchor: one anchored inside a label drawn before
        // cannot be drawn, known before measuring its text. A turned text's box does not.
        if (!turned && taken.covers(anchor))
            continue;
        const QPolygonF box = label.content.outlineAt(anchor, contentAnchor, label.rotation);
        const QRectF place = box.boundingRect();
        if (bounds.isValid() && !whole.contains(place))
            continue;
        // A turned one takes its turned box, not the upright bounds around it; its text keeps
        // a margin from the next, which may share the rest of its own.
        if (!(turned ? taken.take(inset(box, TextLayer::Margin / 2)) : taken.take(place)))
            continue;
        label.content.draw(painter, anchor, contentAnchor, label.rotation);
        reach = std::max(reach, label.offset + (horizontal ? place.height() : place.width()));
    }

    if (!m_title.isEmpty()) {
        TextLayer title;
        title.text = m_title;
        title.textStyle = m_titleStyle;
        // The title keeps clear of the labels.
        const double offset = std::max(m_titleOffset, reach + kTitleGap);
        QPointF anchor = pointAt(space, shown.midPoint(), offset);
        const QPointF content = horizontal ? QPointF(0.5, 1.0) : QPointF(1.0, 0.5);
        const double rotation = horizontal ? 0 : std::numbers::pi / 2;
        if (bounds.isValid()) {
            // Short of room the title moves in over its labels rather than out of sight.
            const QRectF place = title.boundsAt(anchor, content, rotation);
            if (place.bottom() > bounds.bottom())
                anchor.ry() -= place.bottom() - bounds.bottom();
            if (place.left() < bounds.left())
                anchor.rx() += bounds.left() - place.left();
        }
        title.draw(painter, anchor, content, rotation);
    }
    painter.restore();
}

} // namespace platform::plot
