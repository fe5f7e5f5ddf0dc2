#include "ChartTestSupport.h"

#include "common/TestSupport.h"

#include "platform/plot/BarPlot.h"
#include "platform/plot/PieChart.h"
#include "platform/plot/ScatterPlot.h"
#include "reports/charts/BarChart.h"
#include "reports/charts/LineChart.h"
#include "reports/charts/PieChart.h"

#include <QTransform>

#include <numbers>

using namespace charttest;
namespace plot = platform::plot;

namespace {

// Where the bar chart puts things: plot area inside the frame paddings 60, 40, 10, 10;
// bars at 0, 1, ... 0.75 wide, the x range around them widened by 1.05.
struct BarGeometry {
    QRectF area;
    plot::PlotRange x;
    plot::PlotRange y;

    BarGeometry(const QSizeF& size, int bars, plot::PlotRange yRange)
        : area(60, 40, size.width() - 70, size.height() - 50)
        , y(yRange)
    {
        const double low = -0.375;
        const double length = (bars - 1) + 0.75;
        x = plot::PlotRange { low, length }.expandedBy(1.05);
    }
    double viewX(double value) const
    {
        return area.left() + (value - x.location) / x.length * area.width();
    }
    double viewY(double value) const
    {
        return area.bottom() - (value - y.location) / y.length * area.height();
    }
};

} // namespace

struct ChartPixels : ChartTest, ::testing::WithParamInterface<QSizeF> { };

TEST_P(ChartPixels, SelectedBarIsImageColourWithBackgroundAboveItsTip)
{
    const QSizeF size = GetParam();
    BarChart chart(info({ 10, 20 }));
    render(chart, size);
    const BarGeometry geometry(size, 2, { 5, 20 });
    EXPECT_EQ(chart.graph()->defaultPlotSpace()->yRange(), (plot::PlotRange { 5, 20 }));

    // A tap in the middle of the second bar selects it.
    const QPointF middle(geometry.viewX(1), geometry.viewY(12.5));
    ASSERT_TRUE(chart.graph()->pointingDeviceDown(middle));
    EXPECT_EQ(chart.selectedIndex(), 1);
    const QImage image = chart.graph()->imageOfLayer();
    EXPECT_TRUE(near(at(image, middle), BaseChart::imageColor()))
        << at(image, middle).name().toStdString();
    const double left = geometry.viewX(1 - 0.375);
    const QPointF aboveTip(left + 6, geometry.viewY(20) - 4);
    EXPECT_TRUE(near(at(image, aboveTip), Qt::white)) << at(image, aboveTip).name().toStdString();
    // Inside the bar, just below the tip, is the bar.
    EXPECT_TRUE(
        near(at(image, QPointF(left + 6, geometry.viewY(20) + 8)), BaseChart::imageColor()));

    // A second tap clears the selection.
    chart.graph()->pointingDeviceDown(middle);
    EXPECT_EQ(chart.selectedIndex(), -1);
}

INSTANTIATE_TEST_SUITE_P(
    TabletAndPhone, ChartPixels, ::testing::Values(QSizeF(1024, 768), QSizeF(375, 667)));

TEST_F(ChartTest, BarRangesFollowTheValues)
{
    struct Case {
        QList<double> values;
        plot::PlotRange range;
    };
    const QList<Case> cases {
        { { 10, 20 }, { 5, 20 } },
        // The start would be -7: it is 0, and the top stays at 29.
        { { 2, 20 }, { 0, 29 } },
        { { 8 }, { 0, 8.4 } },
        // A single bar below 0 runs from 1.05 times it to 0.
        { { -8 }, { -8.4, 8.4 } },
        // Equal bars and zeros still get a range that shows them.
        { { 5, 5, 5 }, { 0, 5.25 } },
        { { 0 }, { 0, 1 } },
        { { 0, 0 }, { 0, 1 } },
        // Negative bars keep the rule's start below 0.
        { { -10, -20 }, { -25, 20 } },
    };
    for (const Case& c : cases) {
        const BarChart::YScale scale = BarChart::yScale(c.values);
        EXPECT_NEAR(scale.range.location, c.range.location, 1e-4) << c.values.first();
        EXPECT_NEAR(scale.range.length, c.range.length, 1e-4) << c.values.first();
        EXPECT_GT(scale.interval, 0);
    }
    EXPECT_DOUBLE_EQ(BarChart::yScale({ 8 }).interval, 8);
}

