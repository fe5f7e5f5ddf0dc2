#pragma once

#include "platform/ui/View.h"

#include <QByteArrayList>

namespace platform::plot {
class Graph;
}

// The view a graph is shown in: it paints the graph, lays it out again when its size
// changes, passes the pointer to it and runs its animations on the UI layer's clock. The
// plot item owns the graph and takes it away (setHostedGraph(nullptr)) before it goes.
class ChartHostingView : public platform::ui::View {
    Q_OBJECT
public:
    explicit ChartHostingView(const QRectF& frame, QWidget* parent = nullptr);
    ~ChartHostingView() override;

    platform::plot::Graph* hostedGraph() const { return m_graph; }
    void setHostedGraph(platform::plot::Graph* graph);
    // Starts the animations the graph asked for since the last call.
    void runAnimations();
    // Stops every animation at its end value.
    void cancelAnimations();

    // How long the last paint of the graph took, in milliseconds.
    double lastPaintMilliseconds() const { return m_lastPaintMs; }

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    platform::plot::Graph* m_graph = nullptr;
    QByteArrayList m_animationKeys;
    double m_lastPaintMs = 0;
};
