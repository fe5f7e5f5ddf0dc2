#pragma once

#include "platform/ui/ViewController.h"
#include "reports/charts/ChartHostingView.h"

#include <QByteArray>
#include <QImage>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

namespace platform::plot {
class Graph;
}

// A chart as something drawn: it owns the graphs it made, draws them into a hosting view
// it adds to the view it is given, and renders itself to an image.
class PlotItem {
public:
    PlotItem();
    virtual ~PlotItem();
    PlotItem(const PlotItem&) = delete;
    PlotItem& operator=(const PlotItem&) = delete;

    ChartHostingView* defaultLayerHostingView() const { return m_hostingView; }
    const std::vector<std::unique_ptr<platform::plot::Graph>>& graphs() const { return m_graphs; }
    QString section() const { return m_section; }
    void setSection(const QString& section) { m_section = section; }
    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    platform::ui::ViewController* hostViewController() const { return m_hostViewController; }
    void setHostViewController(platform::ui::ViewController* host) { m_hostViewController = host; }

    void addGraph(std::unique_ptr<platform::plot::Graph> graph, ChartHostingView* hostingView);
    platform::plot::Graph* addGraph(std::unique_ptr<platform::plot::Graph> graph);
    // Takes the hosting view away, drops the graphs, the kept image and every animation.
    virtual void killGraph();
    // Draws afresh into a new hosting view filling the view.
    void renderInView(platform::ui::View* view, const QString& theme, bool animated);
    virtual void renderInLayer(ChartHostingView* hostingView, const QString& theme, bool animated);
    // The theme applies; none takes the default; NullTheme applies nothing.
    static void applyTheme(
        const QString& theme, platform::plot::Graph& graph, const QString& defaultTheme);
    // The graph at the index painted on its own at one pixel per point; null when none.
    QImage imageRepresentation(qsizetype index) const;
    // The graph at the index as a one-page PDF document of its size; empty when none.
    QByteArray pdfRepresentions(qsizetype index) const;
    // A 400 x 300 rendering without theme or animation, made once and kept.
    QImage image();
    void reloadData();
    // Section, then title, case-insensitively.
    int titleCompare(const PlotItem& other) const;
    virtual void setTitleDefaultsForGraph(platform::plot::Graph& graph, const QRectF& bounds);
    virtual void setPaddingDefaultsForGraph(platform::plot::Graph& graph, const QRectF& bounds);
    virtual void orientationChanged() { }
    virtual void generateData() { }

    static const QString NullTheme;
    static constexpr double ImageWidth = 400;
    static constexpr double ImageHeight = 300;

private:
    QPointer<ChartHostingView> m_hostingView;
    std::vector<std::unique_ptr<platform::plot::Graph>> m_graphs;
    QString m_section;
    QString m_title;
    QImage m_cachedImage;
    QPointer<platform::ui::ViewController> m_hostViewController;
};
