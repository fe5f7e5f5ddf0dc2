#include "platform/plot/BarPlot.h"

#include "platform/plot/LabelSpace.h"
#include "platform/plot/PlotDataSource.h"
#include "platform/plot/PlotSpace.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace platform::plot {

void BarPlot::setHeightScale(double scale)
{
    m_heightScale = scale;
    setNeedsDisplay();
}

std::optional<PlotRange> BarPlot::plotRangeEnclosingBars() const
{
    const auto locations = Plot::plotRangeForCoordinate(BarLocation);
    if (!locations)
        return std::nullopt;
    const double half = std::abs(m_barWidth) / 2;
    return PlotRange { locations->minLimit() - half, locations->length + 2 * half };
}

std::optional<PlotRange> BarPlot::plotRangeForCoordinate(int coordinate) const
{
    if (coordinate == BarLocation)
        return plotRangeEnclosingBars();
    const auto tips = Plot::plotRangeForCoordinate(BarTip);
    if (!tips)
        return std::nullopt;
    return tips->unionWith({ m_baseValue, 0 });
}

QRectF BarPlot::barRect(const PlotSpace& space, qsizetype index) const
{
    const double location = number(BarLocation, index);
    const double tip = number(BarTip, index);
    if (!std::isfinite(location) || !std::isfinite(tip))
        return {};
    const double shownTip = m_baseValue + (tip - m_baseValue) * m_heightScale;
    // A bar reaching far outside the plot area is cut where no view could show it.
    const QRectF drawable = space.drawableArea();
    const auto clampX = [&](double x) { return std::clamp(x, drawable.left(), drawable.right()); };
    const auto clampY = [&](double y) { return std::clamp(y, drawable.top(), drawable.bottom()); };
    const double left = clampX(space.viewX(location - m_barWidth / 2));
    const double right = clampX(space.viewX(location + m_barWidth / 2));
    const double base = clampY(space.viewY(m_baseValue));
    const double top = clampY(space.viewY(shownTip));
    if (std::isnan(left) || std::isnan(right) || std::isnan(base) || std::isnan(top))
        return {};
    return QRectF(QPointF(std::min(left, right), std::min(base, top)),
        QPointF(std::max(left, right), std::max(base, top)));
}

void BarPlot::draw(QPainter& painter, const PlotSpace& space) const
{
    if (isHidden())
        return;
    painter.save();
    painter.setClipRect(space.plotArea());
    painter.setRenderHint(QPainter::Antialiasing);
    const double pixelWidth = std::abs(space.viewX(m_barWidth) - space.viewX(0));
    if (recordCount() > 0 && pixelWidth < ThinBarWidth) {
        drawThinBars(painter, space);
        painter.restore();
        return;
    }
    for (qsizetype i = 0; i < recordCount(); ++i) {
        const QRectF rect = barRect(space, i);
        if (rect.isNull())
            continue;
        // The tip's corners are round, the base's square.
        const bool up = number(BarTip, i) >= m_baseValue;
        const double radius = std::min({ m_cornerRadius, rect.width() / 2, rect.height() / 2 });
        // Only the tip's corners are round; the path is built directly, as joining a
        // rounded and a square rectangle costs far more for many bars.
        QPainterPath path;
        if (radius > 0) {
            const double d = 2 * radius;
            if (up) {
                path.moveTo(rect.bottomLeft());
                path.lineTo(rect.left(), rect.top() + radius);
                path.arcTo(QRectF(rect.left(), rect.top(), d, d), 180, -90);
                path.lineTo(rect.right() - radius, rect.top());
                path.arcTo(QRectF(rect.right() - d, rect.top(), d, d), 90, -90);
                path.lineTo(rect.bottomRight());
            } else {
                path.moveTo(rect.topLeft());
                path.lineTo(rect.left(), rect.bottom() - radius);
                path.arcTo(QRectF(rect.left(), rect.bottom() - d, d, d), 180, 90);
                path.lineTo(rect.right() - radius, rect.bottom());
                path.arcTo(QRectF(rect.right() - d, rect.bottom() - d, d, d), 270, 90);
                path.lineTo(rect.topRight());
            }
            path.closeSubpath();
        } else {
            path.addRect(rect);
        }
        std::optional<Fill> fill = dataSource()
            ? dataSource()->barFillForBarPlot(const_cast<BarPlot*>(this), i)
            : std::nullopt;
        Fill shown = fill.value_or(m_fill);
        if (shown.kind() == Fill::Kind::Linear) {
            // A bar's gradient runs along its length, from its tip to its base.
            shown.setAngle(up ? 270.0 : 90.0);
        }
        shown.fillPath(painter, path);
        if (m_lineStyle) {
            painter.setPen(m_lineStyle->pen());
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path);
        }
    }
    painter.restore();
}

