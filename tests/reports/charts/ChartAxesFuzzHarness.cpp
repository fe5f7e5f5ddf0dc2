#include "ChartAxesFuzzHarness.h"

#include "platform/plot/Axis.h"
#include "platform/plot/BarPlot.h"
#include "platform/plot/Graph.h"
#include "platform/plot/LabelSpace.h"
#include "platform/plot/PlotDataSource.h"
#include "platform/plot/PlotSpace.h"
#include "platform/plot/ScatterPlot.h"
#include "platform/plot/Theme.h"
#include "platform/ui/Device.h"
#include "platform/ui/View.h"
#include "reports/charts/BarChart.h"
#include "reports/charts/ChartInfo.h"
#include "reports/charts/LineChart.h"
#include "reports/charts/SimpleScatterPlot.h"

#include <QImage>
#include <QPolygonF>
#include <QSet>
#include <QTransform>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace plot = platform::plot;

namespace {

constexpr qsizetype MaximumValues = 24;
constexpr QSizeF ViewSize(160, 120);

const double Specials[] = {
    0.0,
    -0.0,
    1.0,
    -1.0,
    std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    DBL_MAX,
    -DBL_MAX,
    DBL_MIN,
    std::numeric_limits<double>::denorm_min(),
    FLT_MAX,
    -FLT_MAX,
    FLT_MIN,
    1.2e-38,
    9007199254740992.0,
    2e16,
    0.6666666666666666,
    0.6666666666666667,
    1e39,
    -1e39,
    1.7e308,
    -1e304,
    1e-300,
};

void require(bool promise, const char* what)
{
    if (promise)
        return;
    std::fprintf(stderr, "chart axes: %s\n", what);
    std::abort();
}

// The input: a flags byte, a ticks byte, then numbers of nine bytes each (a tag and eight
// more): the bytes as a double, the number before moved by a few units in its last place,
// one of the special values, or a small whole number scaled by a power of two.
struct Input {
    quint8 flags = 0;
    quint8 ticks = 0;
    QList<double> values;

    Input(const uint8_t* data, size_t size)
    {
        if (size > 0)
            flags = data[0];
        if (size > 1)
            ticks = data[1];
        for (size_t at = 2; at + 9 <= size && values.size() < MaximumValues; at += 9) {
            const quint8 tag = data[at];
            const uint8_t* bytes = data + at + 1;
            double value = 0;
            switch (tag % 4) {
            case 0:
                std::memcpy(&value, bytes, sizeof value);
                break;
            case 1: {
                value = values.isEmpty() ? 0.0 : values.last();
                const int steps = qint8(bytes[0]);
                const double towards = steps < 0 ? -HUGE_VAL : HUGE_VAL;
                for (int i = 0; i < std::abs(steps); ++i)
                    value = std::nextafter(value, towards);
                break;
            }
            case 2:
                value = Specials[bytes[0] % std::size(Specials)];
                break;
            default:
                value = std::ldexp(double(qint16(bytes[0] | bytes[1] << 8)), qint8(bytes[2]) * 8);
                break;
            }
            values.append(value);
        }
    }

