#pragma once

#include "platform/plot/AxisLabel.h"
#include "platform/plot/LineStyle.h"
#include "platform/plot/PlotRange.h"
#include "platform/plot/TextStyle.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace platform::plot {

class PlotSpace;

// One axis of an XY graph: its line where it crosses the other coordinate (or at the
// plot area's lower edge), its major and minor ticks, grid lines, labels and title.
class Axis {
public:
    // How the ticks and labels are found.
    enum class LabelingPolicy {
        None = 0, // the caller sets the labels and tick locations
        LocationsProvided = 1, // the caller sets the tick locations; labels by formatter
        FixedInterval = 2, // every major interval from 0
        Automatic = 3, // a round interval for the range
    };

    explicit Axis(int coordinate);

    int coordinate() const { return m_coordinate; }

    // Ticks. An interval that is not above 0 or not finite gives no ticks.
    double majorIntervalLength() const { return m_majorInterval; }
    void setMajorIntervalLength(double length) { m_majorInterval = length; }
    int minorTicksPerInterval() const { return m_minorTicks; }
    void setMinorTicksPerInterval(int count) { m_minorTicks = count; }
    int preferredNumberOfMajorTicks() const { return m_preferredTicks; }
    void setPreferredNumberOfMajorTicks(int count) { m_preferredTicks = count; }
    LabelingPolicy labelingPolicy() const { return m_policy; }
    void setLabelingPolicy(LabelingPolicy policy) { m_policy = policy; }
    QList<double> majorTickLocations() const { return m_majorLocations; }
    void setMajorTickLocations(const QList<double>& locations) { m_majorLocations = locations; }
    QList<double> minorTickLocations() const { return m_minorLocations; }
    void setMinorTickLocations(const QList<double>& locations) { m_minorLocations = locations; }
    // The step the formatter's labels tell values apart by (its last decimal): the interval
    // policies put no two major ticks closer, so no two carry the same label. 0: any step.
    double labelResolution() const { return m_labelResolution; }
    void setLabelResolution(double step) { m_labelResolution = step; }

    // Where the axis crosses the other coordinate, or held at the lower (left) edge.
    double orthogonalPosition() const { return m_orthogonalPosition; }
    void setOrthogonalPosition(double position) { m_orthogonalPosition = position; }
    bool isFixedToLowerEdge() const { return m_fixedToLowerEdge; }
    void setFixedToLowerEdge(bool fixed) { m_fixedToLowerEdge = fixed; }
    std::optional<PlotRange> visibleRange() const { return m_visibleRange; }
    void setVisibleRange(const std::optional<PlotRange>& range) { m_visibleRange = range; }
    std::optional<PlotRange> gridLinesRange() const { return m_gridLinesRange; }
    void setGridLinesRange(const std::optional<PlotRange>& range) { m_gridLinesRange = range; }

    // Labels: by formatter (none: no labels), or the caller's own.
    std::function<QString(double)> labelFormatter() const { return m_formatter; }
    void setLabelFormatter(std::function<QString(double)> formatter)
    {
        m_formatter = std::move(formatter);
    }
    TextStyle labelTextStyle() const { return m_labelStyle; }
    void setLabelTextStyle(const TextStyle& style) { m_labelStyle = style; }
    double labelRotation() const { return m_labelRotation; }
    void setLabelRotation(double radians) { m_labelRotation = radians; }
    double labelOffset() const { return m_labelOffset; }
    void setLabelOffset(double offset) { m_labelOffset = offset; }
    QList<AxisLabel> axisLabels() const { return m_axisLabels; }
    void setAxisLabels(const QList<AxisLabel>& labels) { m_axisLabels = labels; }

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    double titleOffset() const { return m_titleOffset; }
    void setTitleOffset(double offset) { m_titleOffset = offset; }
    TextStyle titleTextStyle() const { return m_titleStyle; }
    void setTitleTextStyle(const TextStyle& style) { m_titleStyle = style; }

    // Lines; none draws no line of that kind.
    std::optional<LineStyle> axisLineStyle() const { return m_axisLine; }
    void setAxisLineStyle(const std::optional<LineStyle>& style) { m_axisLine = style; }
    std::optional<LineStyle> majorGridLineStyle() const { return m_majorGrid; }
    void setMajorGridLineStyle(const std::optional<LineStyle>& style) { m_majorGrid = style; }
    std::optional<LineStyle> minorGridLineStyle() const { return m_minorGrid; }
    void setMinorGridLineStyle(const std::optional<LineStyle>& style) { m_minorGrid = style; }
    std::optional<LineStyle> majorTickLineStyle() const { return m_majorTick; }
    void setMajorTickLineStyle(const std::optional<LineStyle>& style) { m_majorTick = style; }
    std::optional<LineStyle> minorTickLineStyle() const { return m_minorTick; }
    void setMinorTickLineStyle(const std::optional<LineStyle>& style) { m_minorTick = style; }

    // The ticks for the plot space's range now.
    struct Ticks {
        QList<double> major;
        QList<double> minor;
    };
    Ticks ticks(const PlotSpace& space) const;
    // The round interval the automatic policy takes for a range and a number of ticks.
    static double niceInterval(double length, int ticks);

    void drawGridLines(QPainter& painter, const PlotSpace& space) const;
    // Draws the axis; when bounds are given its title stays inside them, and a label that
    // would reach past them is left out rather than cut.
    void draw(QPainter& painter, const PlotSpace& space, const QRectF& bounds = {}) const;

    // Where a label stands across the plot area's width (0 at its left side, 1 at its right:
    // its tick, or the line of a vertical axis) and how far its box reaches to the left and
    // to the right of that place; the title beside a vertical axis's labels too. A graph
    // narrows its plot area by these so that they fit between its sides.
    struct LabelReach {
        double share = 0;
        double left = 0;
        double right = 0;
    };
    QList<LabelReach> labelReach(const PlotSpace& space) const;

    // More ticks than this are not drawn: a range far longer than its interval.
    static constexpr int MaximumTicks = 2000;

private:
    PlotRange range(const PlotSpace& space) const;
    // The labels for the ticks: the caller's own, or the formatter's for each major tick.
    QList<AxisLabel> labelsFor(const Ticks& found) const;
    QPointF labelContentAnchor() const;
    // Where the axis line lies across the other coordinate, in painted coordinates.
    double linePosition(const PlotSpace& space) const;
    QPointF pointAt(const PlotSpace& space, double location, double outward) const;

    int m_coordinate;
    double m_majorInterval = 1;
    int m_minorTicks = 1;
    int m_preferredTicks = 5;
    LabelingPolicy m_policy = LabelingPolicy::FixedInterval;
    QList<double> m_majorLocations;
    QList<double> m_minorLocations;
    double m_labelResolution = 0;
    double m_orthogonalPosition = 0;
    bool m_fixedToLowerEdge = false;
    std::optional<PlotRange> m_visibleRange;
    std::optional<PlotRange> m_gridLinesRange;
    std::function<QString(double)> m_formatter;
    TextStyle m_labelStyle;
    double m_labelRotation = 0;
    double m_labelOffset = 2;
    QList<AxisLabel> m_axisLabels;
    QString m_title;
    double m_titleOffset = 30;
    TextStyle m_titleStyle;
    std::optional<LineStyle> m_axisLine = LineStyle {};
    std::optional<LineStyle> m_majorGrid;
    std::optional<LineStyle> m_minorGrid;
    std::optional<LineStyle> m_majorTick = LineStyle {};
    std::optional<LineStyle> m_minorTick = LineStyle {};
};

} // namespace platform::plot
