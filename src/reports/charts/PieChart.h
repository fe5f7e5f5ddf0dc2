#pragma once

#include "reports/charts/BaseChart.h"

#include <limits>

namespace platform::plot {
class PieChart;
}

// One slice per point in its own random colour, with a two-column legend. A tap selects a
// slice: it moves out of the pie, takes the image colour, and the legend then names only
// it with its value.
class PieChart : public BaseChart {
public:
    explicit PieChart(std::shared_ptr<ChartInfo> data);

    static constexpr qsizetype NoSelection = std::numeric_limits<qsizetype>::max();
    qsizetype selectedIndex() const { return m_selectedIndex; }
    bool isRotating() const { return m_rotating; }

    void renderInLayer(ChartHostingView* hostingView, const QString& theme, bool animated) override;
    void createGraph(ChartHostingView* hostingView, const QString& theme, bool animated);
    void createLegend();
    // The radius and centre anchor the pie takes in a view of that size.
    static double radiusFor(const QSizeF& size, const QMarginsF& graphPadding);
    static QPointF centerAnchorFor(bool phone, bool portrait);

    double numberForPlot(platform::plot::Plot* plot, int field, qsizetype index) override;
    std::optional<platform::plot::Fill> sliceFillForPieChart(
        platform::plot::Plot* plot, qsizetype index) override;
    double radialOffsetForPieChart(platform::plot::Plot* plot, qsizetype index) override;
    std::optional<QString> legendTitleForPieChart(
        platform::plot::Plot* plot, qsizetype index) override;
    std::optional<platform::plot::TextLayer> dataLabelForPlot(
        platform::plot::Plot* plot, qsizetype index) override;
    bool respondsToRecordSelection() const override { return true; }
    void recordWasSelected(platform::plot::Plot* plot, qsizetype index) override;
    void dataLabelWasSelected(platform::plot::Plot* plot, qsizetype index) override;
    void animationDidStop(bool finished);
    platform::plot::PieChart* piePlot() const;

    static const QString MainPlot; // "MainPlot"
    static constexpr double SelectedOffset = 25;
    static constexpr double RotationSeconds = 2.0;
    static constexpr int ReloadAfterRotationMs = 400;
    static constexpr int TrimmedLength = 18;

private:
    qsizetype m_selectedIndex = NoSelection;
    bool m_rotating = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
