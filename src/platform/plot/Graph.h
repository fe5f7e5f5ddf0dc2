#pragma once

#include "platform/plot/Axis.h"
#include "platform/plot/Fill.h"
#include "platform/plot/LineStyle.h"
#include "platform/plot/PlotAnimation.h"
#include "platform/plot/PlotSpace.h"
#include "platform/plot/PlotSpaceAnnotation.h"
#include "platform/plot/TextStyle.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QPainter;

namespace platform::plot {

class Legend;
class Plot;

// An XY graph: its background, a title above the plot area frame, the frame's plot area
// with an axis set and the plots in a plot space, a legend and annotations. It paints
// itself with QPainter into any device; the host that shows it forwards pointer events and
// runs its animations.
class Graph {
public:
    explicit Graph(const QRectF& bounds = {});
    ~Graph();
    Graph(const Graph&) = delete;
    Graph& operator=(const Graph&) = delete;

    QRectF bounds() const { return m_bounds; }
    void setBounds(const QRectF& bounds);

    // Room between the bounds and the plot area frame, and between the frame and the plot
    // area.
    QMarginsF padding() const { return m_padding; }
    void setPadding(const QMarginsF& padding) { m_padding = padding; }
    QMarginsF plotAreaFramePadding() const { return m_framePadding; }
    void setPlotAreaFramePadding(const QMarginsF& padding) { m_framePadding = padding; }
    std::optional<LineStyle> plotAreaFrameBorder() const { return m_frameBorder; }
    void setPlotAreaFrameBorder(const std::optional<LineStyle>& style) { m_frameBorder = style; }
    QRectF plotAreaFrame() const;
    // The area the paddings leave; the plot space's may be narrower, where axis labels at
    // its sides need the room.
    QRectF plotArea() const;

    Fill fill() const { return m_fill; }
    void setFill(const Fill& fill);
    Fill plotAreaFill() const { return m_plotAreaFill; }
    void setPlotAreaFill(const Fill& fill) { m_plotAreaFill = fill; }

    // The title, its top at the top of the plot area frame, moved by the displacement (x
    // right, y up).
    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    TextStyle titleTextStyle() const { return m_titleStyle; }
    void setTitleTextStyle(const TextStyle& style) { m_titleStyle = style; }
    QPointF titleDisplacement() const { return m_titleDisplacement; }
    void setTitleDisplacement(const QPointF& displacement) { m_titleDisplacement = displacement; }

    // The axis set: x and y axes, or none.
    bool hasAxisSet() const { return m_xAxis != nullptr; }
    void setHasAxisSet(bool has);
    Axis* xAxis() const { return m_xAxis.get(); }
    Axis* yAxis() const { return m_yAxis.get(); }

    PlotSpace* defaultPlotSpace() { return &m_plotSpace; }
    const PlotSpace* defaultPlotSpace() const { return &m_plotSpace; }

    // Plots, drawn in the order added; the graph owns them.
    Plot* addPlot(std::unique_ptr<Plot> plot);
    Plot* plotWithIdentifier(const QString& identifier) const;
    QList<Plot*> allPlots() const;
    void reloadData();

    Legend* legend() const { return m_legend.get(); }
    void setLegend(std::unique_ptr<Legend> legend);

    std::shared_ptr<PlotSpaceAnnotation> addAnnotation(const PlotSpaceAnnotation& annotation);
    void removeAnnotation(const std::shared_ptr<PlotSpaceAnnotation>& annotation);
    qsizetype annotationCount() const { return m_annotations.size(); }

    void draw(QPainter& painter);
    // The graph painted on its own, at one pixel per point times the scale.
    QImage imageOfLayer(double scale = 1.0);
    // The graph as a one-page PDF document of its size in points, drawn as vectors.
    QByteArray dataForPDFRepresentationOfLayer();

    // Pointer events at a point of the bounds: a plot's record under the point takes a
    // press first, then the plot space. Whether handled.
    bool pointingDeviceDown(const QPointF& point);
    bool pointingDeviceDragged(const QPointF& point);
    bool pointingDeviceUp(const QPointF& point);

    // The host repaints when told.
    std::function<void()> onNeedsDisplay;
    void setNeedsDisplay() const;

    void addAnimation(PlotAnimation animation);
    // The animations asked for since the last call, for the host to run.
    QList<PlotAnimation> takeAnimations();

private:
    void layout();

    QRectF m_bounds;
    QMarginsF m_padding;
    QMarginsF m_framePadding;
    std::optional<LineStyle> m_frameBorder;
    Fill m_fill = Fill::color(Qt::white);
    Fill m_plotAreaFill;
    QString m_title;
    TextStyle m_titleStyle;
    QPointF m_titleDisplacement;
    std::unique_ptr<Axis> m_xAxis;
    std::unique_ptr<Axis> m_yAxis;
    PlotSpace m_plotSpace;
    std::vector<std::unique_ptr<Plot>> m_plots;
    std::unique_ptr<Legend> m_legend;
    QList<std::shared_ptr<PlotSpaceAnnotation>> m_annotations;
    QList<PlotAnimation> m_animations;
};

} // namespace platform::plot
