#include "platform/ui/BarPainting.h"

#include <QPainter>

#include <algorithm>

namespace platform::ui {

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
