#include "reports/charts/BarChart.h"

#include "platform/plot/BarPlot.h"
#include "platform/plot/Graph.h"
#include "reports/charts/ChartHostingView.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/text/KivoNumber.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace plot = platform::plot;

const QString BarChart::MainPlot = QStringLiteral("MainPlot");

BarChart::BarChart(std::shared_ptr<ChartInfo> data)
    : BaseChart(std::move(data))
{
    for (const auto& point : plotData()->chartData)
        m_plotNumbers.append(point->value);
    if (!m_plotNumbers.isEmpty()) {
        m_minimumValue = *std::min_element(m_plotNumbers.cbegin(), m_plotNumbers.cend());
        m_maximumValue = *std::max_element(m_plotNumbers.cbegin(), m_plotNumbers.cend());
    }
    prepareRandomFills();
}

void BarChart::renderInLayer(ChartHostingView* hostingView, const QString& theme, bool animated)
{
    createGraph(hostingView, theme);
    createXAxis();
    createYAxis();
    createMainPlot(animated);
}

void BarChart::createGraph(ChartHostingView* hostingView, const QString&)
{
    m_selectedIndex = -1;
    const QRectF bounds = hostingView ? hostingView->bounds() : QRectF();
    auto made = std::make_unique<plot::Graph>(bounds);
    plot::Graph& graph = *made;
    addGraph(std::move(made), hostingView);
    applyThemetoGraph(graph);
    setTitleDefaultsForGraph(graph, bounds);
    setPaddingDefaultsForGraph(graph, bounds);
    graph.setPlotAreaFramePadding(QMarginsF(60, 40, 10, 10));
}

void BarChart::createXAxis()
{
    plot::Axis* x = graph()->xAxis();
    x->setMajorIntervalLength(1);
    x->setMinorTicksPerInterval(0);
    x->setOrthogonalPosition(0);
    x->setMajorGridLineStyle(majorGridLineStyle());
    x->setMinorGridLineStyle(minorGridLineStyle());
    x->setAxisLineStyle(axislineStyle());
    x->setMajorTickLineStyle(std::nullopt);
    x->setMinorTickLineStyle(std::nullopt);
    x->setLabelFormatter(nullptr);
}

namespace {

// The range of the multi-bar rule: from min - step, (max - min) + 2 x step long, starting
// at 0 where the start would fall below 0 while no value does. In single precision, as
// the ranges have always been figured, or in halves of doubles, which cannot overflow.
template<typename Number> plot::PlotRange barRange(double min, double max, double n)
{
    const Number low = Number(min);
    const Number high = Number(max);
    const Number step = (high / 2 - low / 2) / Number(n) * 2;
    Number start = low - step;
    Number length = (high - low) + 2 * step;
    if (start < 0 && min >= 0) {
        length += start;
        start = 0;
    }
    return { double(start), double(length) };
}

// Whether the range is finite and holds the lowest and highest bar tips.
bool holds(const plot::PlotRange& range, double min, double max)
{
    return std::isfinite(range.location) && std::isfinite(range.length) && range.length > 0
        && std::isfinite(range.end()) && range.minLimit() <= min && range.maxLimit() >= max;
}

} // namespace

BarChart::YScale BarChart::yScale(const QList<double>& values)
{
    YScale scale;
    // A value that is no finite number draws no bar and takes no room.
    QList<double> finite;
    for (double value : values) {
        if (std::isfinite(value))
            finite.append(value);
    }
    if (finite.isEmpty()) {
        scale.range = { 0, 1 };
        scale.interval = 0.5;
        return scale;
    }
    const double min = *std::min_element(finite.cbegin(), finite.cend());
    const double max = *std::max_element(finite.cbegin(), finite.cend());
    const double n = double(finite.size());
    if (finite.size() == 1) {
        // From 0 to a little past the one value, whichever side of 0 it lies.
        const double value = min;
        const double reach = std::isfinite(1.05 * value) ? 1.05 * value : value;
        scale.interval = std::abs(value);
        scale.range = value == 0 ? plot::PlotRange { 0, 1 } : plot::PlotRange { 0, reach };
        if (scale.range.length < 0)
            scale.range = { reach, -reach };
        if (scale.interval == 0)
            scale.interval = 0.5;
        return scale;
    }
    const bool single = std::abs(min) <= std::numeric_limits<float>::max()
        && std::abs(max) <= std::numeric_limits<float>::max();
    if (min != max && !(single && float(min) == float(max))) {
        if (single)
            scale.range = barRange<float>(min, max, n);
        // Beyond single precision's range the rule runs in double precision; bars of both
        // signs further apart than the largest double get as much of them as a range holds.
        if (!single || !holds(scale.range, min, max))
            scale.range = barRange<double>(min, max, n);
        if (!holds(scale.range, min, max))
            scale.range = plot::PlotRange::spanning(min, max);
        scale.interval = (max / 2 - min / 2) / n * 2;
        if (scale.range.length > 0 && scale.interval > 0 && std::isfinite(scale.interval))
            return scale;
    }
    // Values equal, at least in single precision: from 0 to a little past the values, on
    // each side of 0 that has one, so every bar shows.
    const auto past
        = [](double value) { return std::isfinite(value * 1.05) ? value * 1.05 : value; };
    const double bottom = min < 0 ? past(min) : 0.0;
    const double top = max > 0 ? past(max) : 0.0;
    scale.range = bottom == top ? plot::PlotRange { 0, 1 } : plot::PlotRange::spanning(bottom, top);
    // Half the range, or all of it where half is below the smallest double.
    scale.interval = scale.range.length / 2 > 0 ? scale.range.length / 2 : scale.range.length;
    return scale;
}

