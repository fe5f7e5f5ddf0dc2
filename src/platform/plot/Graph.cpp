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
#include <limits>

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
    const QRectF area = plotArea();
    m_plotSpace.setPlotArea(area);
    if (!m_xAxis || !(area.width() > 0) || !m_bounds.isValid())
        return;
    // Labels that reach past the sides of the bounds would be cut: the plot area's sides move
    // in, as little as it takes, so that each is drawn whole. A label that alone would take
    // more than a quarter of the width gets no room: the axis leaves it out rather than cut it.
    const double width = area.width();
    const double most = width / 4;
    QList<Axis::LabelReach> reaches = m_xAxis->labelReach(m_plotSpace);
    reaches.append(m_yAxis->labelReach(m_plotSpace));
    // With the area's sides at left and right, the sides the label needs.
    const auto rightFor = [&](const Axis::LabelReach& label, double left) {
        return label.share > 0
            ? (m_bounds.right() - label.right - left * (1 - label.share)) / label.share
            : std::numeric_limits<double>::infinity();
    };
    const auto leftFor = [&](const Axis::LabelReach& label, double right) {
        return label.share < 1
            ? (m_bounds.left() + label.left - right * label.share) / (1 - label.share)
            : -std::numeric_limits<double>::infinity();
    };
    reaches.removeIf([&](const Axis::LabelReach& label) {
        const bool rightFits = label.share > 0 ? rightFor(label, area.left()) >= area.right() - most
                                               : area.left() + label.right <= m_bounds.right();
        const bool leftFits = label.share < 1 ? leftFor(label, area.right()) <= area.left() + most
                                              : area.right() - label.left >= m_bounds.left();
        return !rightFits || !leftFits;
    });
    if (reaches.isEmpty())
        return;
    double left = area.left();
    double right = area.right();
    // Moving one side moves the labels near the other a little: a few rounds settle both.
    for (int round = 0; round < 8; ++round) {
        double newLeft = area.left();
        double newRight = area.right();
        for (const Axis::LabelReach& label : std::as_const(reaches)) {
            newRight = std::min(newRight, rightFor(label, left));
            newLeft = std::max(newLeft, leftFor(label, right));
        }
        if (newLeft == left && newRight == right)
            break;
        left = newLeft;
        right = newRight;
    }
    if (!(right - left >= width / 2) || (left == area.left() && right == area.right()))
        return;
    m_plotSpace.setPlotArea(QRectF(left, area.top(), right - left, area.height()));
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
    m_plotAreaFill.fillRect(painter, m_plotSpace.plotArea());
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
