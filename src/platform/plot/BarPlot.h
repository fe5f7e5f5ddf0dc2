#pragma once

#include "platform/plot/LineStyle.h"
#include "platform/plot/Plot.h"

#include <QRectF>

#include <optional>

namespace platform::plot {

// Bars standing on the base value: field 0 is a bar's location, field 1 its tip. The bar
// width is in plot units; the tip's corners are rounded; each bar may have its own fill.
class BarPlot : public Plot {
public:
    enum Field { BarLocation = 0, BarTip = 1 };

    using Plot::Plot;

    std::optional<LineStyle> lineStyle() const { return m_lineStyle; }
    void setLineStyle(const std::optional<LineStyle>& style) { m_lineStyle = style; }
    double barWidth() const { return m_barWidth; }
    void setBarWidth(double width) { m_barWidth = width; }
    double barCornerRadius() const { return m_cornerRadius; }
    void setBarCornerRadius(double radius) { m_cornerRadius = radius; }
    double baseValue() const { return m_baseValue; }
    void setBaseValue(double value) { m_baseValue = value; }
    Fill fill() const { return m_fill; }
    void setFill(const Fill& fill) { m_fill = fill; }
    // Bars grow from their base: 0 draws none of their height, 1 all of it (animated).
    double heightScale() const { return m_heightScale; }
    void setHeightScale(double scale);

    // From the first bar's left edge to the last one's right edge; none without bars.
    std::optional<PlotRange> plotRangeEnclosingBars() const;
    // Where the bar is painted (before clipping to the plot area).
    QRectF barRect(const PlotSpace& space, qsizetype index) const;

    std::optional<PlotRange> plotRangeForCoordinate(int coordinate) const override;
    void draw(QPainter& painter, const PlotSpace& space) const override;
    void drawLabels(QPainter& painter, const PlotSpace& space) const override;
    std::optional<qsizetype> recordAt(const PlotSpace& space, const QPointF& point) const override;

    // Bars narrower than this (in points) are drawn a pixel column at a time.
    static constexpr double ThinBarWidth = 1.5;

private:
    void drawThinBars(QPainter& painter, const PlotSpace& space) const;

    std::optional<LineStyle> m_lineStyle;
    double m_barWidth = 0.5;
    double m_cornerRadius = 0;
    double m_baseValue = 0;
    Fill m_fill = Fill::color(Qt::black);
    double m_heightScale = 1;
};

} // namespace platform::plot
