#pragma once

#include "platform/plot/Fill.h"
#include "platform/plot/TextLayer.h"

#include <QString>

#include <optional>

namespace platform::plot {

class Plot;

// Where a plot takes its records from. The numbers are required; every other answer is
// optional, and its default gives the plot's own look.
class PlotDataSource {
public:
    virtual ~PlotDataSource();

    virtual qsizetype numberOfRecordsForPlot(Plot* plot) = 0;
    // The number of the field (a plot's own field numbers) of the record.
    virtual double numberForPlot(Plot* plot, int field, qsizetype index) = 0;
    // A label shown at the record; none shows nothing.
    virtual std::optional<TextLayer> dataLabelForPlot(Plot* plot, qsizetype index);

    // Bars and slices: their own fill instead of the plot's.
    virtual std::optional<Fill> barFillForBarPlot(Plot* plot, qsizetype index);
    virtual std::optional<Fill> sliceFillForPieChart(Plot* plot, qsizetype index);
    // How far out of the pie a slice is drawn, in points.
    virtual double radialOffsetForPieChart(Plot* plot, qsizetype index);
    // The slice's line in the legend; none leaves its text empty.
    virtual std::optional<QString> legendTitleForPieChart(Plot* plot, qsizetype index);
};

} // namespace platform::plot
