#include "platform/plot/PlotRange.h"

#include <algorithm>

namespace platform::plot {

PlotRange PlotRange::expandedBy(double factor) const
{
    const double newLength = length * factor;
    return { midPoint() - newLength / 2, newLength };
}

PlotRange PlotRange::unionWith(const PlotRange& other) const
{
    const double low = std::min(minLimit(), other.minLimit());
    const double high = std::max(maxLimit(), other.maxLimit());
    return { low, high - low };
}

} // namespace platform::plot
