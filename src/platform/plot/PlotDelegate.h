#pragma once

#include <QtGlobal>

namespace platform::plot {

class Plot;

// What a plot tells when a person taps one of its records. A plot whose delegate does not
// take taps of a kind lets them pass to the plot space.
class PlotDelegate {
public:
    virtual ~PlotDelegate();

    virtual bool respondsToRecordSelection() const { return false; }
    // A bar, a scatter symbol or a slice was tapped.
    virtual void recordWasSelected(Plot* plot, qsizetype index);
    virtual void dataLabelWasSelected(Plot* plot, qsizetype index);
};

} // namespace platform::plot
