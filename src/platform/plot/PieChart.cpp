#include "platform/plot/PieChart.h"

#include "platform/plot/LabelSpace.h"
#include "platform/plot/PlotDataSource.h"
#include "platform/plot/PlotSpace.h"

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::plot {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

// Slices nobody filled get these, in turn.
QColor defaultSliceColor(qsizetype index)
{
    return QColor::fromHsvF(std::fmod(double(index) * 0.15, 1.0), 0.6, 0.9);
}

} // namespace

void PieChart::setPresentedStartAngle(std::optional<double> radians)
{
    m_presentedStartAngle = radians;
    setNeedsDisplay();
}

void PieChart::didReload()
{
    m_fills.clear();
    m_offsets.clear();
    m_legendTitles.clear();
    auto* self = const_cast<PieChart*>(this);
    for (qsizetype i = 0; i < recordCount(); ++i) {
        const auto fill = dataSource()->sliceFillForPieChart(self, i);
        m_fills.append(fill.value_or(Fill::color(defaultSliceColor(i))));
        const double offset = dataSource()->radialOffsetForPieChart(self, i);
        m_offsets.append(std::isfinite(offset) ? offset : 0.0);
        m_legendTitles.append(dataSource()->legendTitleForPieChart(self, i).value_or(QString()));
    }
}

Fill PieChart::sliceFill(qsizetype index) const
{
    return index >= 0 && index < m_fills.size() ? m_fills[index]
                                                : Fill::color(defaultSliceColor(index));
}

QString PieChart::legendTitle(qsizetype index) const
{
    return index >= 0 && index < m_legendTitles.size() ? m_legendTitles[index] : QString();
}

Fill PieChart::legendFill(qsizetype index) const
{
    return sliceFill(index);
}

QPointF PieChart::center(const PlotSpace& space) const
{
    const QRectF area = space.plotArea();
    return { area.left() + m_centerAnchor.x() * area.width(),
        area.bottom() - m_centerAnchor.y() * area.height() };
}

QList<PieChart::Slice> PieChart::slices(const PlotSpace& space) const
{
    double total = 0;
    for (qsizetype i = 0; i < recordCount(); ++i) {
        const double value = number(SliceWidth, i);
        if (std::isfinite(value) && value > 0)
            total += value;
    }
    QList<Slice> result;
    if (!(total > 0) || !std::isfinite(total))
        return result;
    const double sign = m_direction == Direction::CounterClockwise ? 1.0 : -1.0;
    double angle = m_presentedStartAngle.value_or(m_startAngle);
    const QPointF middle = center(space);
    for (qsizetype i = 0; i < recordCount(); ++i) {
        const double value = number(SliceWidth, i);
        if (!std::isfinite(value) || value <= 0)
            continue;
        Slice slice;
        slice.index = i;
        slice.start = angle;
        slice.sweep = sign * kTwoPi * value / total;
        const double mid = slice.start + slice.sweep / 2;
        const double offset = i < m_offsets.size() ? m_offsets[i] : 0.0;
        // y points up in plot terms, down on screen.
        slice.center = middle + QPointF(std::cos(mid), -std::sin(mid)) * offset;
        result.append(slice);
        angle += slice.sweep;
    }
    return result;
}

std::optional<PlotRange> PieChart::plotRangeForCoordinate(int) const
{
    return std::nullopt;
}

void PieChart::draw(QPainter& painter, const PlotSpace& space) const
{
    if (isHidden() || !(m_radius > 0))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QList<Slice> all = slices(space);
    // Slices in place share one overlay over the whole circle; a moved one has its own.
    const QPointF middle = center(space);
    const QRectF whole(middle - QPointF(m_radius, m_radius), QSizeF(2 * m_radius, 2 * m_radius));
    bool anyInPlace = false;
    QPainterPath inPlace;
    // Slices whose arc is under a pixel are drawn together with the ones after them, in
    // the first one's colour, as no pixel could show more than one of them.
    QList<Slice> shown;
    for (const Slice& slice : all) {
        if (!shown.isEmpty() && shown.last().center == middle && slice.center == middle
            && std::abs(shown.last().sweep) * m_radius < 1) {
            shown.last().sweep += slice.sweep;
            continue;
        }
        shown.append(slice);
    }
    for (const Slice& slice : std::as_const(shown)) {
        const QRectF circle(
            slice.center - QPointF(m_radius, m_radius), QSizeF(2 * m_radius, 2 * m_radius));
        QPainterPath path;
        if (std::abs(slice.sweep) >= kTwoPi - 1e-9) {
            path.addEllipse(circle);
        } else {
            path.moveTo(slice.center);
            path.arcTo(circle, degrees(slice.start), degrees(slice.sweep));
            path.closeSubpath();
        }
        sliceFill(slice.index).fillPath(painter, path);
        if (m_overlayFill.isNone())
            continue;
        if (slice.center == middle) {
            anyInPlace = true;
            inPlace.addPath(path);
        } else {
            painter.fillPath(path, m_overlayFill.brushFor(circle));
        }
    }
    if (anyInPlace) {
        const bool allInPlace = std::all_of(
            all.cbegin(), all.cend(), [&](const Slice& slice) { return slice.center == middle; });
        QPainterPath disc;
        disc.addEllipse(whole);
        painter.fillPath(allInPlace ? disc : inPlace, m_overlayFill.brushFor(whole));
    }
    painter.restore();
}

void PieChart::drawLabels(QPainter& painter, const PlotSpace& space) const
{
    if (isHidden())
        return;
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    LabelSpace taken;
    for (const Slice& slice : slices(space)) {
        const auto& label = dataLabel(slice.index);
        if (!label || label->text.isEmpty())
            continue;
        const double mid = slice.start + slice.sweep / 2;
        const double distance = m_radius + labelOffset();
        const QPointF anchor = slice.center + QPointF(std::cos(mid), -std::sin(mid)) * distance;
        if (taken.covers(anchor))
            continue;
        double rotation = m_relativeRotation ? mid + labelRotation() : labelRotation();
        // A label turned past upright reads upside down: it is turned half a circle more.
        if (std::cos(rotation) < -1e-9)
            rotation += std::numbers::pi;
        if (!taken.take(label->boundsAt(anchor, QPointF(0.5, 0.5), rotation)))
            continue;
        label->draw(painter, anchor, QPointF(0.5, 0.5), rotation);
    }
    painter.restore();
}

std::optional<qsizetype> PieChart::recordAt(const PlotSpace& space, const QPointF& point) const
{
    for (const Slice& slice : slices(space)) {
        const QPointF d = point - slice.center;
        if (std::hypot(d.x(), d.y()) > m_radius)
            continue;
        // The angle of the point, counted from the slice's start in its direction.
        const double angle = std::atan2(-d.y(), d.x());
        double from = slice.sweep >= 0 ? angle - slice.start : slice.start - angle;
        from = std::fmod(from, kTwoPi);
        if (from < 0)
            from += kTwoPi;
        if (from <= std::abs(slice.sweep))
            return slice.index;
    }
    return std::nullopt;
}

} // namespace platform::plot