TEST_F(ChartTest, NegativeBarsHangFromZero)
{
    BarChart chart(info({ -10, -20 }));
    const QSizeF size(1024, 768);
    const QImage image = render(chart, size);
    const BarGeometry geometry(size, 2, { -25, 20 });
    // The bar of -20 from 0 down to -20; below its tip the plot's background.
    const QPointF inside(geometry.viewX(1), geometry.viewY(-12));
    chart.graph()->pointingDeviceDown(inside);
    EXPECT_EQ(chart.selectedIndex(), 1);
    const QImage selected = chart.graph()->imageOfLayer();
    EXPECT_TRUE(near(at(selected, inside), BaseChart::imageColor()));
    const QPointF belowTip(geometry.viewX(1 - 0.375) + 6, geometry.viewY(-20) + 4);
    EXPECT_TRUE(near(at(selected, belowTip), Qt::white));
    (void)image;
}

TEST_F(ChartTest, PieSlicesRunCounterClockwiseFromAQuarterAndTheSelectedOneMovesOut)
{
    const QSizeF size(1024, 768);
    PieChart chart(info({ 1, 1, 2 }));
    const QImage image = render(chart, size);
    // Landscape tablet: the anchor (0.35, 0.5) of the plot area inside paddings 20, 20, 5, 30.
    const QRectF area(20, 20, size.width() - 25, size.height() - 50);
    const QPointF centre(area.left() + 0.35 * area.width(), area.bottom() - 0.5 * area.height());
    const double radius = 0.35 * 768;
    auto* pie = chart.piePlot();
    ASSERT_NE(pie, nullptr);
    EXPECT_NEAR(pie->pieRadius(), radius, 1e-9);
    EXPECT_DOUBLE_EQ(pie->startAngle(), std::numbers::pi / 4);
    const auto direction = [](double angle) { return QPointF(std::cos(angle), -std::sin(angle)); };
    // The first slice spans pi/4 to 3pi/4 (straight up in its middle), the second 3pi/4
    // to 5pi/4 (left), the third the lower right half.
    const double mids[] = { std::numbers::pi / 2, std::numbers::pi, 7 * std::numbers::pi / 4 };
    for (int i = 0; i < 3; ++i) {
        const QPointF point = centre + direction(mids[i]) * radius * 0.06;
        EXPECT_TRUE(near(at(image, point), chart.prerandomColors()[i], 8)) << i;
    }
    // Outside the radius: the background.
    EXPECT_TRUE(near(at(image, centre + direction(mids[0]) * (radius + 10)), Qt::white));

    // Selecting the third slice: it moves 25 points out and takes the image colour.
    ASSERT_TRUE(chart.graph()->pointingDeviceDown(centre + direction(mids[2]) * radius * 0.5));
    EXPECT_EQ(chart.selectedIndex(), 2);
    const QImage selected = chart.graph()->imageOfLayer();
    const QPointF moved = centre + direction(mids[2]) * (25 + radius * 0.06);
    EXPECT_TRUE(near(at(selected, moved), BaseChart::imageColor(), 8));
    selected.save(testsupport::outputPath(QStringLiteral("chart-pie-selected.png")));
    const QPointF beyond = centre + direction(mids[2]) * (radius + 18);
    EXPECT_TRUE(near(at(image, beyond), Qt::white));
    EXPECT_FALSE(near(at(selected, beyond), Qt::white, 30));
}

