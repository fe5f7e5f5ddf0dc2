#include "reports/charts/BaseChart.h"

#include "platform/plot/Axis.h"
#include "platform/plot/Graph.h"
#include "platform/plot/RandomSource.h"
#include "platform/plot/Theme.h"
#include "platform/ui/ViewController.h"
#include "style/Theme.h"
#include "style/UIColor_Expanded.h"
#include "utilities/text/KivoNumber.h"

#include <QFont>

#include <algorithm>
#include <cmath>

namespace plot = platform::plot;

namespace {

QFont styleFont(const QFont& (Theme::*font)() const, int fallbackSize)
{
    if (Theme* style = Theme::current())
        return (style->*font)();
    QFont fallback;
    fallback.setPixelSize(fallbackSize);
    return fallback;
}

} // namespace

BaseChart::BaseChart(std::shared_ptr<ChartInfo> data)
    : m_plotData(data ? std::move(data) : std::make_shared<ChartInfo>())
{
    setTitle(m_plotData->title);
    setSection(m_plotData->chartType);
}

BaseChart::~BaseChart()
{
    // The graphs go before the data source they ask.
    PlotItem::killGraph();
}

Theme* BaseChart::currentStyle()
{
    return Theme::current();
}

QColor BaseChart::imageColor()
{
    Theme* style = currentStyle();
    const QColor color = style ? style->imageColor().toQColor() : QColor();
    return color.isValid() ? color : QColor(Qt::darkGray);
}

QColor BaseChart::darkImageColor()
{
    Theme* style = currentStyle();
    if (style) {
        if (const auto darker = UIColor_Expanded::darkerColor(style->imageColor())) {
            const QColor color = darker->toQColor();
            if (color.isValid())
                return color;
        }
    }
    return imageColor().darker(150);
}

qsizetype BaseChart::numberOfRecordsForPlot(plot::Plot*)
{
    return pointCount();
}

double BaseChart::numberForPlot(plot::Plot*, int field, qsizetype index)
{
    return field == 0 ? xAtIndex(index) : yAtIndex(index);
}

void BaseChart::applyThemetoGraph(plot::Graph& graph) const
{
    const QString theme = m_plotData->theme.isEmpty() ? plot::Theme::Slate : m_plotData->theme;
    applyTheme(theme, graph, plot::Theme::Slate);
}

void BaseChart::setPaddingDefaultsForGraph(plot::Graph& graph, const QRectF&)
{
    graph.setPadding(QMarginsF(0, 0, 0, 0));
    graph.setPlotAreaFramePadding(QMarginsF(20, 20, 5, 30));
    graph.setPlotAreaFrameBorder(std::nullopt);
}

void BaseChart::setTitleDefaultsForGraph(plot::Graph& graph, const QRectF&)
{
    graph.setTitle(m_plotData->title);
    graph.setTitleTextStyle(graphTitleStyle());
    graph.setTitleDisplacement(QPointF());
}

plot::LineStyle BaseChart::majorGridLineStyle()
{
    return { 0.75, imageColor() };
}

plot::LineStyle BaseChart::minorGridLineStyle()
{
    return { 0.25, imageColor() };
}

plot::LineStyle BaseChart::axislineStyle()
{
    return { 1.0, imageColor() };
}

plot::LineStyle BaseChart::minorTickLineStyle()
{
    return { 0.25, darkImageColor() };
}

plot::LineStyle BaseChart::majorTickLineStyle()
{
    return { 0.5, darkImageColor() };
}

plot::TextStyle BaseChart::graphTitleStyle()
{
    return { styleFont(&Theme::MetroRowLabelFont, 20), imageColor() };
}

plot::TextStyle BaseChart::axisTitleStyle()
{
    return { styleFont(&Theme::RowLabelHeaderFont, 15), imageColor() };
}

plot::TextStyle BaseChart::tickStyle()
{
    return { styleFont(&Theme::smallFont, 11), imageColor() };
}

void BaseChart::applyStyletoXAxis(plot::Axis& axis) const
{
    axis.setMajorGridLineStyle(majorGridLineStyle());
    axis.setMinorGridLineStyle(minorGridLineStyle());
    axis.setAxisLineStyle(axislineStyle());
    axis.setMinorTickLineStyle(minorTickLineStyle());
    axis.setMajorTickLineStyle(majorTickLineStyle());
    axis.setTitleOffset(26);
    axis.setTitleTextStyle(axisTitleStyle());
    axis.setTitle(m_plotData->xtitle);
    axis.setLabelTextStyle(tickStyle());
}

