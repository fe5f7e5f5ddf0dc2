// Charts of values at the ends of what a double holds: nearly equal averages, counts
// beyond a double's whole numbers, huge and tiny bars, values that are no number.
#include "ChartTestSupport.h"

#include "common/TestSupport.h"

#include "platform/plot/BarPlot.h"
#include "platform/plot/ScatterPlot.h"
#include "reports/charts/BarChart.h"
#include "reports/charts/LineChart.h"
#include "reports/charts/SimpleScatterPlot.h"

#include <QSet>

#include <limits>

using namespace charttest;
namespace plot = platform::plot;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double Largest = std::numeric_limits<double>::max();
constexpr double Denormal = std::numeric_limits<double>::denorm_min();

// The y axis's labels as painted: one per major tick, through its formatter.
QStringList yLabels(BaseChart& chart)
{
    const plot::Axis* y = chart.graph()->yAxis();
    QStringList labels;
    for (double tick : y->ticks(*chart.graph()->defaultPlotSpace()).major)
        labels.append(y->labelFormatter()(tick));
    return labels;
}

} // namespace

TEST_F(ChartTest, NearlyEqualValuesGetAnAxisOfRoundDistinctLabels)
{
    const QList<QList<double>> series {
        { 0.6666666666666666, 0.6666666666666667 },
        { 2e16, 2e16 + 4 },
        { -2e16, -2e16 - 4 },
    };
    for (const QList<double>& values : series) {
        for (int kind = 0; kind < 2; ++kind) {
            std::unique_ptr<BaseChart> chart;
            if (kind == 0)
                chart = std::make_unique<LineChart>(info(values));
            else
                chart = std::make_unique<SimpleScatterPlot>(info(values));
            // The saved and mailed picture is painted the same way.
            const QImage image = render(*chart, QSizeF(400, 300));
            ASSERT_FALSE(image.isNull());
            const QStringList labels = yLabels(*chart);
            EXPECT_GE(labels.size(), 3) << values.first() << " kind " << kind;
            EXPECT_EQ(QSet<QString>(labels.cbegin(), labels.cend()).size(), labels.size())
                << labels.join(' ').toStdString();
            // Both points lie inside the y range.
            const plot::PlotRange y = chart->graph()->defaultPlotSpace()->yRange();
            EXPECT_TRUE(y.contains(values[0]) && y.contains(values[1])) << values.first();
        }
    }
}

TEST_F(ChartTest, ValuesCloserThanTheirLabelsShowGetNoRepeatedLabel)
{
    struct Case {
        QList<double> values;
        unsigned decimals;
    };
    const QList<Case> cases {
        { { 100, 100.000001 }, 2 },
        { { 1, 1 + 1e-11 }, 2 },
        { { 100, 100.004 }, 2 },
        { { 100, 100.02 }, 2 },
        { { 0, 0.004 }, 2 },
        { { 0.2, 0.4 }, 0 },
        { { -5, -5.0000001 }, 4 },
    };
    for (const Case& c : cases) {
        for (int kind = 0; kind < 3; ++kind) {
            auto data = info(c.values);
            data->yDecimal = c.decimals;
            std::unique_ptr<BaseChart> chart;
            if (kind == 0)
                chart = std::make_unique<LineChart>(data);
            else if (kind == 1)
                chart = std::make_unique<SimpleScatterPlot>(data);
            else
                chart = std::make_unique<BarChart>(data);
            ASSERT_FALSE(render(*chart, QSizeF(400, 300)).isNull());
            const QStringList labels = yLabels(*chart);
            const std::string what = QString::number(c.values[1], 'g', 17).toStdString() + " kind "
                + std::to_string(kind) + ": " + labels.join(' ').toStdString();
            EXPECT_EQ(QSet<QString>(labels.cbegin(), labels.cend()).size(), labels.size()) << what;
            // Lines and points fit their y range to the values: it has labels to read.
            if (kind < 2) {
                EXPECT_GE(labels.size(), 2) << what;
            }
            const plot::PlotRange y = chart->graph()->defaultPlotSpace()->yRange();
            EXPECT_TRUE(y.contains(c.values[0]) && y.contains(c.values[1])) << what;
        }
    }
}

