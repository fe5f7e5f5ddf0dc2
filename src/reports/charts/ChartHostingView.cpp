#include "reports/charts/ChartHostingView.h"

#include "platform/plot/Graph.h"
#include "platform/ui/Animation.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace ui = platform::ui;

ChartHostingView::ChartHostingView(const QRectF& frame, QWidget* parent)
    : View(frame, parent)
{
    setAutoresizingMask(ui::AutoresizingFlexibleWidth | ui::AutoresizingFlexibleHeight);
    setBackgroundColor(Qt::transparent);
}

ChartHostingView::~ChartHostingView()
{
    cancelAnimations();
    setHostedGraph(nullptr);
}

void ChartHostingView::setHostedGraph(platform::plot::Graph* graph)
{
    if (m_graph)
        m_graph->onNeedsDisplay = nullptr;
    m_graph = graph;
    if (m_graph) {
        m_graph->setBounds(bounds());
        QPointer<ChartHostingView> self(this);
        m_graph->onNeedsDisplay = [self] {
            if (self)
                self->update();
        };
    }
    update();
}

void ChartHostingView::runAnimations()
{
    if (!m_graph)
        return;
    for (platform::plot::PlotAnimation animation : m_graph->takeAnimations()) {
        const QByteArray key = animation.key;
        m_animationKeys.append(key);
        const unsigned curve
            = animation.easeIn ? ui::AnimationOptionCurveEaseIn : ui::AnimationOptionCurveLinear;
        auto apply = animation.apply;
        const double from = animation.from;
        const double to = animation.to;
        if (apply)
            apply(from);
        ui::Animation::animate(
            animation.duration, 0, curve,
            [this, key, from, to, apply] {
                if (!ui::Animation::record(this, key, from, to,
                        [apply](const QVariant& value) {
                            if (apply)
                                apply(value.toDouble());
                        })
                    && apply)
                    apply(to);
            },
            [didStop = animation.didStop](bool finished) {
                if (didStop)
                    didStop(finished);
            });
    }
}

void ChartHostingView::cancelAnimations()
{
    for (const QByteArray& key : std::as_const(m_animationKeys))
        ui::Animation::cancel(this, key);
    m_animationKeys.clear();
}

void ChartHostingView::drawRect(QPainter& painter, const QRectF&)
{
    if (!m_graph)
        return;
    QElapsedTimer timer;
    timer.start();
    m_graph->draw(painter);
    m_lastPaintMs = double(timer.nsecsElapsed()) / 1e6;
}

void ChartHostingView::resizeEvent(QResizeEvent* event)
{
    View::resizeEvent(event);
    if (m_graph)
        m_graph->setBounds(bounds());
}

void ChartHostingView::mousePressEvent(QMouseEvent* event)
{
    if (m_graph && m_graph->pointingDeviceDown(event->position()))
        event->accept();
    else
        View::mousePressEvent(event);
}

void ChartHostingView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_graph && (event->buttons() & Qt::LeftButton)
        && m_graph->pointingDeviceDragged(event->position()))
        event->accept();
    else
        View::mouseMoveEvent(event);
}

void ChartHostingView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_graph && m_graph->pointingDeviceUp(event->position()))
        event->accept();
    else
        View::mouseReleaseEvent(event);
}
