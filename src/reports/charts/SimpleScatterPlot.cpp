#include "reports/charts/SimpleScatterPlot.h"

#include "platform/plot/Graph.h"
#include "platform/plot/ScatterPlot.h"
#include "reports/charts/ChartHostingView.h"
#include "utilities/text/KivoNumber.h"

namespace plot = platform::plot;

const QString SimpleScatterPlot::DataSourcePlot = QStringLiteral("Data Source Plot");

SimpleScatterPlot::SimpleScatterPlot(std::shared_ptr<ChartInfo> data)
    : BaseChart(std::move(data))
{
    for (const auto& point : plotData()->chartData)
        m_plotNumbers.append(QPointF(point->xValue, point->value));
}

void SimpleScatterPlot::renderInLayer(ChartHostingView* hostingView, const QString&, bool)
{
    m_annotation.reset();
    const QRectF bounds = hostingView ? hostingView->bounds() : QRectF();
    auto made = std::make_unique<plot::Graph>(bounds);
    plot::Graph& graph = *made;
    addGraph(std::move(made), hostingView);
    applyThemetoGraph(graph);
    setTitleDefaultsForGraph(graph, bounds);
    setPaddingDefaultsForGraph(graph, bounds);
    graph.setPlotAreaFramePadding(QMarginsF(20, 0, 10, 75));
    graph.setPlotAreaFrameBorder(std::nullopt);
    graph.setTitleTextStyle(graphTitleStyle());

    plot::Axis* x = graph.xAxis();
    x->setLabelingPolicy(plot::Axis::LabelingPolicy::None);
    applyStyletoXAxis(*x);
    QList<plot::AxisLabel> labels;
    QList<double> locations;
    const auto add = [&](const QString& text, double location) {
        plot::AxisLabel label;
        label.content.text = trimLabel(text, 15);
        label.content.textStyle = tickStyle();
        label.tickLocation = location;
        label.rotation = XLabelRotation;
        labels.append(label);
        locations.append(location);
    };
    if (!plotData()->xAxisLabels.isEmpty()) {
        for (const auto& [text, position] : std::as_const(plotData()->xAxisLabels))
            add(text, position);
    } else {
        for (const auto& point : std::as_const(plotData()->chartData))
            add(point->label, point->xValue);
    }
    x->setAxisLabels(labels);
    x->setMajorTickLocations(locations);
    x->setMinorTickLocations(locations);

    plot::Axis* y = graph.yAxis();
    y->setLabelingPolicy(plot::Axis::LabelingPolicy::Automatic);
    const unsigned decimals = plotData()->yDecimal;
    y->setLabelFormatter(
        [decimals](double value) { return KivoNumber::getStringWithDecimal(value, decimals); });
    y->setLabelResolution(yLabelResolution());
    applyStyletoYAxis(*y);

    auto scatter = std::make_unique<plot::ScatterPlot>(DataSourcePlot);
    plot::LineStyle line = majorGridLineStyle();
    line.lineWidth = 3;
    scatter->setDataLineStyle(line);
    scatter->setDelegate(this);
    scatter->setDataSource(this);
    plot::PlotSymbol symbol;
    symbol.size = QSizeF(7, 7);
    symbol.fill = plot::Fill::color(imageColor());
    symbol.lineStyle = plot::LineStyle { 1, darkImageColor() };
    scatter->setPlotSymbol(symbol);
    auto* points = static_cast<plot::ScatterPlot*>(graph.addPlot(std::move(scatter)));
    points->reloadData();

    plot::PlotSpace* space = graph.defaultPlotSpace();
    space->setDelegate(nullptr);
    space->scaleToFitPlots({ points }, 0, yLabelResolution());
    const plot::PlotRange xRange = space->xRange();
    const plot::PlotRange yRange = space->yRange();
    x->setOrthogonalPosition(yRange.location);
    y->setOrthogonalPosition(xRange.location);
    x->setVisibleRange(xRange);
    y->setVisibleRange(yRange);
    x->setGridLinesRange(yRange);
    y->setGridLinesRange(xRange);
    space->setXRange(xRange.expandedBy(1.15));
    space->setYRange(yRange.expandedBy(1.15));
    space->setDelegate(this);
}

qsizetype SimpleScatterPlot::numberOfRecordsForPlot(plot::Plot*)
{
    return m_plotNumbers.size();
}

double SimpleScatterPlot::numberForPlot(plot::Plot*, int field, qsizetype index)
{
    if (index < 0 || index >= m_plotNumbers.size())
        return 0;
    return field == plot::ScatterPlot::X ? m_plotNumbers[index].x() : m_plotNumbers[index].y();
}

std::optional<plot::TextLayer> SimpleScatterPlot::dataLabelForPlot(plot::Plot*, qsizetype index)
{
    plot::TextLayer text;
    text.text = yLabelAtIndex(index);
    text.textStyle = tickStyle();
    return text;
}

plot::PlotRange SimpleScatterPlot::willChangePlotRangeTo(
    plot::PlotSpace*, const plot::PlotRange& proposed, int coordinate)
{
    if (coordinate != plot::PlotSpace::X)
        return proposed;
    const plot::PlotRange allowed { -1, 6 };
    plot::PlotRange moved = proposed;
    if (moved.maxLimit() > allowed.end())
        moved.location -= moved.maxLimit() - allowed.end();
    if (moved.minLimit() < allowed.location)
        moved.location += allowed.location - moved.minLimit();
    return moved;
}

void SimpleScatterPlot::recordWasSelected(plot::Plot*, qsizetype index)
{
    plot::Graph* shown = graph();
    if (!shown || index < 0 || index >= m_plotNumbers.size())
        return;
    if (m_annotation)
        shown->removeAnnotation(m_annotation);
    plot::PlotSpaceAnnotation note;
    note.anchorX = m_plotNumbers[index].x();
    note.anchorY = m_plotNumbers[index].y();
    note.content.text = QStringLiteral("(%1,%2)").arg(xLabelAtIndex(index), yLabelAtIndex(index));
    note.content.textStyle = tickStyle();
    note.displacement = QPointF(0, 20);
    m_annotation = shown->addAnnotation(note);
}

void SimpleScatterPlot::killGraph()
{
    if (plot::Graph* shown = graph(); shown && m_annotation)
        shown->removeAnnotation(m_annotation);
    m_annotation.reset();
    BaseChart::killGraph();
}
