#include "reports/charts/SimplePieChart.h"

#include "platform/plot/Graph.h"
#include "platform/plot/Legend.h"
#include "platform/plot/PieChart.h"
#include "platform/plot/Theme.h"
#include "platform/ui/NavigationController.h"
#include "reports/charts/ChartHostViewController1.h"
#include "reports/charts/ChartHostingView.h"
#include "reports/charts/ColoredBarChart.h"
#include "utilities/shell/DebugHelper.h"

#include <cmath>
#include <numbers>

namespace plot = platform::plot;

void SimplePieChart::renderInLayer(ChartHostingView* hostingView, const QString& theme, bool)
{
    const QRectF bounds = hostingView ? hostingView->bounds() : QRectF();
    const double w = bounds.width();
    const double h = bounds.height();
    auto made = std::make_unique<plot::Graph>(bounds);
    plot::Graph& graph = *made;
    addGraph(std::move(made), hostingView);
    applyThemetoGraph(graph);
    applyTheme(theme, graph, plotData()->theme.isEmpty() ? plot::Theme::Slate : plotData()->theme);

    graph.setTitle(title());
    plot::TextStyle titleStyle;
    titleStyle.font = QFont(QStringLiteral("Helvetica"));
    titleStyle.font.setBold(true);
    titleStyle.font.setPixelSize(std::max(1, int(std::round(h / 20))));
    titleStyle.color = Qt::gray;
    graph.setTitleTextStyle(titleStyle);
    graph.setTitleDisplacement(QPointF(0, h / 18));
    graph.setPadding(QMarginsF(w / 20, 2 * h / 18, w / 20, w / 20));
    graph.setPlotAreaFramePadding(QMarginsF());
    graph.setHasAxisSet(false);

    auto pie = std::make_unique<plot::PieChart>(title());
    pie->setDataSource(this);
    pie->setDelegate(this);
    const QMarginsF padding = graph.padding();
    pie->setPieRadius(std::max(
        0.0, std::min((h - 2 * padding.left()) * 0.7 * 0.5, (w - 2 * padding.top()) * 0.7 * 0.5)));
    pie->setStartAngle(std::numbers::pi / 4);
    pie->setSliceDirection(plot::PieChart::Direction::CounterClockwise);
    pie->setOverlayFill(plot::Fill::radial({ { 0.0, QColor(0, 0, 0, 0) },
        { 0.9, QColor::fromRgbF(0, 0, 0, 0.3f) }, { 1.0, QColor::fromRgbF(0, 0, 0, 0.7f) } }));
    pie->setLabelRotationRelativeToRadius(true);
    pie->setLabelRotation(-std::numbers::pi / 2);
    pie->setLabelOffset(-50);
    auto* slices = static_cast<plot::PieChart*>(graph.addPlot(std::move(pie)));
    slices->reloadData();

    auto legend = std::make_unique<plot::Legend>();
    legend->setNumberOfColumns(1);
    legend->setFill(plot::Fill::color(Qt::white));
    legend->setBorderLineStyle(plot::LineStyle {});
    legend->setTextStyle(tickStyle());
    legend->setCornerRadius(5);
    legend->setDisplacement(QPointF(-10, 0));
    graph.setLegend(std::move(legend));
}

double SimplePieChart::numberForPlot(plot::Plot*, int field, qsizetype index)
{
    return field == plot::PieChart::SliceWidth ? yAtIndex(index) : double(index);
}

std::optional<plot::TextLayer> SimplePieChart::dataLabelForPlot(plot::Plot*, qsizetype index)
{
    plot::TextLayer text;
    text.text = QString::asprintf("%1.0f%%", yAtIndex(index));
    text.textStyle = tickStyle();
    text.textStyle.color = Qt::white;
    return text;
}

std::optional<QString> SimplePieChart::legendTitleForPieChart(plot::Plot*, qsizetype index)
{
    return xLabelAtIndex(index);
}

void SimplePieChart::recordWasSelected(plot::Plot*, qsizetype index)
{
    const auto point = chartDataAtIndex(index);
    if (!point || !point->childChart || point->childChart->chartData.isEmpty())
        return;
    platform::ui::ViewController* parent = parentViewController();
    platform::ui::NavigationController* navigation
        = parent ? parent->navigationController() : nullptr;
    if (!navigation)
        return;
    auto bars = std::make_shared<ColoredBarChart>(point->childChart);
    bars->setParentViewController(parent);
    auto* host = new ChartHostViewController1();
    navigation->pushViewController(host, true);
    host->setPlotItem(bars);
}

void SimplePieChart::dataLabelWasSelected(plot::Plot* plot, qsizetype index)
{
    DebugHelper::singleton().logMessage(
        QStringLiteral("Data label for '%1' was selected at index %2.")
            .arg(plot ? plot->identifier() : QString())
            .arg(index));
}
