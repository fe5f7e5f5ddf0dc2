#include "platform/plot/PlotDataSource.h"

namespace platform::plot {

PlotDataSource::~PlotDataSource() = default;

std::optional<TextLayer> PlotDataSource::dataLabelForPlot(Plot*, qsizetype)
{
    return std::nullopt;
}

std::optional<Fill> PlotDataSource::barFillForBarPlot(Plot*, qsizetype)
{
    return std::nullopt;
}

std::optional<Fill> PlotDataSource::sliceFillForPieChart(Plot*, qsizetype)
{
    return std::nullopt;
}

double PlotDataSource::radialOffsetForPieChart(Plot*, qsizetype)
{
    return 0;
}

std::optional<QString> PlotDataSource::legendTitleForPieChart(Plot*, qsizetype)
{
    return std::nullopt;
}

} // namespace platform::plot
