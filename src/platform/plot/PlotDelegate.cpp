#include "platform/plot/PlotDelegate.h"

namespace platform::plot {

PlotDelegate::~PlotDelegate() = default;

void PlotDelegate::recordWasSelected(Plot*, qsizetype)
{
}

void PlotDelegate::dataLabelWasSelected(Plot*, qsizetype)
{
}

} // namespace platform::plot
