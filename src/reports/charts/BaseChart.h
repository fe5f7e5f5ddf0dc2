#pragma once

#include "platform/plot/Fill.h"
#include "platform/plot/LineStyle.h"
#include "platform/plot/PlotDataSource.h"
#include "platform/plot/PlotDelegate.h"
#include "platform/plot/PlotSpaceDelegate.h"
#include "platform/plot/TextStyle.h"
#include "reports/charts/ChartInfo.h"
#include "reports/charts/PlotItem.h"

#include <QColor>
#include <QList>

#include <memory>

class Theme;

namespace platform::plot {
class Axis;
class Graph;
} // namespace platform::plot

// What every chart of a table shares: its ChartInfo, the theme it names, lines and texts
// in the style's image colour, one random colour or fill per point made once (so a
// redraw keeps them), label trimming and the record count of its plots.
class BaseChart : public PlotItem,
                  public platform::plot::PlotDataSource,
                  public platform::plot::PlotSpaceDelegate,
                  public platform::plot::PlotDelegate {
public:
    // initWithData:.
    explicit BaseChart(std::shared_ptr<ChartInfo> data);
    ~BaseChart() override;

    const std::shared_ptr<ChartInfo>& plotData() const { return m_plotData; }
    platform::ui::ViewController* parentViewController() const { return m_parentViewController; }
    void setParentViewController(platform::ui::ViewController* controller)
    {
        m_parentViewController = controller;
    }
    platform::ui::ViewController* baseViewController() const { return parentViewController(); }
    platform::ui::ViewController* chartHostViewController() const { return hostViewController(); }
    const QList<QColor>& prerandomColors() const { return m_prerandomColors; }
    const QList<platform::plot::Fill>& prerandomFills() const { return m_prerandomFills; }

    static Theme* currentStyle();
    static QColor imageColor();
    static QColor darkImageColor();

    qsizetype numberOfRecordsForPlot(platform::plot::Plot* plot) override;
    double numberForPlot(platform::plot::Plot* plot, int field, qsizetype index) override;

    // The theme the ChartInfo names (Slate when none), Slate as the default.
    void applyThemetoGraph(platform::plot::Graph& graph) const;
    void setPaddingDefaultsForGraph(platform::plot::Graph& graph, const QRectF& bounds) override;
    void setTitleDefaultsForGraph(platform::plot::Graph& graph, const QRectF& bounds) override;

    static platform::plot::LineStyle majorGridLineStyle();
    static platform::plot::LineStyle minorGridLineStyle();
    static platform::plot::LineStyle axislineStyle();
    static platform::plot::LineStyle minorTickLineStyle();
    static platform::plot::LineStyle majorTickLineStyle();
    static platform::plot::TextStyle graphTitleStyle();
    static platform::plot::TextStyle axisTitleStyle();
    static platform::plot::TextStyle tickStyle();
    void applyStyletoXAxis(platform::plot::Axis& axis) const;
    void applyStyletoYAxis(platform::plot::Axis& axis) const;
    // One unit of the y labels' last decimal: values closer than this share a label.
    double yLabelResolution() const;

    // The point at the index and its parts; null, 0 or empty for an index out of range.
    std::shared_ptr<ChartData> chartDataAtIndex(qsizetype index) const;
    double xAtIndex(qsizetype index) const;
    double yAtIndex(qsizetype index) const;
    QString xLabelAtIndex(qsizetype index) const;
    QString yLabelAtIndex(qsizetype index) const;
    qsizetype pointCount() const;

    static QColor randomColor();
    static platform::plot::Fill randomFill();
    void prepareRandomColors();
    void prepareRandomFills();

    // The background of the ChartInfo's theme, for label backgrounds.
    platform::plot::Fill themeBackgroundFill() const;
    static platform::plot::Fill plainBlackThemeFill();
    static platform::plot::Fill darkGradientThemeFill();
    static platform::plot::Fill slatethemeFill();
    static platform::plot::Fill stocksThemeFill();
    static platform::plot::Fill plainWhiteThemFill();

    // Longer than n UTF-16 units: the first n - 2 and "..", one fewer rather than half a
    // character made of two units.
    static QString trimLabel(const QString& text, int length);

    platform::plot::Graph* graph() const;

    // The label angle of the y axis, in the framework's unit (radians) as written.
    static constexpr double YLabelRotation = 45.0;

private:
    std::shared_ptr<ChartInfo> m_plotData;
    QPointer<platform::ui::ViewController> m_parentViewController;
    QList<QColor> m_prerandomColors;
    QList<platform::plot::Fill> m_prerandomFills;
};