TEST_F(ChartTest, PieWithoutPositiveTotalDrawsNoSliceButKeepsLegendLines)
{
    for (const QList<double>& values :
        { QList<double> { 0, 0 }, QList<double> { -1, 0 }, QList<double> {} }) {
        PieChart chart(info(values));
        const QImage image = render(chart, QSizeF(1024, 768));
        EXPECT_TRUE(chart.piePlot()->slices(*chart.graph()->defaultPlotSpace()).isEmpty());
        EXPECT_EQ(chart.piePlot()->legendEntryCount(), values.size());
        EXPECT_FALSE(image.isNull());
    }
    // A negative value gets no slice; the others share the circle.
    PieChart chart(info({ -5, 1, 3 }));
    render(chart, QSizeF(1024, 768));
    const auto slices = chart.piePlot()->slices(*chart.graph()->defaultPlotSpace());
    ASSERT_EQ(slices.size(), 2);
    EXPECT_EQ(slices[0].index, 1);
    EXPECT_NEAR(slices[1].sweep, 1.5 * std::numbers::pi, 1e-12);
    EXPECT_EQ(chart.piePlot()->legendEntryCount(), 3);
}

TEST_F(ChartTest, LineCursorSnapsToTheNearestPoint)
{
    LineChart chart(info({ 4, 9, 6 }));
    render(chart, QSizeF(1024, 768));
    const plot::PlotSpace* space = chart.graph()->defaultPlotSpace();
    auto* cursor = chart.touchPlot();
    ASSERT_NE(cursor, nullptr);
    EXPECT_TRUE(cursor->isHidden());
    // The x ticks are the three names at 1, 2, 3.
    const auto labels = chart.graph()->xAxis()->axisLabels();
    ASSERT_EQ(labels.size(), 3);
    EXPECT_EQ(labels[1].content.text, QStringLiteral("b"));
    EXPECT_DOUBLE_EQ(labels[2].tickLocation, 3);

    const auto touch = [&](double x) {
        const QPointF point = space->viewPoint(x, 5);
        chart.graph()->pointingDeviceDown(point);
        chart.graph()->pointingDeviceUp(point);
    };
    touch(2.4);
    EXPECT_FALSE(cursor->isHidden());
    EXPECT_EQ(chart.touchIndex(), 1);
    EXPECT_DOUBLE_EQ(chart.touchX(), 2);
    // The cursor's line stands at x 2 between the lowest and the highest value.
    const QImage shown = chart.graph()->imageOfLayer();
    shown.save(testsupport::outputPath(QStringLiteral("chart-line-cursor.png")));
    EXPECT_TRUE(near(at(shown, space->viewPoint(2, 5.2)), BaseChart::imageColor(), 40));

    // A second press hides it; the next shows it again on the third point.
    touch(1);
    EXPECT_TRUE(cursor->isHidden());
    touch(2.6);
    EXPECT_EQ(chart.touchIndex(), 2);
    touch(9);
    touch(0.2);
    EXPECT_EQ(chart.touchIndex(), 0);
    EXPECT_DOUBLE_EQ(chart.touchX(), 1);
}

