#include "reports/charts/LineChart.h"

#include "platform/plot/Graph.h"
#include "platform/plot/ScatterPlot.h"
#include "reports/charts/ChartHostingView.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/text/KivoNumber.h"

#include <cmath>
#include <numbers>

namespace plot = platform::plot;

const QString LineChart::MainPlot = QStringLiteral("MainPlot");
const QString LineChart::TouchPlot = QStringLiteral("TouchPlot");

LineChart::LineChart(std::shared_ptr<ChartInfo> data)
    : BaseChart(std::move(data))
{
    for (const auto& point : plotData()->chartData) {
        if (!m_lowestPoint || point->value < m_lowestPoint->value)
            m_lowestPoint = point;
        if (!m_highestPoint || point->value > m_highestPoint->value)
            m_highestPoint = point;
    }
}

void LineChart::renderInLayer(ChartHostingView* hostingView, const QString& theme, bool)
{
    createGraph(hostingView, theme);
}

void LineChart::createGraph(ChartHostingView* hostingView, const QString&)
{
    const QRectF bounds = hostingView ? hostingView->bounds() : QRectF();
    auto made = std::make_unique<plot::Graph>(bounds);
    plot::Graph& graph = *made;
    addGraph(std::move(made), hostingView);
    applyThemetoGraph(graph);
    setTitleDefaultsForGraph(graph, bounds);
    setPaddingDefaultsForGraph(graph, bounds);
    createXAxis();
    createYAxis();
    createMainPlot();
    createTouchPlot();
}

void LineChart::createXAxis()
{
    plot::Axis* x = graph()->xAxis();
    x->setLabelingPolicy(plot::Axis::LabelingPolicy::None);
    applyStyletoXAxis(*x);
    QList<plot::AxisLabel> labels;
    QList<double> locations;
    const auto add = [&](const QString& text, double location, double offset) {
        plot::AxisLabel label;
        label.content.text = trimLabel(text, TrimmedLength);
        label.content.textStyle = tickStyle();
        label.tickLocation = location;
        label.rotation = std::numbers::pi / 7;
        label.offset = offset;
        labels.append(label);
        locations.append(location);
    };
    if (!plotData()->xAxisLabels.isEmpty()) {
        for (const auto& [text, position] : std::as_const(plotData()->xAxisLabels))
            add(text, position, 1.0);
    } else {
        for (const auto& point : std::as_const(plotData()->chartData))
            add(point->label, point->xValue, x->labelOffset());
    }
    x->setAxisLabels(labels);
    x->setMajorTickLocations(locations);
    x->setMinorTickLocations(locations);
}

void LineChart::createYAxis()
{
    plot::Axis* y = graph()->yAxis();
    y->setLabelingPolicy(plot::Axis::LabelingPolicy::Automatic);
    const unsigned decimals = plotData()->yDecimal;
    y->setLabelFormatter(
        [decimals](double value) { return KivoNumber::getStringWithDecimal(value, decimals); });
    y->setLabelResolution(yLabelResolution());
    applyStyletoYAxis(*y);
}

void LineChart::applyPlotStyle(plot::ScatterPlot& scatter)
{
    plot::LineStyle line = majorGridLineStyle();
    line.lineWidth = 2;
    scatter.setDataLineStyle(line);
    scatter.setDelegate(this);
    scatter.setDataSource(this);
    plot::PlotSymbol symbol;
    symbol.size = QSizeF(5, 5);
    symbol.fill = plot::Fill::color(imageColor());
    symbol.lineStyle = plot::LineStyle { 1, darkImageColor() };
    scatter.setPlotSymbol(symbol);
}

void LineChart::createMainPlot()
{
    plot::Graph* graph = this->graph();
    auto made = std::make_unique<plot::ScatterPlot>(MainPlot);
    made->setLabelOffset(4);
    applyPlotStyle(*made);
    auto* line = static_cast<plot::ScatterPlot*>(graph->addPlot(std::move(made)));
    line->reloadData();

    plot::PlotSpace* space = graph->defaultPlotSpace();
    space->setDelegate(nullptr);
    space->scaleToFitPlots({ line }, 0, yLabelResolution());
    if (line->recordCount() == 0) {
        space->setXRange({ 0, 1 });
        space->setYRange({ 0, 1 });
    }
    const plot::PlotRange xRange = space->xRange();
    const plot::PlotRange yRange = space->yRange();
    plot::Axis* x = graph->xAxis();
    plot::Axis* y = graph->yAxis();
    x->setOrthogonalPosition(yRange.location);
    y->setOrthogonalPosition(xRange.location);
    x->setVisibleRange(xRange);
    y->setVisibleRange(yRange);
    x->setGridLinesRange(yRange);
    y->setGridLinesRange(xRange);
    space->setXRange(xRange.expandedBy(1.15));
    space->setYRange(yRange.expandedBy(1.15));
    space->setAllowsUserInteraction(true);
    space->setDelegate(this);
}

