#pragma once

#include "reports/charts/BaseChart.h"

namespace platform::plot {
class ScatterPlot;
class PlotSpace;
} // namespace platform::plot

// A line through the points at their x positions. A press shows a vertical cursor on the
// nearest point with its label and value, a drag moves it, a second press hides it.
class LineChart : public BaseChart {
public:
    explicit LineChart(std::shared_ptr<ChartInfo> data);

    double touchX() const { return m_touchX; }
    qsizetype touchIndex() const { return m_touchIndex; }
    std::shared_ptr<ChartData> lowestPoint() const { return m_lowestPoint; }
    std::shared_ptr<ChartData> highestPoint() const { return m_highestPoint; }

    void renderInLayer(ChartHostingView* hostingView, const QString& theme, bool animated) override;
    void createGraph(ChartHostingView* hostingView, const QString& theme);
    void createXAxis();
    void createYAxis();
    void createMainPlot();
    void createTouchPlot();

    qsizetype numberOfRecordsForPlot(platform::plot::Plot* plot) override;
    double numberForPlot(platform::plot::Plot* plot, int field, qsizetype index) override;
    std::optional<platform::plot::TextLayer> dataLabelForPlot(
        platform::plot::Plot* plot, qsizetype index) override;

    platform::plot::PlotRange willChangePlotRangeTo(platform::plot::PlotSpace* space,
        const platform::plot::PlotRange& proposed, int coordinate) override;
    bool shouldHandlePointingDeviceDownEvent(
        platform::plot::PlotSpace* space, const QPointF& point) override;
    bool shouldHandlePointingDeviceDraggedEvent(
        platform::plot::PlotSpace* space, const QPointF& point) override;
    bool shouldHandlePointingDeviceUpEvent(
        platform::plot::PlotSpace* space, const QPointF& point) override;
    // Puts the cursor on the point nearest the x under the touch (in the graph's
    // coordinates).
    void handleTouch(const QPointF& point);
    void showHideTouchPlot(bool hidden);
    platform::plot::ScatterPlot* touchPlot() const;
    platform::plot::ScatterPlot* mainPlot() const;

    static const QString MainPlot; // "MainPlot"
    static const QString TouchPlot; // "TouchPlot"
    static constexpr int TrimmedLength = 15;

private:
    void applyPlotStyle(platform::plot::ScatterPlot& plot);

    double m_touchX = 0;
    qsizetype m_touchIndex = 0;
    std::shared_ptr<ChartData> m_lowestPoint;
    std::shared_ptr<ChartData> m_highestPoint;
    bool m_settingRanges = false;
};
