// Values at the ends of what a double holds: ranges tiny beside their position, huge,
// denormal or not finite, and points far outside the range a plot space keeps.
#include "platform/plot/Axis.h"
#include "platform/plot/Graph.h"
#include "platform/plot/LabelSpace.h"
#include "platform/plot/PlotDataSource.h"
#include "platform/plot/PlotSpace.h"
#include "platform/plot/ScatterPlot.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace plot = platform::plot;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double Largest = std::numeric_limits<double>::max();
constexpr double Denormal = std::numeric_limits<double>::denorm_min();

plot::PlotSpace spaceWithY(plot::PlotRange y)
{
    plot::PlotSpace space;
    space.setPlotArea(QRectF(0, 0, 400, 300));
    space.setYRange(y);
    return space;
}

// The points of a line: x 1, 2, ... and the values as y.
struct Points : plot::PlotDataSource {
    QList<double> values;
    qsizetype numberOfRecordsForPlot(plot::Plot*) override { return values.size(); }
    double numberForPlot(plot::Plot*, int field, qsizetype index) override
    {
        return field == plot::ScatterPlot::X ? double(index + 1) : values[index];
    }
    std::optional<plot::TextLayer> dataLabelForPlot(plot::Plot*, qsizetype index) override
    {
        plot::TextLayer label;
        label.text = QString::number(values[index]);
        return label;
    }
};

// Ticks in increasing order, each a distinct value, no more than an axis draws.
void expectOrderedAndBounded(const QList<double>& ticks, const std::string& what)
{
    EXPECT_LE(ticks.size(), plot::Axis::MaximumTicks + 1) << what;
    for (qsizetype i = 1; i < ticks.size(); ++i)
        ASSERT_LT(ticks[i - 1], ticks[i]) << what << " at " << i;
    for (double tick : ticks)
        ASSERT_TRUE(std::isfinite(tick)) << what;
}

} // namespace

TEST(PlotExtremeAxis, TicksEndForEveryRangeAndNeverRepeat)
{
    const QList<plot::PlotRange> ranges {
        // Nearly equal averages, and counts too large for a step of 1 to change them.
        { 0.6666666666666666, 0.6666666666666667 - 0.6666666666666666 },
        { 2e16, 4 },
        { -2e16 - 4, 4 },
        { 1e300, 1e285 },
        { -Largest / 2, Largest },
        { -1e304, 1.7e308 },
        { 1e-300, 1e-300 },
        { 1e-310, 1e-310 },
        { Denormal, Denormal },
        { 5, 0 },
        { 1e20, 0 },
        { NaN, 1 },
        { 0, NaN },
        { Inf, 1 },
        { 0, Inf },
        { -Inf, Inf },
    };
    plot::Axis axis(plot::PlotSpace::Y);
    axis.setMinorTicksPerInterval(4);
    for (const plot::PlotRange& range : ranges) {
        const std::string what
            = std::to_string(range.location) + " + " + std::to_string(range.length);
        axis.setVisibleRange(range);
        axis.setLabelingPolicy(plot::Axis::LabelingPolicy::Automatic);
        const auto automatic = axis.ticks(spaceWithY({ 0, 1 }));
        expectOrderedAndBounded(automatic.major, what + " automatic");
        expectOrderedAndBounded(automatic.minor, what + " automatic minor");
        axis.setLabelingPolicy(plot::Axis::LabelingPolicy::FixedInterval);
        for (double interval : { 1.0, 1e-17, 1e-300, 1e300 }) {
            axis.setMajorIntervalLength(interval);
            const auto fixed = axis.ticks(spaceWithY({ 0, 1 }));
            expectOrderedAndBounded(fixed.major, what + " fixed");
            expectOrderedAndBounded(fixed.minor, what + " fixed minor");
        }
    }
}

