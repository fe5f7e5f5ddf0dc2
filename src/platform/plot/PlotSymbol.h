#pragma once

#include "platform/plot/Fill.h"
#include "platform/plot/LineStyle.h"

#include <QSizeF>

#include <optional>

namespace platform::plot {

// The ellipse a scatter plot draws at each record.
struct PlotSymbol {
    QSizeF size { 5, 5 };
    Fill fill;
    std::optional<LineStyle> lineStyle;
};

} // namespace platform::plot
