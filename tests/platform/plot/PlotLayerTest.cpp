#include "platform/plot/Axis.h"
#include "platform/plot/BarPlot.h"
#include "platform/plot/Graph.h"
#include "platform/plot/LabelSpace.h"
#include "platform/plot/Legend.h"
#include "platform/plot/PieChart.h"
#include "platform/plot/PlotDataSource.h"
#include "platform/plot/PlotSpace.h"
#include "platform/plot/ScatterPlot.h"

#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>
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

// Many records of one value, with one far higher in the middle: more than the plot area's
// 400 pixel columns, so several share each column.
struct Spike : plot::PlotDataSource {
    static constexpr int Count = 4000;
    static constexpr int Peak = 2001;
    bool labelled = false;
    qsizetype numberOfRecordsForPlot(plot::Plot*) override { return Count; }
    double numberForPlot(plot::Plot*, int field, qsizetype index) override
    {
        if (field == 0)
            return double(index);
        return index == Peak ? 90.0 : 10.0;
    }
    std::optional<plot::TextLayer> dataLabelForPlot(plot::Plot*, qsizetype) override
    {
        if (!labelled)
            return std::nullopt;
        plot::TextLayer label;
        label.text = QStringLiteral("MMMM");
        return label;
    }
};

QImage whiteImage()
{
    QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

bool inked(const QImage& image, const QRect& region)
{
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            if (image.pixelColor(x, y) != QColor(Qt::white))
                return true;
        }
    }
    return false;
}

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

TEST(PlotLabels, TurnedLabelsTakeOnlyTheRoomTheirTextCovers)
{
    // A 60 x 12 box turned by 30 degrees, its upright bounds about 58 x 40.
    const auto turned = [](QPointF centre) {
        const QTransform turn = QTransform().rotate(-30);
        QPolygonF outline;
        for (const QPointF corner :
            { QPointF(-30, -6), QPointF(30, -6), QPointF(30, 6), QPointF(-30, 6) })
            outline.append(centre + turn.map(corner));
        return outline;
    };
    plot::LabelSpace space;
    ASSERT_TRUE(space.take(turned(QPointF(100, 100))));
    // Side by side, 30 apart: the upright bounds overlap, the turned boxes do not.
    ASSERT_TRUE(turned(QPointF(100, 100))
                    .boundingRect()
                    .intersects(turned(QPointF(130, 100)).boundingRect()));
    EXPECT_TRUE(space.take(turned(QPointF(130, 100))));
    // Closer, they do.
    EXPECT_FALSE(space.take(turned(QPointF(115, 100))));
    // An upright rectangle in the empty corner of the bounds fits; one over the text does not.
    EXPECT_TRUE(space.take(QRectF(72, 84, 8, 8)));
    EXPECT_FALSE(space.take(QRectF(96, 96, 8, 8)));
    EXPECT_TRUE(space.covers(QPointF(100, 100)));
    EXPECT_FALSE(space.covers(QPointF(75, 82)));
    // Nowhere, or no area: never taken.
    EXPECT_FALSE(space.take(QPolygonF({ QPointF(0, 0), QPointF(10, 10) })));
    EXPECT_FALSE(space.take(turned(QPointF(std::numeric_limits<double>::quiet_NaN(), 0))));
}