TEST(PlotExtremeAxis, RangesOfUsualAndHugeLengthGetRoundTicksInside)
{
    plot::Axis axis(plot::PlotSpace::Y);
    axis.setLabelingPolicy(plot::Axis::LabelingPolicy::Automatic);
    axis.setMinorTicksPerInterval(0);
    axis.setVisibleRange(plot::PlotRange { -3, 13 });
    EXPECT_EQ(axis.ticks(spaceWithY({ 0, 1 })).major, (QList<double> { 0, 5, 10 }));
    // Ticks at a position where a step of 1 is below a double's resolution.
    axis.setVisibleRange(plot::PlotRange { 1e17, 1e3 });
    const auto far = axis.ticks(spaceWithY({ 0, 1 })).major;
    ASSERT_FALSE(far.isEmpty());
    EXPECT_DOUBLE_EQ(far.first(), 1e17);
    // A length near the largest double still gets ticks.
    axis.setVisibleRange(plot::PlotRange { -Largest / 2, Largest });
    const auto huge = axis.ticks(spaceWithY({ 0, 1 })).major;
    EXPECT_GE(huge.size(), 2);
    EXPECT_TRUE(std::isfinite(plot::Axis::niceInterval(Largest, 1)));
    EXPECT_GT(plot::Axis::niceInterval(Largest, 1), 0);
}

TEST(PlotExtremeSpace, ValuesEqualToTheirLastDigitsFitLikeOneValue)
{
    struct Case {
        QList<double> values;
        double middle;
    };
    const QList<Case> cases {
        { { 0.6666666666666666, 0.6666666666666667 }, 0.6666666666666666 },
        { { 2e16, 2e16 + 4 }, 2e16 },
        { { -2e16, -2e16 - 4 }, -2e16 },
    };
    for (const Case& c : cases) {
        Points points;
        points.values = c.values;
        plot::ScatterPlot line(QStringLiteral("line"));
        line.setDataSource(&points);
        line.reloadData();
        plot::PlotSpace space;
        space.scaleToFitPlots({ &line });
        const plot::PlotRange y = space.yRange();
        // A tenth of the value on each side, as for points that all lie on one value.
        EXPECT_NEAR(y.length, std::abs(c.middle) * 0.2, std::abs(c.middle) * 1e-9) << c.middle;
        EXPECT_TRUE(y.contains(c.values[0]) && y.contains(c.values[1])) << c.middle;
        // So the automatic ticks are round values a person can tell apart.
        plot::Axis axis(plot::PlotSpace::Y);
        axis.setLabelingPolicy(plot::Axis::LabelingPolicy::Automatic);
        axis.setVisibleRange(y);
        const auto ticks = axis.ticks(space).major;
        EXPECT_GE(ticks.size(), 3) << c.middle;
        expectOrderedAndBounded(ticks, std::to_string(c.middle));
    }
    // Values apart by more than their last digits keep their own range.
    Points apart;
    apart.values = { 1000000, 1000001 };
    plot::ScatterPlot line(QStringLiteral("line"));
    line.setDataSource(&apart);
    line.reloadData();
    plot::PlotSpace space;
    space.scaleToFitPlots({ &line });
    EXPECT_EQ(space.yRange(), (plot::PlotRange { 1000000, 1 }));
}

