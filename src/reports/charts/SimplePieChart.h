#pragma once

#include "reports/charts/BaseChart.h"

// A pie whose slices show their value as a percentage; a slice that carries a nested
// chart opens it as coloured bars.
class SimplePieChart : public BaseChart {
public:
    using BaseChart::BaseChart;

    void renderInLayer(ChartHostingView* hostingView, const QString& theme, bool animated) override;
    double numberForPlot(platform::plot::Plot* plot, int field, qsizetype index) override;
    std::optional<platform::plot::TextLayer> dataLabelForPlot(
        platform::plot::Plot* plot, qsizetype index) override;
    std::optional<QString> legendTitleForPieChart(
        platform::plot::Plot* plot, qsizetype index) override;
    bool respondsToRecordSelection() const override { return true; }
    void recordWasSelected(platform::plot::Plot* plot, qsizetype index) override;
    void dataLabelWasSelected(platform::plot::Plot* plot, qsizetype index) override;
};
