#pragma once

#include <QColor>
#include <QPen>

namespace platform::plot {

// How a line is stroked.
struct LineStyle {
    double lineWidth = 1.0;
    QColor lineColor = Qt::black;

    QPen pen() const
    {
        QPen result(lineColor, lineWidth);
        result.setCapStyle(Qt::FlatCap);
        return result;
    }
};

} // namespace platform::plot
