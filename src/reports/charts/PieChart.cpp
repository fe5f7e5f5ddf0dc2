#include "reports/charts/PieChart.h"

#include "grid/OrietnationViewController.h"
#include "platform/Dispatch.h"
#include "platform/plot/Graph.h"
#include "platform/plot/Legend.h"
#include "platform/plot/PieChart.h"
#include "platform/ui/ViewController.h"
#include "reports/charts/ChartHostingView.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/shell/DeviceHelper.h"

#include <QGradientStops>

#include <algorithm>
#include <numbers>

namespace plot = platform::plot;

const QString PieChart::MainPlot = QStringLiteral("MainPlot");

namespace {

bool hostIsPortrait(platform::ui::ViewController* host, const QSizeF& size)
{
    if (auto* screen = qobject_cast<OrietnationViewController*>(host))
        return screen->isPortrait();
    return size.height() >= size.width();
}

} // namespace

PieChart::PieChart(std::shared_ptr<ChartInfo> data)
    : BaseChart(std::move(data))
{
    prepareRandomColors();
}

void PieChart::renderInLayer(ChartHostingView* hostingView, const QString& theme, bool animated)
{
    createGraph(hostingView, theme, animated);
    createLegend();
}

double PieChart::radiusFor(const QSizeF& size, const QMarginsF& padding)
{
    const double byHeight = (size.height() - 2 * padding.left()) * 0.7 * 0.5;
    const double byWidth = (size.width() - 2 * padding.top()) * 0.7 * 0.5;
    return std::max(0.0, std::min(byHeight, byWidth));
}

QPointF PieChart::centerAnchorFor(bool phone, bool portrait)
{
    if (phone)
        return portrait ? QPointF(0.5, 0.7) : QPointF(0.25, 0.5);
    return portrait ? QPointF(0.5, 0.65) : QPointF(0.35, 0.5);
}

void PieChart::createGraph(ChartHostingView* hostingView, const QString&, bool animated)
{
    m_selectedIndex = NoSelection;
    m_rotating = false;
    const QRectF bounds = hostingView ? hostingView->bounds() : QRectF();
    auto made = std::make_unique<plot::Graph>(bounds);
    plot::Graph& graph = *made;
    addGraph(std::move(made), hostingView);
    applyThemetoGraph(graph);
    setTitleDefaultsForGraph(graph, bounds);
    setPaddingDefaultsForGraph(graph, bounds);
    graph.setHasAxisSet(false);

    auto pie = std::make_unique<plot::PieChart>(MainPlot);
    pie->setDataSource(this);
    pie->setDelegate(this);
    pie->setPieRadius(radiusFor(bounds.size(), graph.padding()));
    pie->setStartAngle(std::numbers::pi / 4);
    pie->setSliceDirection(plot::PieChart::Direction::CounterClockwise);
    pie->setOverlayFill(plot::Fill::radial({ { 0.0, QColor(0, 0, 0, 0) },
        { 0.9, QColor::fromRgbF(0, 0, 0, 0.3f) }, { 1.0, QColor::fromRgbF(0, 0, 0, 0.7f) } }));
    pie->setLabelRotationRelativeToRadius(true);
    pie->setLabelRotation(-std::numbers::pi / 2);
    pie->setLabelOffset(-50);
    pie->setCenterAnchor(centerAnchorFor(
        DeviceHelper::isIPHONE(), hostIsPortrait(hostViewController(), bounds.size())));
    auto* slices = static_cast<plot::PieChart*>(graph.addPlot(std::move(pie)));

    if (animated) {
        m_rotating = true;
        plot::PlotAnimation turn;
        turn.key = "startAngle";
        turn.from = slices->startAngle();
        turn.to = slices->startAngle() - std::numbers::pi / 2;
        turn.duration = RotationSeconds;
        turn.easeIn = true;
        turn.apply = [slices](double angle) { slices->setPresentedStartAngle(angle); };
        std::weak_ptr<bool> alive = m_alive;
        turn.didStop = [this, alive](bool finished) {
            if (alive.lock())
                animationDidStop(finished);
        };
        graph.addAnimation(std::move(turn));
    }
    slices->reloadData();
}

void PieChart::createLegend()
{
    plot::Graph* shown = graph();
    if (!shown)
        return;
    auto legend = std::make_unique<plot::Legend>();
    legend->setNumberOfColumns(2);
    legend->setFill(plot::Fill::color(Qt::white));
    legend->setBorderLineStyle(majorGridLineStyle());
    legend->setTextStyle(tickStyle());
    legend->setCornerRadius(5);
    shown->setLegend(std::move(legend));
}

double PieChart::numberForPlot(plot::Plot*, int field, qsizetype index)
{
    return field == plot::PieChart::SliceWidth ? yAtIndex(index) : double(index);
}

std::optional<plot::Fill> PieChart::sliceFillForPieChart(plot::Plot*, qsizetype index)
{
    if (index == m_selectedIndex)
        return plot::Fill::color(imageColor());
    if (index >= 0 && index < prerandomColors().size())
        return plot::Fill::color(prerandomColors()[index]);
    return std::nullopt;
}

double PieChart::radialOffsetForPieChart(plot::Plot*, qsizetype index)
{
    return index == m_selectedIndex ? SelectedOffset : 0.0;
}

std::optional<QString> PieChart::legendTitleForPieChart(plot::Plot*, qsizetype index)
{
    if (m_selectedIndex == NoSelection)
        return trimLabel(xLabelAtIndex(index), TrimmedLength);
    if (index == m_selectedIndex)
        return QStringLiteral("%1, %2").arg(xLabelAtIndex(index), yLabelAtIndex(index));
    return std::nullopt;
}

std::optional<plot::TextLayer> PieChart::dataLabelForPlot(plot::Plot*, qsizetype index)
{
    if (m_rotating)
        return std::nullopt;
    const bool selected = m_selectedIndex != NoSelection;
    const bool shown = DeviceHelper::isIPAD() ? (!selected || index == m_selectedIndex)
                                              : index == m_selectedIndex;
    if (!shown)
        return std::nullopt;
    plot::TextLayer text;
    text.text = yLabelAtIndex(index);
    text.textStyle = tickStyle();
    text.textStyle.color = Qt::white;
    return text;
}

void PieChart::recordWasSelected(plot::Plot*, qsizetype index)
{
    m_selectedIndex = m_selectedIndex == index ? NoSelection : index;
    if (plot::PieChart* pie = piePlot())
        pie->reloadData();
}

void PieChart::dataLabelWasSelected(plot::Plot* plot, qsizetype index)
{
    DebugHelper::singleton().logMessage(
        QStringLiteral("Data label for '%1' was selected at index %2.")
            .arg(plot ? plot->identifier() : QString())
            .arg(index));
}

void PieChart::animationDidStop(bool)
{
    m_rotating = false;
    plot::PieChart* pie = piePlot();
    if (pie)
        pie->setPresentedStartAngle(std::nullopt);
    std::weak_ptr<bool> alive = m_alive;
    platform::dispatch::afterMain(ReloadAfterRotationMs, [this, alive] {
        if (!alive.lock())
            return;
        if (plot::PieChart* shown = piePlot())
            shown->reloadData();
    });
}

plot::PieChart* PieChart::piePlot() const
{
    plot::Graph* shown = graph();
    return shown ? dynamic_cast<plot::PieChart*>(shown->plotWithIdentifier(MainPlot)) : nullptr;
}
