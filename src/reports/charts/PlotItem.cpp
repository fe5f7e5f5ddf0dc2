#include "reports/charts/PlotItem.h"

#include "platform/plot/Graph.h"
#include "platform/plot/Theme.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "reports/charts/ChartHostingView.h"
#include "utilities/shell/DebugHelper.h"

#include <QFont>
#include <QPainter>

#include <cmath>

namespace plot = platform::plot;
namespace ui = platform::ui;

const QString PlotItem::NullTheme = QStringLiteral("[CPTTheme null]");

PlotItem::PlotItem() = default;

PlotItem::~PlotItem()
{
    PlotItem::killGraph();
}

void PlotItem::addGraph(std::unique_ptr<plot::Graph> graph, ChartHostingView* hostingView)
{
    plot::Graph* added = graph.get();
    m_graphs.push_back(std::move(graph));
    if (hostingView)
        hostingView->setHostedGraph(added);
}

plot::Graph* PlotItem::addGraph(std::unique_ptr<plot::Graph> graph)
{
    plot::Graph* added = graph.get();
    m_graphs.push_back(std::move(graph));
    return added;
}

void PlotItem::killGraph()
{
    if (ChartHostingView* view = m_hostingView) {
        view->cancelAnimations();
        view->setHostedGraph(nullptr);
        view->removeFromSuperview();
        view->deleteLater();
    }
    m_hostingView = nullptr;
    m_cachedImage = QImage();
    m_graphs.clear();
}

void PlotItem::renderInView(ui::View* view, const QString& theme, bool animated)
{
    killGraph();
    if (!view)
        return;
    auto* hosting = new ChartHostingView(view->bounds());
    view->addSubview(hosting);
    m_hostingView = hosting;
    generateData();
    renderInLayer(hosting, theme, animated);
    if (animated)
        hosting->runAnimations();
    else if (!m_graphs.empty()) {
        // Without animation every value stands at its end at once.
        for (const plot::PlotAnimation& animation : m_graphs.front()->takeAnimations()) {
            if (animation.apply)
                animation.apply(animation.to);
            if (animation.didStop)
                animation.didStop(true);
        }
    }
}

void PlotItem::renderInLayer(ChartHostingView*, const QString&, bool)
{
    DebugHelper::singleton().logMessage(QStringLiteral("PlotItem:renderInLayer: Override me"));
}

void PlotItem::applyTheme(const QString& theme, plot::Graph& graph, const QString& defaultTheme)
{
    if (theme == NullTheme)
        return;
    const auto found = plot::Theme::themeNamed(theme.isEmpty() ? defaultTheme : theme);
    if (found)
        found->applyToGraph(graph);
}

QImage PlotItem::imageRepresentation(qsizetype index) const
{
    if (index < 0 || index >= qsizetype(m_graphs.size()))
        return {};
    return m_graphs[size_t(index)]->imageOfLayer(1.0);
}

QByteArray PlotItem::pdfRepresentions(qsizetype index) const
{
    if (index < 0 || index >= qsizetype(m_graphs.size()))
        return {};
    return m_graphs[size_t(index)]->dataForPDFRepresentationOfLayer();
}

QImage PlotItem::image()
{
    if (!m_cachedImage.isNull())
        return m_cachedImage;
    ui::View canvas(QRectF(0, 0, ImageWidth, ImageHeight));
    canvas.setBackgroundColor(Qt::white);
    renderInView(&canvas, QString(), false);
    QImage rendered(int(ImageWidth), int(ImageHeight), QImage::Format_ARGB32_Premultiplied);
    rendered.fill(Qt::white);
    {
        QPainter painter(&rendered);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const auto& graph : m_graphs) {
            graph->setBounds(QRectF(0, 0, ImageWidth, ImageHeight));
            graph->draw(painter);
        }
    }
    // The canvas goes with this call; the graphs stay for the next rendering.
    if (ChartHostingView* view = m_hostingView) {
        view->cancelAnimations();
        view->setHostedGraph(nullptr);
        view->setParent(nullptr);
        delete view;
    }
    m_cachedImage = rendered;
    return m_cachedImage;
}

void PlotItem::reloadData()
{
    for (const auto& graph : m_graphs)
        graph->reloadData();
}

int PlotItem::titleCompare(const PlotItem& other) const
{
    const int bySection = m_section.compare(other.m_section, Qt::CaseInsensitive);
    if (bySection != 0)
        return bySection < 0 ? -1 : 1;
    const int byTitle = m_title.compare(other.m_title, Qt::CaseInsensitive);
    return byTitle < 0 ? -1 : (byTitle > 0 ? 1 : 0);
}

void PlotItem::setTitleDefaultsForGraph(plot::Graph& graph, const QRectF& bounds)
{
    graph.setTitle(m_title);
    plot::TextStyle style;
    style.font = QFont(QStringLiteral("Helvetica"));
    style.font.setBold(true);
    style.font.setPixelSize(std::max(1, int(std::round(bounds.height() / 25))));
    style.color = Qt::gray;
    graph.setTitleTextStyle(style);
    graph.setTitleDisplacement(QPointF(0, std::round(bounds.height() / 18)));
}

void PlotItem::setPaddingDefaultsForGraph(plot::Graph& graph, const QRectF& bounds)
{
    const double side = std::round(bounds.width() / 20);
    const double lift = graph.titleDisplacement().y();
    graph.setPadding(QMarginsF(side, lift > 0 ? 2 * lift : side, side, side));
}
