#pragma once

#include "platform/ui/Image.h"

#include <QColor>
#include <QRectF>

class QPainter;

namespace platform::ui {

// What the navigation bar and the toolbar share: item spacing and the bar's background.
constexpr double kBarItemMargin = 8.0;
constexpr double kBarItemGap = 6.0;

// The bar's image, or its tint (slightly see-through when translucent), with a hairline
// on the side that meets the content.
void paintBar(QPainter& painter, const QRectF& rect, const QColor& tint, const Image& image,
    bool translucent, bool topLine);

} // namespace platform::ui
