#pragma once

#include "reports/charts/BaseChart.h"

#include <QList>

namespace platform::plot {
class BarPlot;
}

// One bar per point, at positions 0, 1, 2, ... in point order. A tap selects a bar (a
// second tap on it clears the selection); the selected bar is drawn in the image colour
// and only it is labelled on a phone.
class BarChart : public BaseChart {
public:
    explicit BarChart(std::shared_ptr<ChartInfo> data);

    const QList<double>& plotNumbers() const { return m_plotNumbers; }
    double minimumValue() const { return m_minimumValue; }
    double maximumValue() const { return m_maximumValue; }
    qsizetype selectedIndex() const { return m_selectedIndex; }

    void renderInLayer(ChartHostingView* hostingView, const QString& theme, bool animated) override;
    void createGraph(ChartHostingView* hostingView, const QString& theme);
    void createXAxis();
    void createYAxis();
    void createMainPlot(bool animated);

    // The y range and major interval the Parts' rules give, widened where they would be
    // empty.
    struct YScale {
        platform::plot::PlotRange range;
        double interval = 0;
    };
    static YScale yScale(const QList<double>& values);

    double numberForPlot(platform::plot::Plot* plot, int field, qsizetype index) override;
    std::optional<platform::plot::Fill> barFillForBarPlot(
        platform::plot::Plot* plot, qsizetype index) override;
    std::optional<platform::plot::TextLayer> dataLabelForPlot(
        platform::plot::Plot* plot, qsizetype index) override;
    bool respondsToRecordSelection() const override { return true; }
    void recordWasSelected(platform::plot::Plot* plot, qsizetype index) override;
    void setLabelPosition();
    platform::plot::BarPlot* barPlot() const;

    static const QString MainPlot; // "MainPlot"
    static constexpr double BarWidth = 0.75;
    static constexpr double GrowSeconds = 2.0;
    static constexpr int TrimmedLength = 18;

private:
    QList<double> m_plotNumbers;
    double m_minimumValue = 0;
    double m_maximumValue = 0;
    qsizetype m_selectedIndex = -1;
};