TEST_F(ChartTest, BarRangesHoldEveryFiniteBarOfAnySize)
{
    const QList<QList<double>> series {
        // Beyond single precision, of both signs.
        { -1e39, 1e39 },
        { -1, 1e39 },
        { 3e38, -3e38, 5 },
        { -8e307, 8e307 },
        // Below single precision's smallest normal value: equal to it, but not to us.
        { -1e-300, 2e-300 },
        { -2e-300, -1e-300 },
        { 1e-39, 3e-39 },
        { -1e-39, 1e-40 },
        { Denormal, 2 * Denormal, -Denormal },
        { -Denormal, 0, 0 },
        // Nearly as far apart as the largest double: rounding of the range's end aside.
        { 1e-300, -Largest, 0, 5 },
        // What is no finite number draws no bar.
        { NaN, 5, Inf, 10, -Inf },
    };
    for (const QList<double>& values : series) {
        const BarChart::YScale scale = BarChart::yScale(values);
        const std::string what = QString::number(values.first()).toStdString() + " .. "
            + QString::number(values.last()).toStdString();
        ASSERT_TRUE(std::isfinite(scale.range.location) && std::isfinite(scale.range.length))
            << what;
        EXPECT_GT(scale.range.length, 0) << what;
        EXPECT_TRUE(std::isfinite(scale.range.end())) << what;
        EXPECT_TRUE(std::isfinite(scale.interval) && scale.interval > 0) << what;
        const double slack = scale.range.length * 1e-12;
        for (double value : values) {
            if (std::isfinite(value)) {
                EXPECT_TRUE(value >= scale.range.minLimit() - slack
                    && value <= scale.range.maxLimit() + slack)
                    << what << " misses " << value;
            }
        }
    }
    // Further apart than the largest double: each bar still reaches into the range.
    const BarChart::YScale widest = BarChart::yScale({ -Largest, Largest });
    ASSERT_TRUE(std::isfinite(widest.range.length));
    EXPECT_LT(widest.range.minLimit(), -Largest / 4);
    EXPECT_GT(widest.range.maxLimit(), Largest / 4);
}

TEST_F(ChartTest, HugeAndTinyBarsOfBothSignsAreDrawnAndTappable)
{
    for (const QList<double>& values :
        QList<QList<double>> { { -1e39, 1e39 }, { -1e-300, 2e-300 }, { -Largest, Largest } }) {
        BarChart chart(info(values));
        render(chart, QSizeF(600, 400));
        const plot::PlotSpace& space = *chart.graph()->defaultPlotSpace();
        EXPECT_EQ(space.yRange(), BarChart::yScale(values).range) << values.last();
        const plot::BarPlot* bars = chart.barPlot();
        ASSERT_TRUE(bars);
        const QRectF area = space.plotArea();
        for (qsizetype i = 0; i < values.size(); ++i) {
            // The bar covers a good part of the plot area, and a tap on it selects it.
            const QRectF shown = bars->barRect(space, i).intersected(area);
            EXPECT_GT(shown.height(), area.height() / 5) << values.last() << " bar " << i;
            ASSERT_TRUE(chart.graph()->pointingDeviceDown(shown.center()));
            EXPECT_EQ(chart.selectedIndex(), i);
            const QImage image = chart.graph()->imageOfLayer();
            EXPECT_TRUE(near(at(image, shown.center()), BaseChart::imageColor()))
                << values.last() << " bar " << i;
            chart.graph()->pointingDeviceDown(shown.center());
        }
    }
}

TEST_F(ChartTest, PointsAndBarsFarOutsideTheKeptRangeStillPaint)
{
    // Bars and points whose painted places lie far beyond any view, labelled on a tablet.
    BarChart bars(info({ -1, 1e39, NaN }));
    EXPECT_FALSE(render(bars, QSizeF(400, 300)).isNull());
    LineChart line(info({ 1.7e308, -1e304, Inf, NaN }));
    EXPECT_FALSE(render(line, QSizeF(400, 300)).isNull());
    const plot::PlotRange y = line.graph()->defaultPlotSpace()->yRange();
    EXPECT_TRUE(y.contains(1.7e308) && y.contains(-1e304));
    SimpleScatterPlot scatter(info({ Largest, -Largest, 0 }));
    EXPECT_FALSE(render(scatter, QSizeF(400, 300)).isNull());
    // A tap on the line shows the cursor across values that far apart.
    const QPointF middle = line.graph()->plotArea().center();
    line.graph()->pointingDeviceDown(middle);
    EXPECT_FALSE(line.graph()->imageOfLayer().isNull());
}