    double at(qsizetype index) const
    {
        return values.isEmpty() ? 0.0 : values[index % values.size()];
    }
};

void checkTicks(const QList<double>& ticks)
{
    require(ticks.size() <= plot::Axis::MaximumTicks + 1, "too many ticks");
    for (qsizetype i = 0; i < ticks.size(); ++i) {
        require(std::isfinite(ticks[i]), "a tick at no finite number");
        require(i == 0 || ticks[i - 1] < ticks[i], "ticks out of order or repeated");
    }
}

void axisTicks(const Input& input)
{
    plot::PlotSpace space;
    space.setPlotArea(QRectF(QPointF(0, 0), ViewSize));
    space.setYRange({ input.at(0), input.at(1) });
    plot::Axis axis(plot::PlotSpace::Y);
    axis.setMinorTicksPerInterval(input.ticks % 10);
    axis.setPreferredNumberOfMajorTicks(input.ticks / 16 + 1);
    for (bool visible : { false, true }) {
        axis.setVisibleRange(visible
                ? std::optional<plot::PlotRange>(plot::PlotRange { input.at(2), input.at(3) })
                : std::nullopt);
        axis.setLabelingPolicy(plot::Axis::LabelingPolicy::Automatic);
        auto found = axis.ticks(space);
        checkTicks(found.major);
        checkTicks(found.minor);
        axis.setLabelingPolicy(plot::Axis::LabelingPolicy::FixedInterval);
        axis.setMajorIntervalLength(input.at(4));
        found = axis.ticks(space);
        checkTicks(found.major);
        checkTicks(found.minor);
    }
    const double nice = plot::Axis::niceInterval(input.at(5), input.ticks % 12);
    require(std::isnan(nice) || nice >= 0, "a negative interval");
}

void labelSpace(const Input& input)
{
    plot::LabelSpace taken;
    for (qsizetype i = 0; i + 3 < input.values.size(); i += 4) {
        const QRectF rect(
            input.values[i], input.values[i + 1], input.values[i + 2], input.values[i + 3]);
        taken.take(rect);
        taken.covers(rect.center());
        taken.covers(rect.topLeft());
        // The same numbers as the corners of a box turned by the ticks byte.
        const QPolygonF turned
            = QTransform().rotate(input.ticks * 1.5).map(QPolygonF(rect)).mid(0, 4);
        const bool took = taken.take(turned);
        // A box of a label's size covers itself.
        const bool ordinary = rect.width() >= 1 && rect.height() >= 1 && rect.width() < 1e6
            && rect.height() < 1e6 && std::abs(rect.left()) < 1e9 && std::abs(rect.top()) < 1e9;
        require(!took || !ordinary || !taken.take(turned), "a turned box taken twice");
    }
}

// Every label the value axis shows differs from the others.
void checkValueLabels(const plot::Graph& graph)
{
    const plot::Axis* y = graph.yAxis();
    if (!y || !y->labelFormatter())
        return;
    QSet<QString> seen;
    for (double tick : y->ticks(*graph.defaultPlotSpace()).major) {
        const QString label = y->labelFormatter()(tick);
        require(!seen.contains(label), "two ticks with one label");
        seen.insert(label);
    }
}

// The plot area makes room for labels inside the one the paddings leave, and keeps at least
// half of its width.
void checkPlotArea(const plot::Graph& graph)
{
    const QRectF padded = graph.plotArea();
    const QRectF area = graph.defaultPlotSpace()->plotArea();
    if (!(padded.width() > 0))
        return;
    require(area.left() >= padded.left() && area.right() <= padded.right()
            && area.top() == padded.top() && area.bottom() == padded.bottom(),
        "a plot area outside the paddings");
    require(area.width() >= padded.width() / 2 - 1e-9, "a plot area narrowed by half or more");
}

void barRange(const Input& input)
{
    const BarChart::YScale scale = BarChart::yScale(input.values);
    const plot::PlotRange& range = scale.range;
    require(std::isfinite(range.location) && std::isfinite(range.length)
            && std::isfinite(range.end()) && range.length > 0,
        "a bar range that is not finite or empty");
    require(std::isfinite(scale.interval) && scale.interval > 0, "a bar interval of no use");
    double min = HUGE_VAL;
    double max = -HUGE_VAL;
    for (double value : input.values) {
        if (std::isfinite(value)) {
            min = std::min(min, value);
            max = std::max(max, value);
        }
    }
    // Further apart than the largest double no range holds both ends; near it, the range's
    // ends are rounded by far less than a pixel.
    if (min <= max && std::isfinite(max - min)) {
        const double slack = range.length * 1e-12;
        for (double value : input.values) {
            require(!std::isfinite(value)
                    || (value >= range.minLimit() - slack && value <= range.maxLimit() + slack),
                "a bar outside its range");
        }
    }
}

std::shared_ptr<ChartInfo> chartInfo(const Input& input)
{
    static const QStringList themes { plot::Theme::PlainWhite, plot::Theme::DarkGradients,
        plot::Theme::PlainBlack, plot::Theme::Slate, plot::Theme::Stocks };
    auto chart = std::make_shared<ChartInfo>();
    chart->title = QStringLiteral("Fuzz");
    chart->ytitle = QStringLiteral("y");
    chart->xtitle = QStringLiteral("x");
    chart->theme = themes[input.ticks % themes.size()];
    chart->yDecimal = (input.flags >> 6) & 3;
    // The x of a point is its position, or (line and scatter) a number of the input.
    const bool ownX = input.flags & 0x20;
    for (qsizetype i = 0; i < input.values.size(); ++i) {
        auto point = std::make_shared<ChartData>();
        point->label = QString(QChar(char16_t(u'a' + i % 26)));
        point->value = input.values[i];
        point->xValue = ownX ? input.at(input.values.size() - 1 - i) : double(i + 1);
        point->yLabel = QString::number(input.values[i]);
        chart->chartData.append(point);
    }
    if (input.flags & 0x10) {
        for (qsizetype i = 0; i < std::min<qsizetype>(7, input.values.size()); ++i)
            chart->xAxisLabels.append({ QString::number(input.at(i)), input.at(i) });
    }
    return chart;
}

void chart(const Input& input)
{
    const int kind = input.flags & 3;
    std::unique_ptr<BaseChart> made;
    if (kind == 0)
        made = std::make_unique<BarChart>(chartInfo(input));
    else if (kind == 1)
        made = std::make_unique<LineChart>(chartInfo(input));
    else
        made = std::make_unique<SimpleScatterPlot>(chartInfo(input));
    platform::ui::View view(QRectF(QPointF(0, 0), ViewSize));
    made->renderInView(&view, QString(), false);
    plot::Graph* graph = made->graph();
    if (!graph)
        return;
    graph->imageOfLayer(0.5);
    checkValueLabels(*graph);
    checkPlotArea(*graph);
    if (input.flags & 0x08) {
        // A tap at a point of the view, then on the first value's place, and a drag.
        const QPointF point(std::fmod(std::abs(input.at(0)), ViewSize.width()),
            std::fmod(std::abs(input.at(1)), ViewSize.height()));
        const QPointF tap
            = std::isfinite(point.x()) && std::isfinite(point.y()) ? point : QPointF();
        graph->pointingDeviceDown(tap);
        graph->pointingDeviceDragged(tap + QPointF(7, 3));
        graph->pointingDeviceUp(tap);
        graph->pointingDeviceDown(graph->defaultPlotSpace()->viewPoint(1, input.at(0)));
        graph->imageOfLayer(0.5);
    }
}

// A bare graph: bars and a line of the input, axes crossing and shown where it says.
struct Numbers : plot::PlotDataSource {
    const Input* input = nullptr;
    qsizetype numberOfRecordsForPlot(plot::Plot*) override { return input->values.size(); }
    double numberForPlot(plot::Plot*, int field, qsizetype index) override
    {
        return field == 0 ? input->at(index + 7) : input->values[index];
    }
    std::optional<plot::TextLayer> dataLabelForPlot(plot::Plot*, qsizetype index) override
    {
        plot::TextLayer label;
        label.text = QString::number(input->values[index]);
        return label;
    }
};

void bareGraph(const Input& input)
{
    plot::Graph graph(QRectF(QPointF(0, 0), ViewSize));
    graph.setPlotAreaFramePadding(QMarginsF(20, 10, 10, 20));
    Numbers numbers;
    numbers.input = &input;
    auto* bars = static_cast<plot::BarPlot*>(
        graph.addPlot(std::make_unique<plot::BarPlot>(QStringLiteral("bars"))));
    bars->setDataSource(&numbers);
    bars->setBarWidth(input.at(6));
    bars->setBarCornerRadius(4);
    bars->setBaseValue(input.at(5));
    bars->reloadData();
    auto* line = static_cast<plot::ScatterPlot*>(
        graph.addPlot(std::make_unique<plot::ScatterPlot>(QStringLiteral("line"))));
    line->setDataSource(&numbers);
    line->setDataLineStyle(plot::LineStyle { 2, Qt::blue });
    plot::PlotSymbol symbol;
    symbol.size = QSizeF(5, 5);
    line->setPlotSymbol(symbol);
    line->reloadData();
    plot::PlotSpace* space = graph.defaultPlotSpace();
    space->scaleToFitPlots({ line, bars });
    if (input.ticks & 1)
        space->setYRange({ input.at(1), input.at(2) });
    for (plot::Axis* axis : { graph.xAxis(), graph.yAxis() }) {
        axis->setOrthogonalPosition(input.at(3));
        axis->setLabelingPolicy(plot::Axis::LabelingPolicy::Automatic);
        axis->setMajorGridLineStyle(plot::LineStyle {});
        axis->setMinorTicksPerInterval(input.ticks % 4);
        axis->setLabelFormatter([](double value) { return QString::number(value); });
        axis->setTitle(QStringLiteral("axis"));
        if (input.ticks & 2)
            axis->setVisibleRange(plot::PlotRange { input.at(4), input.at(5) });
        if (input.ticks & 4)
            axis->setGridLinesRange(plot::PlotRange { input.at(6), input.at(7) });
    }
    plot::PlotSpaceAnnotation note;
    note.anchorX = input.at(8);
    note.anchorY = input.at(9);
    note.content.text = QStringLiteral("note");
    graph.addAnnotation(note);
    graph.imageOfLayer(0.5);
    checkPlotArea(graph);
    graph.pointingDeviceDown(space->viewPoint(input.at(0), input.at(1)));
}

} // namespace

void runChartAxesFuzzInput(const uint8_t* data, size_t size)
{
    const Input input(data, size);
    axisTicks(input);
    labelSpace(input);
    barRange(input);
    const QString device = (input.flags & 4) ? QStringLiteral("phone") : QStringLiteral("tablet");
    if (!platform::ui::Device::current().selectModel(device))
        return;
    if ((input.flags & 3) == 3)
        bareGraph(input);
    else
        chart(input);
    (void)platform::ui::Device::current().selectModel(QStringLiteral("tablet"));
}
