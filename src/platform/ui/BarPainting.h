#pragma once

#include "platform/ui/Image.h"

#include <QColor>
#include <QList>
#include <QRectF>

class QPainter;

namespace platform::ui {

// What the navigation bar and the toolbar share: item spacing and the bar's background.
constexpr double kBarItemMargin = 8.0;
constexpr double kBarItemGap = 6.0;

// One place in a row of bar items: an item's view, a fixed space or a flexible space.
struct BarSlot {
    enum class Kind { Item, FixedSpace, FlexibleSpace };
    Kind kind = Kind::Item;
    double width = 0;
};

// Fits a row of slots into the width, kBarItemGap apart. Flexible spaces share what is
// left over. When the row is too wide, fixed spaces and gaps give way first, then the
// items narrow alike, so every item stays on the bar. Writes each slot's width and
// answers the gap to leave between slots.
double fitBarSlots(QList<BarSlot>& row, double width);

// The bar's image, or its tint (slightly see-through when translucent), with a hairline
// on the side that meets the content.
void paintBar(QPainter& painter, const QRectF& rect, const QColor& tint, const Image& image,
    bool translucent, bool topLine);

} // namespace platform::ui
