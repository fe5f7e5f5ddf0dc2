#pragma once

#include "platform/plot/TextLayer.h"

namespace platform::plot {

// A label the caller places on an axis itself: its text at a tick location, turned and
// set off from the axis line.
struct AxisLabel {
    TextLayer content;
    double tickLocation = 0;
    double rotation = 0;
    double offset = 0;
};

} // namespace platform::plot
