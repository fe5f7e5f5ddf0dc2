#include "platform/plot/Axis.h"
#include "platform/plot/Graph.h"
#include "platform/plot/LabelSpace.h"
#include "platform/plot/Legend.h"
#include "platform/plot/PieChart.h"
#include "platform/plot/PlotDataSource.h"
#include "platform/plot/PlotSpace.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <limits>

namespace plot = platform::plot;

namespace {

plot::PlotSpace spaceOf(plot::PlotRange x, plot::PlotRange y)
{
    plot::PlotSpace space;
    space.setPlotArea(QRectF(0, 0, 400, 300));
    space.setXRange(x);
    space.setYRange(y);
    return space;
}

// Slices of the given values, each titled by its index.
struct Slices : plot::PlotDataSource {
    QList<double> values;
    qsizetype numberOfRecordsForPlot(plot::Plot*) override { return values.size(); }
    double numberForPlot(plot::Plot*, int, qsizetype index) override { return values[index]; }
    std::optional<QString> legendTitleForPieChart(plot::Plot*, qsizetype index) override
    {
        return QStringLiteral("slice %1").arg(index);
    }
};

} // namespace

TEST(PlotAxis, IntervalsThatCannotStepGiveNoTicksAndNeverLoop)
{
    const plot::PlotSpace space = spaceOf({ 0, 10 }, { 0, 10 });
    plot::Axis axis(plot::PlotSpace::Y);
    for (double interval : { 0.0, -2.0, std::numeric_limits<double>::quiet_NaN(),
             std::numeric_limits<double>::infinity(), 1e-300 }) {
        axis.setMajorIntervalLength(interval);
        EXPECT_TRUE(axis.ticks(space).major.isEmpty()) << interval;
    }
    axis.setMajorIntervalLength(2.5);
    axis.setMinorTicksPerInterval(4);
    const auto ticks = axis.ticks(space);
    EXPECT_EQ(ticks.major, (QList<double> { 0, 2.5, 5, 7.5, 10 }));
    EXPECT_EQ(ticks.minor.size(), 16);
    // A range of no length: its one value.
    EXPECT_EQ(axis.ticks(spaceOf({ 0, 1 }, { 5, 0 })).major, (QList<double> { 5 }));
    EXPECT_DOUBLE_EQ(plot::Axis::niceInterval(20, 5), 5);
    EXPECT_DOUBLE_EQ(plot::Axis::niceInterval(0, 5), 0);
}

TEST(PlotLegend, ATooLongLegendEndsWithAnEllipsisInItsLastCell)
{
    plot::Legend legend;
    legend.setNumberOfColumns(2);
    QList<plot::Legend::Entry> entries;
    for (int i = 0; i < 500; ++i)
        entries.append({ QStringLiteral("entry %1").arg(i), plot::Fill::color(Qt::red) });
    const auto placed = legend.layout(entries, QRectF(0, 0, 1024, 768));
    ASSERT_LT(placed.shown.size(), entries.size());
    EXPECT_EQ(placed.shown.size() % 2, 0);
    EXPECT_EQ(placed.shown.last().title, plot::Legend::Ellipsis);
    EXPECT_EQ(placed.shown[placed.shown.size() - 2].title, entries[placed.shown.size() - 2].title);
    EXPECT_LE(placed.box.height(), 768 * plot::Legend::MaximumHeightShare + 1);
    EXPECT_EQ(placed.box.bottomRight(), QPointF(1024, 768));
    // A legend that fits shows every line.
    EXPECT_EQ(legend.layout(entries.mid(0, 3), QRectF(0, 0, 1024, 768)).shown.size(), 3);
}

TEST(PlotLabels, ALabelIsDrawnOnlyWhereItCoversNoneBefore)
{
    plot::LabelSpace space;
    EXPECT_TRUE(space.take(QRectF(0, 0, 50, 10)));
    EXPECT_FALSE(space.take(QRectF(40, 5, 50, 10)));
    EXPECT_TRUE(space.take(QRectF(51, 0, 50, 10)));
    // Across cells, and far away.
    EXPECT_FALSE(space.take(QRectF(-100, 8, 500, 4)));
    EXPECT_TRUE(space.take(QRectF(5000, 5000, 10, 10)));
    EXPECT_TRUE(space.covers(QPointF(10, 5)));
    EXPECT_FALSE(space.covers(QPointF(10, 50)));
}

TEST(PlotPie, ManySlicesPaintAndAreFoundByTheirAngle)
{
    Slices source;
    source.values = { 1, 1, 2 };
    plot::Graph graph(QRectF(0, 0, 400, 300));
    graph.setHasAxisSet(false);
    auto made = std::make_unique<plot::PieChart>(QStringLiteral("pie"));
    made->setDataSource(&source);
    made->setPieRadius(100);
    made->setSliceDirection(plot::PieChart::Direction::CounterClockwise);
    auto* pie = static_cast<plot::PieChart*>(graph.addPlot(std::move(made)));
    pie->reloadData();
    const plot::PlotSpace& space = *graph.defaultPlotSpace();
    const QPointF centre = pie->center(space);
    // From 0 counter-clockwise: the first quarter is up and to the right.
    EXPECT_EQ(pie->recordAt(space, centre + QPointF(30, -30)), 0);
    EXPECT_EQ(pie->recordAt(space, centre + QPointF(-30, -30)), 1);
    EXPECT_EQ(pie->recordAt(space, centre + QPointF(0, 30)), 2);
    EXPECT_FALSE(pie->recordAt(space, centre + QPointF(0, 120)));

    source.values = QList<double>(100000, 1.0);
    pie->reloadData();
    QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    graph.draw(painter);
    painter.end();
    // The whole circle is covered, however thin its slices.
    EXPECT_NE(image.pixelColor(centre.toPoint() + QPoint(0, -90)), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(centre.toPoint() + QPoint(-90, 0)), QColor(Qt::white));
}