void BarChart::createYAxis()
{
    const YScale scale = yScale(m_plotNumbers);
    plot::Axis* y = graph()->yAxis();
    y->setMajorIntervalLength(scale.interval);
    y->setMinorTicksPerInterval(5);
    y->setFixedToLowerEdge(true);
    y->setMajorGridLineStyle(majorGridLineStyle());
    y->setMinorGridLineStyle(minorGridLineStyle());
    y->setAxisLineStyle(axislineStyle());
    y->setMajorTickLineStyle(std::nullopt);
    y->setMinorTickLineStyle(std::nullopt);
    y->setLabelOffset(5);
    y->setLabelRotation(YLabelRotation);
    y->setLabelingPolicy(plot::Axis::LabelingPolicy::Automatic);
    y->setTitleTextStyle(axisTitleStyle());
    y->setLabelTextStyle(tickStyle());
    const unsigned decimals = plotData()->yDecimal;
    y->setLabelFormatter(
        [decimals](double value) { return KivoNumber::getStringWithDecimal(value, decimals); });
    y->setLabelResolution(yLabelResolution());
    y->setTitle(plotData()->ytitle);
    y->setTitleOffset(20);
}

void BarChart::createMainPlot(bool animated)
{
    plot::Graph* graph = this->graph();
    auto made = std::make_unique<plot::BarPlot>(MainPlot);
    made->setLineStyle(plot::LineStyle { 1, Qt::white });
    made->setBarWidth(BarWidth);
    made->setBarCornerRadius(4);
    made->setDataSource(this);
    made->setDelegate(this);
    auto* bars = static_cast<plot::BarPlot*>(graph->addPlot(std::move(made)));
    setLabelPosition();
    bars->reloadData();

    const YScale scale = yScale(m_plotNumbers);
    plot::PlotSpace* space = graph->defaultPlotSpace();
    const auto enclosing = bars->plotRangeEnclosingBars().value_or(plot::PlotRange { -0.5, 1 });
    space->setXRange(enclosing.expandedBy(1.05));
    space->setYRange(scale.range);

    if (animated) {
        plot::PlotAnimation grow;
        grow.key = "grow";
        grow.from = 0;
        grow.to = 1;
        grow.duration = GrowSeconds;
        grow.apply = [bars](double value) { bars->setHeightScale(value); };
        graph->addAnimation(std::move(grow));
    }
}

double BarChart::numberForPlot(plot::Plot*, int field, qsizetype index)
{
    if (field == plot::BarPlot::BarLocation)
        return double(index);
    if (field == plot::BarPlot::BarTip)
        return index >= 0 && index < m_plotNumbers.size() ? m_plotNumbers[index] : 0.0;
    return std::nan("");
}

std::optional<plot::Fill> BarChart::barFillForBarPlot(plot::Plot*, qsizetype index)
{
    if (index == m_selectedIndex)
        return plot::Fill::color(imageColor());
    if (index >= 0 && index < prerandomFills().size())
        return prerandomFills()[index];
    return std::nullopt;
}

std::optional<plot::TextLayer> BarChart::dataLabelForPlot(plot::Plot*, qsizetype index)
{
    const bool selected = m_selectedIndex >= 0;
    const bool shown = DeviceHelper::isIPAD() ? (!selected || index == m_selectedIndex)
                                              : index == m_selectedIndex;
    if (!shown)
        return std::nullopt;
    QString label = xLabelAtIndex(index);
    if (!selected)
        label = trimLabel(label, TrimmedLength);
    plot::TextLayer text;
    text.text = QStringLiteral("(%1, %2)").arg(label, yLabelAtIndex(index));
    text.textStyle = tickStyle();
    text.fill = themeBackgroundFill();
    return text;
}

void BarChart::recordWasSelected(plot::Plot*, qsizetype index)
{
    m_selectedIndex = m_selectedIndex == index ? -1 : index;
    setLabelPosition();
    if (plot::BarPlot* bars = barPlot())
        bars->reloadData();
}

void BarChart::setLabelPosition()
{
    plot::BarPlot* bars = barPlot();
    if (!bars)
        return;
    if (DeviceHelper::isIPAD() && m_selectedIndex < 0) {
        bars->setLabelRotation(std::numbers::pi / 2);
        bars->setLabelOffset(0);
    } else {
        bars->setLabelRotation(0);
        bars->setLabelOffset(-5);
    }
}

plot::BarPlot* BarChart::barPlot() const
{
    plot::Graph* shown = graph();
    return shown ? dynamic_cast<plot::BarPlot*>(shown->plotWithIdentifier(MainPlot)) : nullptr;
}
