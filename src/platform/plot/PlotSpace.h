#pragma once

#include "platform/plot/PlotRange.h"

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QRectF>

namespace platform::plot {

class Plot;
class PlotSpaceDelegate;

// The x and y ranges a graph's plot area shows, y pointing up, and the mapping between
// plot coordinates and the graph's painted coordinates.
class PlotSpace {
public:
    enum Coordinate { X = 0, Y = 1 };

    PlotRange xRange() const { return m_xRange; }
    PlotRange yRange() const { return m_yRange; }
    // Ranges pass the delegate first.
    void setXRange(const PlotRange& range);
    void setYRange(const PlotRange& range);
    PlotRange rangeFor(int coordinate) const { return coordinate == X ? m_xRange : m_yRange; }
    void setRange(const PlotRange& range, int coordinate);
    // Ranges that hold every point of the visible plots, with a little room around points
    // that all lie on one value. Points apart by less than a coordinate's resolution (the
    // step its labels show values to; 0: none) lie on one value there too.
    void scaleToFitPlots(const QList<Plot*>& plots, double xResolution = 0, double yResolution = 0);

    bool allowsUserInteraction() const { return m_allowsUserInteraction; }
    void setAllowsUserInteraction(bool allows) { m_allowsUserInteraction = allows; }
    PlotSpaceDelegate* delegate() const { return m_delegate; }
    void setDelegate(PlotSpaceDelegate* delegate) { m_delegate = delegate; }

    // Set by the graph at each layout: where the plot area lies.
    QRectF plotArea() const { return m_plotArea; }
    void setPlotArea(const QRectF& area) { m_plotArea = area; }
    // Plot coordinates to painted ones and back; an empty range maps to the area's middle.
    QPointF viewPoint(double x, double y) const;
    double viewX(double x) const;
    double viewY(double y) const;
    QPointF plotPoint(const QPointF& viewPoint) const;

    // Painted coordinates further than this outside the plot area show in no view: drawing
    // clamps, clips or skips them instead of handing the painter numbers of any size.
    static constexpr double FarOutside = 1e5;
    QRectF drawableArea() const;
    // The part of the line inside the rectangle; false when none is.
    static bool clipLine(QLineF& line, const QRectF& rect);

    // Pointer events the graph passes on when no plot took them; whether handled.
    bool pointingDeviceDown(const QPointF& point);
    bool pointingDeviceDragged(const QPointF& point);
    bool pointingDeviceUp(const QPointF& point);

private:
    PlotRange m_xRange { 0, 1 };
    PlotRange m_yRange { 0, 1 };
    bool m_allowsUserInteraction = false;
    PlotSpaceDelegate* m_delegate = nullptr;
    QRectF m_plotArea;
};

} // namespace platform::plot
