#include "platform/plot/Theme.h"

#include "platform/plot/Axis.h"
#include "platform/plot/Graph.h"

namespace platform::plot {

const QString Theme::PlainWhite = QStringLiteral("Plain White");
const QString Theme::DarkGradients = QStringLiteral("Dark Gradients");
const QString Theme::PlainBlack = QStringLiteral("Plain Black");
const QString Theme::Slate = QStringLiteral("Slate");
const QString Theme::Stocks = QStringLiteral("Stocks");

namespace {

QColor grey(double level)
{
    return QColor::fromRgbF(float(level), float(level), float(level));
}

Fill darkGradient()
{
    Fill fill = Fill::linear(grey(0.1), grey(0.1), 90);
    fill.addStop(grey(0.2), 0.3);
    fill.addStop(grey(0.3), 0.5);
    fill.addStop(grey(0.2), 0.6);
    return fill;
}

Fill slate()
{
    return Fill::linear(
        QColor::fromRgbF(0.43f, 0.51f, 0.63f), QColor::fromRgbF(0.7f, 0.73f, 0.8f), 90);
}

} // namespace

Theme::Theme(QString name, Fill background, QColor foreground)
    : m_name(std::move(name))
    , m_background(std::move(background))
    , m_foreground(foreground)
{
}

const QStringList& Theme::names()
{
    static const QStringList all { PlainWhite, DarkGradients, PlainBlack, Slate, Stocks };
    return all;
}

std::optional<Theme> Theme::themeNamed(const QString& name)
{
    if (name == PlainWhite)
        return Theme(name, Fill::color(Qt::white), Qt::black);
    if (name == DarkGradients)
        return Theme(name, darkGradient(), Qt::white);
    if (name == PlainBlack)
        return Theme(name, Fill::color(Qt::black), Qt::white);
    if (name == Slate)
        return Theme(name, slate(), Qt::black);
    if (name == Stocks)
        return Theme(name, Fill::color(Qt::black), Qt::white);
    return std::nullopt;
}

void Theme::applyToGraph(Graph& graph) const
{
    graph.setFill(m_background);
    graph.setPlotAreaFill(Fill());
    TextStyle title = graph.titleTextStyle();
    title.color = m_foreground;
    graph.setTitleTextStyle(title);
    for (Axis* axis : { graph.xAxis(), graph.yAxis() }) {
        if (!axis)
            continue;
        const LineStyle line { 1.0, m_foreground };
        axis->setAxisLineStyle(line);
        axis->setMajorTickLineStyle(line);
        axis->setMinorTickLineStyle(line);
        TextStyle labels = axis->labelTextStyle();
        labels.color = m_foreground;
        axis->setLabelTextStyle(labels);
        axis->setTitleTextStyle(labels);
    }
}

} // namespace platform::plot
