#pragma once

#include "reports/charts/BaseChart.h"

#include <QList>

// Bars in fresh random colours at every drawing, each labelled with its name and value.
class ColoredBarChart : public BaseChart {
public:
    explicit ColoredBarChart(std::shared_ptr<ChartInfo> data);

    const QList<double>& plotNumbers() const { return m_plotNumbers; }
    // From 0 to the largest value, 5 higher when that is below 80.
    static platform::plot::PlotRange yRange(const QList<double>& values);

    void renderInLayer(ChartHostingView* hostingView, const QString& theme, bool animated) override;
    double numberForPlot(platform::plot::Plot* plot, int field, qsizetype index) override;
    std::optional<platform::plot::Fill> barFillForBarPlot(
        platform::plot::Plot* plot, qsizetype index) override;
    std::optional<platform::plot::TextLayer> dataLabelForPlot(
        platform::plot::Plot* plot, qsizetype index) override;

    static const QString BarPlot1; // "Bar Plot 1"

private:
    QList<double> m_plotNumbers;
};