TEST(PlotExtremeAxis, MajorTicksAreNoCloserThanTheStepTheirLabelsShow)
{
    plot::Axis axis(plot::PlotSpace::Y);
    axis.setMinorTicksPerInterval(4);
    axis.setLabelResolution(0.01);
    const auto label = [](double value) { return QString::number(value, 'f', 2); };
    const auto expectSpaced = [&](const QList<double>& ticks, const std::string& what) {
        expectOrderedAndBounded(ticks, what);
        for (qsizetype i = 1; i < ticks.size(); ++i) {
            EXPECT_GE(ticks[i] - ticks[i - 1], 0.01 * (1 - 1e-9)) << what << " at " << i;
            EXPECT_NE(label(ticks[i]), label(ticks[i - 1])) << what << " at " << i;
        }
    };
    axis.setLabelingPolicy(plot::Axis::LabelingPolicy::Automatic);
    // A range far shorter than a label's step holds one label at most.
    axis.setVisibleRange(plot::PlotRange { 100, 1e-6 });
    const auto tiny = axis.ticks(spaceWithY({ 0, 1 }));
    EXPECT_LE(tiny.major.size(), 1);
    expectSpaced(tiny.major, "tiny");
    // A few steps: one tick a step, though a round fifth of the range is finer.
    axis.setVisibleRange(plot::PlotRange { 100, 0.023 });
    const auto few = axis.ticks(spaceWithY({ 0, 1 }));
    ASSERT_EQ(few.major.size(), 3);
    EXPECT_EQ(label(few.major[0]), QStringLiteral("100.00"));
    EXPECT_EQ(label(few.major[2]), QStringLiteral("100.02"));
    expectSpaced(few.major, "few");
    EXPECT_FALSE(few.minor.isEmpty());
    // A fixed interval finer than the step keeps to its multiples, as few as reach it.
    axis.setLabelingPolicy(plot::Axis::LabelingPolicy::FixedInterval);
    axis.setMajorIntervalLength(0.004);
    axis.setVisibleRange(plot::PlotRange { 0, 0.05 });
    const auto fixed = axis.ticks(spaceWithY({ 0, 1 })).major;
    ASSERT_EQ(fixed.size(), 5);
    EXPECT_NEAR(fixed[1], 0.012, 1e-12);
    expectSpaced(fixed, "fixed");
    // A coarser interval is kept as it is.
    axis.setMajorIntervalLength(0.02);
    EXPECT_EQ(axis.ticks(spaceWithY({ 0, 1 })).major.size(), 3);
}

TEST(PlotExtremeSpace, PointsCloserThanTheLabelsStepFitLikeOneValue)
{
    struct Case {
        QList<double> values;
        plot::PlotRange expected;
    };
    const QList<Case> cases {
        // A tenth of the value its labels show on each side, as for points on one value.
        { { 100, 100.000001 }, { 90, 20 } },
        { { 1, 1 + 1e-11 }, { 0.9, 0.2 } },
        { { 2.996, 3.002 }, { 2.7, 0.6 } },
        // Ends on the labels' steps.
        { { 0.6666666, 0.6666667 }, { 0.6, 0.14 } },
        // Shown as 0: a unit on each side, as for 0 alone.
        { { 0, 0.004 }, { -1, 2 } },
        // Near 0 a tenth is less than a step: a step on each side.
        { { 0.02, 0.024 }, { 0.01, 0.02 } },
        // Apart by a step or more: their own range.
        { { 100, 100.02 }, { 100, 0.02 } },
    };
    for (const Case& c : cases) {
        Points points;
        points.values = c.values;
        plot::ScatterPlot line(QStringLiteral("line"));
        line.setDataSource(&points);
        line.reloadData();
        plot::PlotSpace space;
        space.scaleToFitPlots({ &line }, 0, 0.01);
        const plot::PlotRange y = space.yRange();
        EXPECT_NEAR(y.location, c.expected.location, 1e-9) << c.values[1];
        EXPECT_NEAR(y.length, c.expected.length, 1e-9) << c.values[1];
        // The x coordinate had no resolution: points 1 apart keep their range.
        EXPECT_EQ(space.xRange(), (plot::PlotRange { 1, 1 }));
    }
}

TEST(PlotExtremeSpace, PointsBeyondTheRangeMapToFiniteCoordinates)
{
    plot::PlotSpace space = spaceWithY({ -Largest / 2, Largest });
    // y minus the range's start is beyond the largest double: the mapping still holds.
    const double top = space.viewY(Largest);
    ASSERT_TRUE(std::isfinite(top));
    EXPECT_NEAR(top, 300 - 300 * 1.5, 1e-6);
    EXPECT_NEAR(space.viewY(0), 150, 1e-6);
}

