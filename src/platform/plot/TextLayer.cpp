#include "platform/plot/TextLayer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

#include <cmath>

namespace platform::plot {

namespace {

QTransform turn(double rotation)
{
    // Counter-clockwise on a screen whose y points down.
    return QTransform().rotateRadians(-rotation);
}

} // namespace

QSizeF TextLayer::size() const
{
    const QFontMetricsF metrics(textStyle.font);
    return { std::ceil(metrics.horizontalAdvance(text)) + 2 * Margin,
        std::ceil(metrics.height()) + 2 * Margin };
}

QRectF TextLayer::boundsAt(
    const QPointF& anchor, const QPointF& contentAnchor, double rotation) const
{
    const QSizeF box = size();
    const QRectF turned = turn(rotation).mapRect(QRectF(QPointF(0, 0), box));
    const double x = anchor.x() - contentAnchor.x() * turned.width();
    const double y = anchor.y() - (1 - contentAnchor.y()) * turned.height();
    return { x, y, turned.width(), turned.height() };
}

void TextLayer::draw(
    QPainter& painter, const QPointF& anchor, const QPointF& contentAnchor, double rotation) const
{
    if (text.isEmpty())
        return;
    const QSizeF box = size();
    const QRectF place = boundsAt(anchor, contentAnchor, rotation);
    painter.save();
    painter.translate(place.center());
    painter.setTransform(turn(rotation), true);
    const QRectF local(-box.width() / 2, -box.height() / 2, box.width(), box.height());
    fill.fillRect(painter, local);
    painter.setFont(textStyle.font);
    painter.setPen(textStyle.color);
    painter.drawText(local, Qt::AlignCenter, text);
    painter.restore();
}

} // namespace platform::plot
