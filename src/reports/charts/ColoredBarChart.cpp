#include "reports/charts/ColoredBarChart.h"

#include "platform/plot/BarPlot.h"
#include "platform/plot/Graph.h"
#include "platform/plot/Theme.h"
#include "reports/charts/ChartHostingView.h"
#include "style/NamedColors.h"
#include "utilities/text/KivoNumber.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace plot = platform::plot;

const QString ColoredBarChart::BarPlot1 = QStringLiteral("Bar Plot 1");

ColoredBarChart::ColoredBarChart(std::shared_ptr<ChartInfo> data)
    : BaseChart(std::move(data))
{
    for (const auto& point : plotData()->chartData)
        m_plotNumbers.append(point->value);
}

plot::PlotRange ColoredBarChart::yRange(const QList<double>& values)
{
    const double largest
        = values.isEmpty() ? 0.0 : *std::max_element(values.cbegin(), values.cend());
    return { 0, largest < 80 ? largest + 5 : largest };
}

void ColoredBarChart::renderInLayer(ChartHostingView* hostingView, const QString& theme, bool)
{
    const QRectF bounds = hostingView ? hostingView->bounds() : QRectF();
    auto made = std::make_unique<plot::Graph>(bounds);
    plot::Graph& graph = *made;
    addGraph(std::move(made), hostingView);
    applyTheme(theme, graph, plot::Theme::DarkGradients);
    setTitleDefaultsForGraph(graph, bounds);
    setPaddingDefaultsForGraph(graph, bounds);
    graph.setPlotAreaFramePadding(graph.plotAreaFramePadding() + QMarginsF(60, 25, 20, 20));

    const plot::LineStyle major { 1, QColor::fromRgbF(1, 1, 1, 0.75f) };
    const plot::LineStyle minor { 1, QColor::fromRgbF(1, 1, 1, 0.25f) };
    plot::Axis* x = graph.xAxis();
    x->setMajorIntervalLength(1);
    x->setMinorTicksPerInterval(0);
    x->setOrthogonalPosition(0);
    x->setAxisLineStyle(std::nullopt);
    x->setMajorTickLineStyle(std::nullopt);
    x->setMinorTickLineStyle(std::nullopt);
    x->setMajorGridLineStyle(major);
    x->setMinorGridLineStyle(minor);
    x->setLabelFormatter(nullptr);

    plot::Axis* y = graph.yAxis();
    y->setMajorIntervalLength(10);
    y->setMinorTicksPerInterval(9);
    y->setFixedToLowerEdge(true);
    y->setPreferredNumberOfMajorTicks(8);
    y->setAxisLineStyle(std::nullopt);
    y->setMajorTickLineStyle(std::nullopt);
    y->setMinorTickLineStyle(std::nullopt);
    y->setMajorGridLineStyle(major);
    y->setMinorGridLineStyle(minor);
    y->setLabelOffset(10);
    y->setLabelRotation(std::numbers::pi / 2);
    y->setLabelingPolicy(plot::Axis::LabelingPolicy::Automatic);
    y->setLabelFormatter([](double value) { return KivoNumber::getStringWithDecimal(value, 0); });
    y->setLabelResolution(1);
    y->setLabelTextStyle(tickStyle());
    y->setTitle(plotData()->ytitle);
    y->setTitleTextStyle(axisTitleStyle());
    y->setTitleOffset(30);

    auto made2 = std::make_unique<plot::BarPlot>(BarPlot1);
    made2->setLineStyle(plot::LineStyle { 1, Qt::white });
    made2->setBarWidth(0.75);
    made2->setBarCornerRadius(4);
    made2->setLabelRotation(YLabelRotation);
    made2->setDataSource(this);
    auto* bars = static_cast<plot::BarPlot*>(graph.addPlot(std::move(made2)));
    bars->reloadData();

    plot::PlotSpace* space = graph.defaultPlotSpace();
    space->setXRange(
        bars->plotRangeEnclosingBars().value_or(plot::PlotRange { -0.5, 1 }).expandedBy(1.05));
    const plot::PlotRange range = yRange(m_plotNumbers);
    space->setYRange(range.length > 0 ? range : plot::PlotRange { 0, 5 });
}

double ColoredBarChart::numberForPlot(plot::Plot*, int field, qsizetype index)
{
    if (field == plot::BarPlot::BarLocation)
        return double(index);
    return index >= 0 && index < m_plotNumbers.size() ? m_plotNumbers[index] : 0.0;
}

std::optional<plot::Fill> ColoredBarChart::barFillForBarPlot(plot::Plot*, qsizetype)
{
    return randomFill();
}

std::optional<plot::TextLayer> ColoredBarChart::dataLabelForPlot(plot::Plot*, qsizetype index)
{
    plot::TextLayer text;
    text.text = QStringLiteral("%1 (%2)").arg(
        xLabelAtIndex(index), QString::asprintf("%1.0f", yAtIndex(index)));
    text.textStyle = tickStyle();
    text.textStyle.color = UIColor_Expanded::darkBrown().toQColor();
    return text;
}