void BaseChart::applyStyletoYAxis(plot::Axis& axis) const
{
    axis.setMajorGridLineStyle(majorGridLineStyle());
    axis.setMinorGridLineStyle(minorGridLineStyle());
    axis.setAxisLineStyle(axislineStyle());
    axis.setMinorTickLineStyle(minorTickLineStyle());
    axis.setMajorTickLineStyle(majorTickLineStyle());
    axis.setTitleOffset(20);
    axis.setTitleTextStyle(axisTitleStyle());
    axis.setTitle(m_plotData->ytitle);
    axis.setLabelTextStyle(tickStyle());
    axis.setLabelRotation(YLabelRotation);
}

double BaseChart::yLabelResolution() const
{
    return std::pow(10.0, -double(std::min(m_plotData->yDecimal, KivoNumber::MaximumDecimals)));
}

std::shared_ptr<ChartData> BaseChart::chartDataAtIndex(qsizetype index) const
{
    const auto& points = m_plotData->chartData;
    return index >= 0 && index < points.size() ? points[index] : nullptr;
}

double BaseChart::xAtIndex(qsizetype index) const
{
    const auto point = chartDataAtIndex(index);
    return point ? point->xValue : 0;
}

double BaseChart::yAtIndex(qsizetype index) const
{
    const auto point = chartDataAtIndex(index);
    return point ? point->value : 0;
}

QString BaseChart::xLabelAtIndex(qsizetype index) const
{
    const auto point = chartDataAtIndex(index);
    return point ? point->label : QString();
}

QString BaseChart::yLabelAtIndex(qsizetype index) const
{
    const auto point = chartDataAtIndex(index);
    return point ? point->yLabel : QString();
}

qsizetype BaseChart::pointCount() const
{
    return m_plotData->chartData.size();
}

QColor BaseChart::randomColor()
{
    const quint32 r1 = plot::RandomSource::next();
    const quint32 r2 = plot::RandomSource::next();
    const quint32 r3 = plot::RandomSource::next();
    return QColor::fromHsvF(float((r1 % 256) / 256.0), float((r2 % 128) / 256.0 + 0.5),
        float((r3 % 128) / 256.0 + 0.5), 1.0f);
}

plot::Fill BaseChart::randomFill()
{
    return plot::Fill::linear(randomColor(), Qt::black);
}

void BaseChart::prepareRandomColors()
{
    m_prerandomColors.clear();
    for (qsizetype i = 0; i < pointCount(); ++i)
        m_prerandomColors.append(randomColor());
}

void BaseChart::prepareRandomFills()
{
    m_prerandomFills.clear();
    for (qsizetype i = 0; i < pointCount(); ++i)
        m_prerandomFills.append(randomFill());
}

plot::Fill BaseChart::themeBackgroundFill() const
{
    const QString& theme = m_plotData->theme;
    if (theme == plot::Theme::PlainBlack)
        return plainBlackThemeFill();
    if (theme == plot::Theme::DarkGradients)
        return darkGradientThemeFill();
    if (theme == plot::Theme::Slate)
        return slatethemeFill();
    if (theme == plot::Theme::Stocks)
        return stocksThemeFill();
    return plainWhiteThemFill();
}

plot::Fill BaseChart::plainBlackThemeFill()
{
    return plot::Fill::color(Qt::black);
}

plot::Fill BaseChart::darkGradientThemeFill()
{
    return plot::Theme::themeNamed(plot::Theme::DarkGradients)->backgroundFill();
}

plot::Fill BaseChart::slatethemeFill()
{
    return plot::Theme::themeNamed(plot::Theme::Slate)->backgroundFill();
}

plot::Fill BaseChart::stocksThemeFill()
{
    return plot::Fill::color(Qt::black);
}

plot::Fill BaseChart::plainWhiteThemFill()
{
    return plot::Fill::color(Qt::white);
}

QString BaseChart::trimLabel(const QString& text, int length)
{
    if (text.size() <= length)
        return text;
    qsizetype keep = std::max(0, length - 2);
    if (keep > 0 && keep < text.size() && text.at(keep - 1).isHighSurrogate())
        --keep;
    return text.left(keep) + QStringLiteral("..");
}

plot::Graph* BaseChart::graph() const
{
    return graphs().empty() ? nullptr : graphs().front().get();
}