TEST_F(ChartTest, LineCategoryLabelsOnAPhoneAreEachDrawnWhole)
{
    useDevice(QStringLiteral("phone"));
    const QStringList names { QStringLiteral("Electricity bill"), QStringLiteral("Groceries"),
        QStringLiteral("Home insurance"), QStringLiteral("Restaurants"),
        QStringLiteral("Stationery"), QStringLiteral("Streaming services"),
        QStringLiteral("Train tickets") };
    auto data = info({ 100, 80, 120, 95, 30, 60, 75 });
    for (qsizetype i = 0; i < names.size(); ++i)
        data->chartData[i]->label = names[i];
    LineChart chart(data);
    const QImage image = render(chart, QSizeF(375, 620));
    image.save(testsupport::outputPath(QStringLiteral("chart-line-categories-phone.png")));
    const plot::PlotSpace* space = chart.graph()->defaultPlotSpace();
    const plot::Axis* x = chart.graph()->xAxis();
    const auto labels = x->axisLabels();
    ASSERT_EQ(labels.size(), names.size());
    for (const plot::AxisLabel& label : labels) {
        const std::string what = label.content.text.toStdString();
        // Below the axis line, the middle of its turned box's top on its tick.
        const QPointF anchor(
            space->viewX(label.tickLocation), space->viewY(x->orthogonalPosition()) + label.offset);
        const QRectF place = label.content.boundsAt(anchor, QPointF(0.5, 1.0), label.rotation);
        EXPECT_GE(place.left(), -0.5) << what;
        EXPECT_LE(place.right(), image.width() + 0.5) << what;
        EXPECT_LE(place.bottom(), image.height() + 0.5) << what;
        // Its text is there: ink inside its own turned box, which no other label's covers.
        const QSizeF box = label.content.size();
        const QTransform turn = QTransform().rotateRadians(-label.rotation);
        int ink = 0;
        for (double u = -box.width() / 2 + 3; u <= box.width() / 2 - 3; u += 1) {
            for (double v = -box.height() / 2 + 3; v <= box.height() / 2 - 3; v += 1) {
                const QPoint pixel = (place.center() + turn.map(QPointF(u, v))).toPoint();
                if (image.rect().contains(pixel) && !near(image.pixelColor(pixel), Qt::white, 60))
                    ++ink;
            }
        }
        EXPECT_GT(ink, 15) << what;
    }
}

TEST_F(ChartTest, TheValueTitleOfALineChartOnAPhoneHasRoomBesideItsLabels)
{
    useDevice(QStringLiteral("phone"));
    // Ticks every 20, one at the middle of the axis where the title stands.
    LineChart chart(info({ 0, 35, 80 }));
    render(chart, QSizeF(375, 620));
    const plot::PlotSpace* space = chart.graph()->defaultPlotSpace();
    const plot::Axis* y = chart.graph()->yAxis();
    const double line = space->viewX(y->orthogonalPosition());
    double reach = 0;
    for (double tick : y->ticks(*space).major) {
        plot::TextLayer label;
        label.text = y->labelFormatter()(tick);
        label.textStyle = y->labelTextStyle();
        const QRectF place = label.boundsAt(QPointF(line - y->labelOffset(), space->viewY(tick)),
            QPointF(1, 0.5), y->labelRotation());
        reach = std::max(reach, y->labelOffset() + place.width());
    }
    ASSERT_GT(reach, 0);
    plot::TextLayer title;
    title.text = y->title();
    title.textStyle = y->titleTextStyle();
    // Set off from the line beyond the labels, turned upright, still inside the view.
    const double titleLeft = line - std::max(y->titleOffset(), reach + 4) - title.size().height();
    EXPECT_GE(titleLeft, -0.5) << "labels reach " << reach << " from the line at " << line;
}

TEST_F(ChartTest, DataLabelsFollowTheDevice)
{
    for (const QString& device : { QStringLiteral("tablet"), QStringLiteral("phone") }) {
        useDevice(device);
        const bool tablet = device == QStringLiteral("tablet");
        BarChart bars(info({ 3, 4 }));
        render(bars, QSizeF(375, 667));
        EXPECT_EQ(bars.barPlot()->dataLabel(0).has_value(), tablet);
        bars.recordWasSelected(bars.barPlot(), 1);
        EXPECT_FALSE(bars.barPlot()->dataLabel(0).has_value());
        ASSERT_TRUE(bars.barPlot()->dataLabel(1).has_value());
        EXPECT_EQ(bars.barPlot()->dataLabel(1)->text, QStringLiteral("(b, 4.00)"));

        PieChart pie(info({ 3, 4 }));
        render(pie, QSizeF(375, 667));
        EXPECT_EQ(pie.piePlot()->dataLabel(0).has_value(), tablet);
        EXPECT_EQ(pie.piePlot()->legendTitle(1), QStringLiteral("b"));
        pie.recordWasSelected(pie.piePlot(), 1);
        EXPECT_TRUE(pie.piePlot()->dataLabel(1).has_value());
        EXPECT_EQ(pie.piePlot()->legendTitle(0), QString());
        EXPECT_EQ(pie.piePlot()->legendTitle(1), QStringLiteral("b, 4.00"));
        EXPECT_DOUBLE_EQ(pie.radialOffsetForPieChart(nullptr, 1), 25);

        LineChart line(info({ 3, 4 }));
        render(line, QSizeF(375, 667));
        EXPECT_EQ(line.mainPlot()->dataLabel(0).has_value(), tablet);
    }
}

