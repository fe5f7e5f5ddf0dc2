#pragma once

#include <QColor>
#include <QFont>

namespace platform::plot {

// How a text is written.
struct TextStyle {
    QFont font;
    QColor color = Qt::black;
};

} // namespace platform::plot