TEST(PlotExtremeLabels, RectanglesAndPointsFarAwayOrNotANumberAreHandled)
{
    plot::LabelSpace space;
    // So far out that a label's width is below the resolution: kept, and checked alike.
    EXPECT_TRUE(space.take(QRectF(1e300, 0, 10, 10)));
    EXPECT_TRUE(space.take(QRectF(-1e300, -1e300, 10, 10)));
    EXPECT_FALSE(space.covers(QPointF(1e300, 5)));
    EXPECT_FALSE(space.covers(QPointF(-1e300, 1e300)));
    // Far, yet with room for its width: covering is found as near the origin.
    EXPECT_TRUE(space.take(QRectF(1e12, 0, 10, 10)));
    EXPECT_FALSE(space.take(QRectF(1e12 + 5, 0, 10, 10)));
    EXPECT_TRUE(space.take(QRectF(1e12 + 20, 0, 10, 10)));
    EXPECT_TRUE(space.covers(QPointF(1e12 + 25, 5)));
    // Nowhere: never taken, and no label is anchored there.
    EXPECT_FALSE(space.take(QRectF(NaN, 0, 10, 10)));
    EXPECT_FALSE(space.take(QRectF(0, 0, NaN, 10)));
    EXPECT_FALSE(space.take(QRectF(Inf, 0, 10, 10)));
    EXPECT_FALSE(space.covers(QPointF(NaN, NaN)));
    EXPECT_FALSE(space.covers(QPointF(-Inf, 0)));
    // The near cells still work beside the far ones.
    EXPECT_TRUE(space.take(QRectF(0, 0, 10, 10)));
    EXPECT_FALSE(space.take(QRectF(5, 5, 10, 10)));
}

TEST(PlotExtremeGraph, AxesCrossingAtNotANumberAndPointsFarOutsideStillPaint)
{
    plot::Graph graph(QRectF(0, 0, 400, 300));
    graph.setPlotAreaFramePadding(QMarginsF(40, 20, 20, 40));
    Points points;
    points.values = { 1e300, -1e300, 0.5, 1.7e308, NaN, Inf };
    auto* line = static_cast<plot::ScatterPlot*>(
        graph.addPlot(std::make_unique<plot::ScatterPlot>(QStringLiteral("line"))));
    line->setDataSource(&points);
    line->setDataLineStyle(plot::LineStyle { 2, Qt::blue });
    plot::PlotSymbol symbol;
    symbol.size = QSizeF(5, 5);
    symbol.fill = plot::Fill::color(Qt::red);
    line->setPlotSymbol(symbol);
    line->reloadData();
    graph.defaultPlotSpace()->setXRange({ 0, 7 });
    graph.defaultPlotSpace()->setYRange({ 0, 1 });
    for (plot::Axis* axis : { graph.xAxis(), graph.yAxis() }) {
        axis->setOrthogonalPosition(NaN);
        axis->setLabelingPolicy(plot::Axis::LabelingPolicy::Automatic);
        axis->setLabelFormatter([](double value) { return QString::number(value); });
    }
    const QImage image = graph.imageOfLayer();
    // The x axis at the plot area's lower edge, as for an axis fixed there.
    const QRectF area = graph.plotArea();
    bool inked = false;
    for (int x = int(area.left()) + 2; x < int(area.right()) - 2 && !inked; ++x)
        inked = image.pixelColor(x, int(area.bottom())) != QColor(Qt::white);
    EXPECT_TRUE(inked);
    // The point at 0.5 has its symbol where it belongs.
    const QPointF half = graph.defaultPlotSpace()->viewPoint(3, 0.5);
    EXPECT_EQ(image.pixelColor(half.toPoint()), QColor(Qt::red));
}
