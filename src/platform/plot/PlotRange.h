#pragma once

namespace platform::plot {

// A span of plot coordinates: where it starts and how long it is (a negative length runs
// backwards).
struct PlotRange {
    double location = 0;
    double length = 0;

    double end() const { return location + length; }
    double minLimit() const { return length < 0 ? end() : location; }
    double maxLimit() const { return length < 0 ? location : end(); }
    double midPoint() const { return location + length / 2; }
    bool contains(double value) const { return value >= minLimit() && value <= maxLimit(); }
    // The same middle, the length times the factor.
    PlotRange expandedBy(double factor) const;
    // The smallest range holding both.
    PlotRange unionWith(const PlotRange& other) const;
    // From the lower to the higher of two finite values. Where they lie further apart than
    // the largest double, the longest range there is, about their middle.
    static PlotRange spanning(double from, double to);
    bool operator==(const PlotRange& other) const = default;
};

} // namespace platform::plot