void LineChart::createTouchPlot()
{
    m_touchIndex = 0;
    auto made = std::make_unique<plot::ScatterPlot>(TouchPlot);
    made->setHidden(true);
    applyPlotStyle(*made);
    auto* touch = static_cast<plot::ScatterPlot*>(graph()->addPlot(std::move(made)));
    m_touchX = xAtIndex(0);
    touch->reloadData();
}

qsizetype LineChart::numberOfRecordsForPlot(plot::Plot* plot)
{
    if (plot && plot->identifier() == MainPlot)
        return pointCount();
    if (plot && plot->identifier() == TouchPlot)
        return pointCount() > 0 ? 2 : 0;
    return 0;
}

double LineChart::numberForPlot(plot::Plot* plot, int field, qsizetype index)
{
    if (plot && plot->identifier() == TouchPlot) {
        if (field == plot::ScatterPlot::X)
            return m_touchX;
        const auto& end = index == 0 ? m_lowestPoint : m_highestPoint;
        return end ? end->value : 0.0;
    }
    return BaseChart::numberForPlot(plot, field, index);
}

std::optional<plot::TextLayer> LineChart::dataLabelForPlot(plot::Plot* plot, qsizetype index)
{
    plot::TextLayer text;
    text.textStyle = tickStyle();
    text.fill = themeBackgroundFill();
    if (plot && plot->identifier() == TouchPlot) {
        if (index != 1)
            return std::nullopt;
        text.text = QStringLiteral("(%1,%2)").arg(
            xLabelAtIndex(m_touchIndex), yLabelAtIndex(m_touchIndex));
        return text;
    }
    const plot::ScatterPlot* touch = touchPlot();
    if (!DeviceHelper::isIPAD() || (touch && !touch->isHidden()))
        return std::nullopt;
    text.text = yLabelAtIndex(index);
    return text;
}

plot::PlotRange LineChart::willChangePlotRangeTo(
    plot::PlotSpace* space, const plot::PlotRange& proposed, int coordinate)
{
    // The ranges are the chart's: a person cannot scroll or zoom them.
    return space ? space->rangeFor(coordinate) : proposed;
}

bool LineChart::shouldHandlePointingDeviceDownEvent(plot::PlotSpace*, const QPointF& point)
{
    plot::ScatterPlot* touch = touchPlot();
    if (touch && touch->isHidden()) {
        showHideTouchPlot(false);
        handleTouch(point);
    } else {
        showHideTouchPlot(true);
    }
    return true;
}

bool LineChart::shouldHandlePointingDeviceDraggedEvent(plot::PlotSpace*, const QPointF& point)
{
    showHideTouchPlot(false);
    handleTouch(point);
    return true;
}

bool LineChart::shouldHandlePointingDeviceUpEvent(plot::PlotSpace*, const QPointF&)
{
    m_touchX = xAtIndex(m_touchIndex);
    if (plot::ScatterPlot* touch = touchPlot())
        touch->reloadData();
    return true;
}

void LineChart::handleTouch(const QPointF& point)
{
    plot::Graph* shown = graph();
    if (!shown || pointCount() == 0)
        return;
    const QPointF at = shown->defaultPlotSpace()->plotPoint(point);
    double x = std::round(at.x());
    const double first = xAtIndex(0);
    const double last = xAtIndex(pointCount() - 1);
    x = std::max(first, std::min(x, last));
    m_touchX = x;
    qsizetype found = -1;
    double best = 0;
    for (qsizetype i = 0; i < pointCount(); ++i) {
        const double distance = std::abs(x - xAtIndex(i));
        if (distance == 0) {
            found = i;
            break;
        }
        if (found < 0 || distance < best) {
            found = i;
            best = distance;
        }
    }
    m_touchIndex = std::min(std::max<qsizetype>(found, 0), pointCount() - 1);
    if (plot::ScatterPlot* touch = touchPlot())
        touch->reloadData();
}

void LineChart::showHideTouchPlot(bool hidden)
{
    plot::ScatterPlot* touch = touchPlot();
    if (!touch || touch->isHidden() == hidden)
        return;
    touch->setHidden(hidden);
    if (plot::ScatterPlot* line = mainPlot())
        line->reloadData();
}

plot::ScatterPlot* LineChart::touchPlot() const
{
    plot::Graph* shown = graph();
    return shown ? dynamic_cast<plot::ScatterPlot*>(shown->plotWithIdentifier(TouchPlot)) : nullptr;
}

plot::ScatterPlot* LineChart::mainPlot() const
{
    plot::Graph* shown = graph();
    return shown ? dynamic_cast<plot::ScatterPlot*>(shown->plotWithIdentifier(MainPlot)) : nullptr;
}
