#include "platform/ui/BarPainting.h"

#include <QPainter>

#include <algorithm>

namespace platform::ui {

double fitBarSlots(QList<BarSlot>& row, double width)
{
    double items = 0;
    double spaces = 0;
    int flexible = 0;
    for (const BarSlot& slot : row) {
        if (slot.kind == BarSlot::Kind::Item)
            items += slot.width;
        else if (slot.kind == BarSlot::Kind::FixedSpace)
            spaces += slot.width;
        else
            ++flexible;
    }
    const double gaps = kBarItemGap * std::max<qsizetype>(0, row.size() - 1);
    double gap = kBarItemGap;
    double free = width - items - spaces - gaps;
    if (free < 0 && spaces + gaps > 0) {
        // Spacing gives way first.
        const double spacing = std::clamp((spaces + gaps + free) / (spaces + gaps), 0.0, 1.0);
        gap *= spacing;
        for (BarSlot& slot : row)
            if (slot.kind == BarSlot::Kind::FixedSpace)
                slot.width *= spacing;
        free = std::min(0.0, free + (spaces + gaps) * (1 - spacing));
    }
    if (free < 0 && items > 0) {
        const double factor = std::max(0.0, (items + free) / items);
        for (BarSlot& slot : row)
            if (slot.kind == BarSlot::Kind::Item)
                slot.width *= factor;
        free = 0;
    }
    const double share = flexible > 0 ? std::max(0.0, free) / flexible : 0;
    for (BarSlot& slot : row)
        if (slot.kind == BarSlot::Kind::FlexibleSpace)
            slot.width = share;
    return gap;
}

void paintBar(QPainter& painter, const QRectF& rect, const QColor& tint, const Image& image,
    bool translucent, bool topLine)
{
    if (!image.isNull()) {
        image.draw(painter, rect);
    } else {
        QColor fill = tint.isValid() ? tint : QColor(247, 247, 247);
        if (translucent)
            fill.setAlphaF(std::min(double(fill.alphaF()), 0.94));
        painter.fillRect(rect, fill);
    }
    // A hairline separates the bar from the content.
    painter.setPen(QPen(QColor(0, 0, 0, 60), 0.5));
    if (topLine)
        painter.drawLine(
            QPointF(rect.left(), rect.top() + 0.25), QPointF(rect.right(), rect.top() + 0.25));
    else
        painter.drawLine(QPointF(rect.left(), rect.bottom() - 0.25),
            QPointF(rect.right(), rect.bottom() - 0.25));
}

} // namespace platform::ui
