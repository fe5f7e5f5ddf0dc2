#pragma once

#include "reports/charts/BaseChart.h"

#include <QList>
#include <QPointF>

namespace platform::plot {
struct PlotSpaceAnnotation;
}

// Points joined by a line; a tapped point shows its label and value above it.
class SimpleScatterPlot : public BaseChart {
public:
    explicit SimpleScatterPlot(std::shared_ptr<ChartInfo> data);

    // The points as (x, y).
    const QList<QPointF>& plotNumbers() const { return m_plotNumbers; }
    const std::shared_ptr<platform::plot::PlotSpaceAnnotation>& symbolTextAnnotation() const
    {
        return m_annotation;
    }

    void renderInLayer(ChartHostingView* hostingView, const QString& theme, bool animated) override;
    qsizetype numberOfRecordsForPlot(platform::plot::Plot* plot) override;
    double numberForPlot(platform::plot::Plot* plot, int field, qsizetype index) override;
    std::optional<platform::plot::TextLayer> dataLabelForPlot(
        platform::plot::Plot* plot, qsizetype index) override;
    // An x range moved, not resized, to lie within -1 to 5.
    platform::plot::PlotRange willChangePlotRangeTo(platform::plot::PlotSpace* space,
        const platform::plot::PlotRange& proposed, int coordinate) override;
    bool respondsToRecordSelection() const override { return true; }
    void recordWasSelected(platform::plot::Plot* plot, qsizetype index) override;
    void killGraph() override;

    static const QString DataSourcePlot; // "Data Source Plot"
    // The label angle, in the framework's unit (radians) as written.
    static constexpr double XLabelRotation = 51.0;

private:
    QList<QPointF> m_plotNumbers;
    std::shared_ptr<platform::plot::PlotSpaceAnnotation> m_annotation;
};