TEST_F(ChartTest, EmptyChartsDrawTheirTitleAndAnswerTaps)
{
    std::unique_ptr<BaseChart> charts[] = { std::make_unique<BarChart>(info({})),
        std::make_unique<LineChart>(info({})), std::make_unique<PieChart>(info({})) };
    for (auto& chart : charts) {
        const QImage image = render(*chart, QSizeF(1024, 768));
        // The title, in the image colour, at the top middle.
        bool titled = false;
        for (int x = 400; x < 624 && !titled; ++x) {
            for (int y = 0; y < 40 && !titled; ++y)
                titled = !near(image.pixelColor(x, y), Qt::white, 60);
        }
        EXPECT_TRUE(titled);
        chart->graph()->pointingDeviceDown(QPointF(500, 400));
        chart->graph()->pointingDeviceDragged(QPointF(520, 400));
        chart->graph()->pointingDeviceUp(QPointF(520, 400));
        EXPECT_FALSE(chart->image().isNull());
        EXPECT_EQ(chart->image().size(), QSize(400, 300));
    }
}

TEST_F(ChartTest, RenderingAgainKeepsOneGraphAndTheColours)
{
    PieChart chart(info({ 1, 2, 3 }));
    const QList<QColor> colours = chart.prerandomColors();
    render(chart, QSizeF(1024, 768));
    render(chart, QSizeF(768, 1024));
    EXPECT_EQ(chart.graphs().size(), 1u);
    EXPECT_EQ(chart.prerandomColors(), colours);
    EXPECT_EQ(chart.piePlot()->centerAnchor(), QPointF(0.5, 0.65));
}

TEST_F(ChartTest, TrimLabelKeepsEighteenAndNeverSplitsACharacter)
{
    EXPECT_EQ(BaseChart::trimLabel(QStringLiteral("abcdefghijklmnopqr"), 18),
        QStringLiteral("abcdefghijklmnopqr"));
    EXPECT_EQ(BaseChart::trimLabel(QStringLiteral("abcdefghijklmnopqrs"), 18),
        QStringLiteral("abcdefghijklmnop.."));
    // A character of two UTF-16 units at the cut stays whole or goes whole.
    const QString emoji = QStringLiteral("abcdefghijklmno\U0001F600xyz");
    const QString trimmed = BaseChart::trimLabel(emoji, 18);
    EXPECT_EQ(trimmed, QStringLiteral("abcdefghijklmno.."));
    EXPECT_FALSE(trimmed.at(trimmed.size() - 3).isHighSurrogate());
}

TEST_F(ChartTest, NoThemeDrawsSlateWithWhiteLabelBackgrounds)
{
    auto data = info({ 1, 2 }, QString());
    BarChart chart(data);
    const QImage image = render(chart, QSizeF(1024, 768));
    EXPECT_EQ(chart.themeBackgroundFill(), plot::Fill::color(Qt::white));
    // Slate's gradient, not white, behind the plot.
    EXPECT_FALSE(near(image.pixelColor(2, 384), Qt::white, 20));
}