void BarPlot::drawThinBars(QPainter& painter, const PlotSpace& space) const
{
    // Many bars to a pixel: each pixel column shows its longest bar, in that bar's colour,
    // as nothing finer could be seen.
    struct Column {
        QRectF rect;
        qsizetype index = -1;
    };
    QHash<int, Column> columns;
    for (qsizetype i = 0; i < recordCount(); ++i) {
        const QRectF rect = barRect(space, i);
        if (rect.isNull())
            continue;
        const int x = int(std::floor(rect.center().x()));
        Column& column = columns[x];
        if (column.index < 0 || rect.height() > column.rect.height()) {
            column.rect = rect;
            column.index = i;
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    auto* self = const_cast<BarPlot*>(this);
    for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
        const QRectF rect(it.key(), it->rect.top(), 1, it->rect.height());
        const std::optional<Fill> fill
            = dataSource() ? dataSource()->barFillForBarPlot(self, it->index) : std::nullopt;
        const Fill shown = fill.value_or(m_fill);
        const QColor colour = shown.kind() == Fill::Kind::Solid ? shown.solidColor()
            : shown.stops().isEmpty()                           ? QColor(Qt::black)
                                                                : shown.stops().first().second;
        painter.fillRect(rect, colour);
    }
}

void BarPlot::drawLabels(QPainter& painter, const PlotSpace& space) const
{
    if (isHidden())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    LabelSpace taken;
    const auto tryLabel = [&](qsizetype i) {
        const QRectF rect = barRect(space, i);
        const TextLayer& label = *dataLabel(i);
        const bool up = number(BarTip, i) >= m_baseValue;
        const QPointF tip(rect.center().x(), up ? rect.top() : rect.bottom());
        const QPointF anchor = tip + QPointF(0, up ? -labelOffset() : labelOffset());
        if (taken.covers(anchor))
            return;
        const QPointF content(0.5, up ? 0.0 : 1.0);
        const QRectF place = label.boundsAt(anchor, content, labelRotation());
        // Crowded bars: a label that would cover one drawn before is left out.
        if (!taken.take(place))
            return;
        label.draw(painter, anchor, content, labelRotation());
    };
    // Many bars to a pixel column: the longest one's label, the bar that column shows.
    const auto place = [&](qsizetype i) -> std::optional<LabelPlace> {
        const QRectF rect = barRect(space, i);
        if (rect.isNull())
            return std::nullopt;
        return LabelPlace { rect.center().x(), rect.height() };
    };
    tryLabels(space, place, tryLabel);
    painter.restore();
}

std::optional<qsizetype> BarPlot::recordAt(const PlotSpace& space, const QPointF& point) const
{
    if (!space.plotArea().contains(point))
        return std::nullopt;
    for (qsizetype i = recordCount() - 1; i >= 0; --i) {
        const QRectF rect = barRect(space, i);
        if (!rect.isNull() && rect.contains(point))
            return i;
    }
    return std::nullopt;
}

} // namespace platform::plot
