#include "platform/plot/PlotRange.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform::plot {

PlotRange PlotRange::expandedBy(double factor) const
{
    const double newLength = length * factor;
    return { midPoint() - newLength / 2, newLength };
}

PlotRange PlotRange::unionWith(const PlotRange& other) const
{
    return spanning(std::min(minLimit(), other.minLimit()), std::max(maxLimit(), other.maxLimit()));
}

PlotRange PlotRange::spanning(double from, double to)
{
    const double low = std::min(from, to);
    const double high = std::max(from, to);
    if (std::isfinite(high - low))
        return { low, high - low };
    // A little short of the largest double, so the range's end stays finite too.
    const double longest = std::numeric_limits<double>::max() * 0.99;
    const double middle = low / 2 + high / 2;
    return { middle - longest / 2, longest };
}

} // namespace platform::plot
