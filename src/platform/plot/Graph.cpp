#include "platform/plot/Graph.h"

#include "platform/plot/Legend.h"
#include "platform/plot/Plot.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace platform::plot {

Graph::Graph(const QRectF& bounds)
    : m_bounds(bounds)
    , m_xAxis(std::make_unique<Axis>(PlotSpace::X))
    , m_yAxis(std::make_unique<Axis>(PlotSpace::Y))
{
    layout();
}

Graph::~Graph() = default;

void Graph::setBounds(const QRectF& bounds)
{
    m_bounds = bounds;
    layout();
    setNeedsDisplay();
}

QRectF Graph::plotAreaFrame() const
{
    return m_bounds.marginsRemoved(m_padding);
}

QRectF Graph::plotArea() const
{
    const QRectF area = plotAreaFrame().marginsRemoved(m_framePadding);
    // A view smaller than its paddings has an empty plot area, not an inverted one.
    return area.isValid() ? area : QRectF(area.topLeft(), QSizeF(0, 0));
}

void Graph::layout()
{
    m_plotSpace.setPlotArea(plotArea());
}

void Graph::setFill(const Fill& fill)
{
    m_fill = fill;
    setNeedsDisplay();
}

void Graph::setHasAxisSet(bool has)
{
    if (has && !m_xAxis) {
        m_xAxis = std::make_unique<Axis>(PlotSpace::X);
        m_yAxis = std::make_unique<Axis>(PlotSpace::Y);
    } else if (!has) {
        m_xAxis.reset();
        m_yAxis.reset();
    }
}

Plot* Graph::addPlot(std::unique_ptr<Plot> plot)
{
    Plot* added = plot.get();
    added->setGraph(this);
    m_plots.push_back(std::move(plot));
    return added;
}

Plot* Graph::plotWithIdentifier(const QString& identifier) const
{
    for (const auto& plot : m_plots) {
        if (plot->identifier() == identifier)
            return plot.get();
    }
    return nullptr;
}

QList<Plot*> Graph::allPlots() const
{
    QList<Plot*> plots;
    for (const auto& plot : m_plots)
        plots.append(plot.get());
    return plots;
}

void Graph::reloadData()
{
    for (const auto& plot : m_plots)
        plot->reloadData();
}

void Graph::setLegend(std::unique_ptr<Legend> legend)
{
    m_legend = std::move(legend);
    setNeedsDisplay();
}

std::shared_ptr<PlotSpaceAnnotation> Graph::addAnnotation(const PlotSpaceAnnotation& annotation)
{
    auto added = std::make_shared<PlotSpaceAnnotation>(annotation);
    m_annotations.append(added);
    setNeedsDisplay();
    return added;
}

void Graph::removeAnnotation(const std::shared_ptr<PlotSpaceAnnotation>& annotation)
{
    m_annotations.removeAll(annotation);
    setNeedsDisplay();
}

void Graph::draw(QPainter& painter)
{
    layout();
    painter.save();
    painter.setClipRect(m_bounds);
    m_fill.fillRect(painter, m_bounds);
    const QRectF frame = plotAreaFrame();
    const QRectF area = plotArea();
    m_plotAreaFill.fillRect(painter, area);
    if (m_xAxis) {
        m_xAxis->drawGridLines(painter, m_plotSpace);
        m_yAxis->drawGridLines(painter, m_plotSpace);
    }
    for (const auto& plot : m_plots)
        plot->draw(painter, m_plotSpace);
    if (m_xAxis) {
        m_xAxis->draw(painter, m_plotSpace, m_bounds);
        m_yAxis->draw(painter, m_plotSpace, m_bounds);
    }
    for (const auto& plot : m_plots)
        plot->drawLabels(painter, m_plotSpace);
    for (const auto& annotation : std::as_const(m_annotations))
        annotation->draw(painter, m_plotSpace);
    if (m_frameBorder) {
        painter.setPen(m_frameBorder->pen());
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame);
    }
    if (!m_title.isEmpty()) {
        TextLayer title;
        title.text = m_title;
        title.textStyle = m_titleStyle;
        const QPointF anchor(
            frame.center().x() + m_titleDisplacement.x(), frame.top() - m_titleDisplacement.y());
        painter.setRenderHint(QPainter::TextAntialiasing);
        title.draw(painter, anchor, QPointF(0.5, 1.0), 0);
    }
    if (m_legend)
        m_legend->draw(painter, allPlots(), m_bounds);
    painter.restore();
}

QImage Graph::imageOfLayer(double scale)
{
    const QSize size(qMax(1, int(std::ceil(m_bounds.width() * scale))),
        qMax(1, int(std::ceil(m_bounds.height() * scale))));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.translate(-m_bounds.topLeft());
    draw(painter);
    return image;
}

QByteArray Graph::dataForPDFRepresentationOfLayer()
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        // One unit a point, as the graph's own coordinates are.
        writer.setResolution(72);
        const QSizeF size(std::max(1.0, m_bounds.width()), std::max(1.0, m_bounds.height()));
        writer.setPageLayout(QPageLayout(
            QPageSize(size, QPageSize::Point), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter(&writer);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-m_bounds.topLeft());
        draw(painter);
    }
    return data;
}

bool Graph::pointingDeviceDown(const QPointF& point)
{
    layout();
    for (auto it = m_plots.rbegin(); it != m_plots.rend(); ++it) {
        if ((*it)->pointingDeviceDown(m_plotSpace, point))
            return true;
    }
    return m_plotSpace.pointingDeviceDown(point);
}

bool Graph::pointingDeviceDragged(const QPointF& point)
{
    layout();
    return m_plotSpace.pointingDeviceDragged(point);
}

bool Graph::pointingDeviceUp(const QPointF& point)
{
    layout();
    return m_plotSpace.pointingDeviceUp(point);
}

void Graph::setNeedsDisplay() const
{
    if (onNeedsDisplay)
        onNeedsDisplay();
}

void Graph::addAnimation(PlotAnimation animation)
{
    m_animations.append(std::move(animation));
}

QList<PlotAnimation> Graph::takeAnimations()
{
    return std::exchange(m_animations, {});
}

} // namespace platform::plot
