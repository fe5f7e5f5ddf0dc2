#pragma once

#include <QByteArray>

#include <functional>

namespace platform::plot {

// A value of a plot shown changing from one number to another over a time. The graph
// keeps the animations its plots ask for; the host that shows the graph runs them on its
// own clock and hands each value to `apply`, then calls `didStop`.
struct PlotAnimation {
    QByteArray key;
    double from = 0;
    double to = 1;
    double duration = 0; // seconds
    bool easeIn = false;
    std::function<void(double value)> apply;
    std::function<void(bool finished)> didStop;
};

} // namespace platform::plot
