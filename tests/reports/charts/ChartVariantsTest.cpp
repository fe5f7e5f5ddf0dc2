#include "ChartTestSupport.h"

#include "platform/plot/PlotSpaceAnnotation.h"
#include "platform/plot/ScatterPlot.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "reports/charts/ChartHostViewController1.h"
#include "reports/charts/ColoredBarChart.h"
#include "reports/charts/SimplePieChart.h"
#include "reports/charts/SimpleScatterPlot.h"

using namespace charttest;
namespace plot = platform::plot;

TEST_F(ChartTest, TappingTwoScatterPointsLeavesOneAnnotationOnTheSecond)
{
    SimpleScatterPlot chart(info({ 3, 7, 5 }));
    render(chart, QSizeF(1024, 768));
    auto* points = dynamic_cast<plot::ScatterPlot*>(
        chart.graph()->plotWithIdentifier(SimpleScatterPlot::DataSourcePlot));
    ASSERT_TRUE(points);
    const plot::PlotSpace* space = chart.graph()->defaultPlotSpace();
    ASSERT_TRUE(chart.graph()->pointingDeviceDown(points->viewPointOfRecord(*space, 0)));
    ASSERT_TRUE(chart.graph()->pointingDeviceDown(points->viewPointOfRecord(*space, 1)));
    EXPECT_EQ(chart.graph()->annotationCount(), 1);
    ASSERT_TRUE(chart.symbolTextAnnotation());
    EXPECT_EQ(chart.symbolTextAnnotation()->content.text, QStringLiteral("(b,7.00)"));
    EXPECT_DOUBLE_EQ(chart.symbolTextAnnotation()->anchorX, 2);
    EXPECT_DOUBLE_EQ(chart.symbolTextAnnotation()->anchorY, 7);
    chart.killGraph();
    EXPECT_FALSE(chart.symbolTextAnnotation());
}

TEST_F(ChartTest, ScatterRangesMoveIntoTheirWindowWithoutResizing)
{
    SimpleScatterPlot chart(info({ 1, 2 }));
    EXPECT_EQ(chart.willChangePlotRangeTo(nullptr, { 3, 4 }, plot::PlotSpace::X),
        (plot::PlotRange { 1, 4 }));
    EXPECT_EQ(chart.willChangePlotRangeTo(nullptr, { -3, 2 }, plot::PlotSpace::X),
        (plot::PlotRange { -1, 2 }));
    EXPECT_EQ(chart.willChangePlotRangeTo(nullptr, { -3, 2 }, plot::PlotSpace::Y),
        (plot::PlotRange { -3, 2 }));
}

TEST_F(ChartTest, ColouredBarsReachFiveAboveTheirLargestValueBelowEighty)
{
    EXPECT_EQ(ColoredBarChart::yRange({ 10, 79 }), (plot::PlotRange { 0, 84 }));
    EXPECT_EQ(ColoredBarChart::yRange({ 80, 3 }), (plot::PlotRange { 0, 80 }));
    EXPECT_EQ(ColoredBarChart::yRange({}), (plot::PlotRange { 0, 5 }));
    ColoredBarChart chart(info({ 40, 79 }));
    render(chart, QSizeF(1024, 768));
    EXPECT_EQ(chart.graph()->defaultPlotSpace()->yRange(), (plot::PlotRange { 0, 84 }));
    const auto label = chart.dataLabelForPlot(nullptr, 1);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text, QStringLiteral("b (79)"));
    // A new colour at every asking.
    EXPECT_NE(chart.barFillForBarPlot(nullptr, 0), chart.barFillForBarPlot(nullptr, 0));
}

TEST_F(ChartTest, APieSliceOpensOnlyANestedChartWithPoints)
{
    auto data = info({ 2, 3, 5 });
    data->chartData[1]->childChart = info({});
    data->chartData[2]->childChart = info({ 4, 6 });
    platform::ui::NavigationController navigation;
    auto* parent = new platform::ui::ViewController();
    navigation.pushViewController(parent, false);
    platform::ui::Application::shared().setRootViewController(&navigation);

    SimplePieChart chart(data);
    chart.setParentViewController(parent);
    render(chart, QSizeF(1024, 768));
    EXPECT_EQ(chart.dataLabelForPlot(nullptr, 2)->text, QStringLiteral("5%"));
    EXPECT_EQ(chart.legendTitleForPieChart(nullptr, 0), QStringLiteral("a"));
    chart.recordWasSelected(nullptr, 0);
    chart.recordWasSelected(nullptr, 1);
    EXPECT_EQ(navigation.topViewController(), parent);
    chart.recordWasSelected(nullptr, 2);
    auto* drill = qobject_cast<ChartHostViewController1*>(navigation.topViewController());
    ASSERT_TRUE(drill);
    auto bars = std::dynamic_pointer_cast<ColoredBarChart>(drill->plotItem());
    ASSERT_TRUE(bars);
    EXPECT_EQ(bars->plotNumbers(), (QList<double> { 4, 6 }));
    EXPECT_EQ(bars->graphs().size(), 1u);
    navigation.popViewController(false);
    platform::ui::Application::shared().reset();
}