TEST(PlotLabels, AxisLabelsAtTheSidesGetRoomAndOneThatCannotFitIsLeftOutNotCut)
{
    plot::Graph graph(QRectF(0, 0, 400, 300));
    graph.setPlotAreaFramePadding(QMarginsF(20, 20, 5, 80));
    graph.setFill(plot::Fill::color(Qt::white));
    plot::PlotSpace* space = graph.defaultPlotSpace();
    space->setXRange({ 0, 4 });
    space->setYRange({ 0, 1 });
    plot::Axis* x = graph.xAxis();
    x->setLabelingPolicy(plot::Axis::LabelingPolicy::None);
    x->setAxisLineStyle(std::nullopt);
    x->setMajorTickLineStyle(std::nullopt);
    x->setMinorTickLineStyle(std::nullopt);
    graph.yAxis()->setAxisLineStyle(std::nullopt);
    graph.yAxis()->setLabelingPolicy(plot::Axis::LabelingPolicy::None);
    plot::TextStyle style;
    style.font.setPixelSize(12);
    style.color = Qt::red;
    const auto labelAt = [&](const QString& text, double location) {
        plot::AxisLabel label;
        label.content.text = text;
        label.content.textStyle = style;
        label.tickLocation = location;
        label.rotation = 0.4;
        label.offset = 2;
        return label;
    };
    const auto redIn = [](const QImage& image, const QRectF& region) {
        int count = 0;
        const QRect pixels = region.toAlignedRect().intersected(image.rect());
        for (int py = pixels.top(); py <= pixels.bottom(); ++py) {
            for (int px = pixels.left(); px <= pixels.right(); ++px) {
                const QColor colour = image.pixelColor(px, py);
                count += colour.red() > 200 && colour.green() < 150;
            }
        }
        return count;
    };
    // At both ends, wider than the room the paddings leave beside them.
    const QList<plot::AxisLabel> ends { labelAt(QStringLiteral("The first label"), 0),
        labelAt(QStringLiteral("The middle"), 2), labelAt(QStringLiteral("The last label"), 4) };
    x->setAxisLabels(ends);
    const QImage image = graph.imageOfLayer();
    const QRectF area = space->plotArea();
    EXPECT_GT(area.left(), 20);
    EXPECT_LT(area.right(), 395);
    EXPECT_GT(area.width(), 375 / 2.0);
    for (const plot::AxisLabel& label : ends) {
        const QPointF anchor(space->viewX(label.tickLocation), area.bottom() + label.offset);
        const QRectF place = label.content.boundsAt(anchor, QPointF(0.5, 1.0), label.rotation);
        const std::string what = label.content.text.toStdString();
        EXPECT_GE(place.left(), -0.5) << what;
        EXPECT_LE(place.right(), 400.5) << what;
        EXPECT_GT(redIn(image, place), 20) << what;
    }
    // No ink is cut at the sides.
    EXPECT_EQ(redIn(image, QRectF(0, 0, 1, 300)), 0);
    EXPECT_EQ(redIn(image, QRectF(399, 0, 1, 300)), 0);

    // Wider than the graph: no narrowing fits it, and it is not drawn in part.
    x->setAxisLabels({ labelAt(QString(60, QLatin1Char('W')), 4) });
    const QImage wide = graph.imageOfLayer();
    EXPECT_EQ(space->plotArea(), graph.plotArea());
    EXPECT_EQ(redIn(wide, QRectF(0, 0, 400, 300)), 0);
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

TEST(PlotDense, APixelColumnOfManyBarsShowsItsTallestBarAndItsLabel)
{
    const plot::PlotSpace space = spaceOf({ -0.5, Spike::Count }, { 0, 100 });
    Spike source;
    source.labelled = true;
    plot::BarPlot bars(QStringLiteral("bars"));
    bars.setDataSource(&source);
    bars.setFill(plot::Fill::color(Qt::blue));
    bars.setBarWidth(0.8);
    bars.reloadData();
    QImage image = whiteImage();
    QPainter painter(&image);
    bars.draw(painter, space);
    bars.drawLabels(painter, space);
    painter.end();
    const int x = int(std::floor(space.viewX(Spike::Peak)));
    EXPECT_EQ(image.pixelColor(x, int(space.viewY(50))), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(x + 5, int(space.viewY(50))), QColor(Qt::white));
    // The tall bar's label stands on its tip, far above the others'.
    const int tip = int(space.viewY(90));
    EXPECT_TRUE(inked(image, QRect(x - 6, tip - 12, 13, 10)));
}

TEST(PlotDense, ManyPointsDrawTheirSymbolsWhereEachWouldStandAlone)
{
    const plot::PlotSpace space = spaceOf({ -0.5, Spike::Count }, { 0, 100 });
    plot::PlotSymbol symbol;
    symbol.fill = plot::Fill::color(Qt::red);
    symbol.lineStyle = plot::LineStyle { 1, Qt::blue };
    const auto paint = [&](plot::PlotDataSource& source) {
        plot::ScatterPlot points(QStringLiteral("points"));
        points.setDataSource(&source);
        points.setDataLineStyle(std::nullopt);
        points.setPlotSymbol(symbol);
        points.reloadData();
        QImage image = whiteImage();
        QPainter painter(&image);
        // Off the device's origin, as inside a screen.
        painter.translate(7, 3);
        painter.setRenderHint(QPainter::Antialiasing);
        points.draw(painter, space);
        return image;
    };
    Spike many;
    struct Alone : plot::PlotDataSource {
        qsizetype numberOfRecordsForPlot(plot::Plot*) override { return 1; }
        double numberForPlot(plot::Plot*, int field, qsizetype) override
        {
            return field == 0 ? Spike::Peak : 90.0;
        }
    } alone;
    const QImage dense = paint(many);
    const QImage single = paint(alone);
    const QPoint centre = space.viewPoint(Spike::Peak, 90).toPoint() + QPoint(7, 3);
    EXPECT_EQ(dense.pixelColor(centre), QColor(Qt::red));
    for (int dy = -6; dy <= 6; ++dy) {
        for (int dx = -6; dx <= 6; ++dx) {
            const QColor a = dense.pixelColor(centre + QPoint(dx, dy));
            const QColor b = single.pixelColor(centre + QPoint(dx, dy));
            EXPECT_LE(std::abs(a.red() - b.red()) + std::abs(a.green() - b.green())
                    + std::abs(a.blue() - b.blue()),
                120)
                << dx << "," << dy;
        }
    }
}

TEST(PlotDense, TicksCloserThanAPixelMergeIntoOneBandAndALoneTickStays)
{
    plot::PlotSpace space;
    space.setPlotArea(QRectF(0, 0, 400, 280));
    space.setXRange({ -0.5, Spike::Count });
    space.setYRange({ 0, 100 });
    plot::Axis axis(plot::PlotSpace::X);
    axis.setFixedToLowerEdge(true);
    axis.setAxisLineStyle(std::nullopt);
    axis.setMinorTickLineStyle(std::nullopt);
    axis.setMajorTickLineStyle(plot::LineStyle { 1, Qt::black });
    axis.setLabelingPolicy(plot::Axis::LabelingPolicy::LocationsProvided);
    QList<double> locations;
    for (int i = 0; i < 2000; ++i)
        locations.append(i);
    locations.append(3000);
    axis.setMajorTickLocations(locations);
    QImage image = whiteImage();
    QPainter painter(&image);
    axis.draw(painter, space, QRectF(0, 0, 400, 300));
    painter.end();
    EXPECT_EQ(image.pixelColor(1, 282), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(100, 282), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(199, 282), QColor(Qt::black));
    EXPECT_FALSE(inked(image, QRect(202, 280, 90, 5)));
    const int lone = int(std::floor(space.viewX(3000)));
    EXPECT_TRUE(inked(image, QRect(lone - 1, 281, 3, 2)));
    EXPECT_FALSE(inked(image, QRect(lone + 3, 280, 20, 5)));
}
