#include "platform/plot/TextLayer.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QTransform>

#include <cmath>
#include <utility>

namespace platform::plot {

namespace {

QTransform turn(double rotation)
{
    // Counter-clockwise on a screen whose y points down.
    return QTransform().rotateRadians(-rotation);
}

// Where a box of the size lies, turned, with its point at the content anchor on the anchor.
QRectF placeOf(
    const QSizeF& box, const QPointF& anchor, const QPointF& contentAnchor, double rotation)
{
    const QRectF turned = turn(rotation).mapRect(QRectF(QPointF(0, 0), box));
    const double x = anchor.x() - contentAnchor.x() * turned.width();
    const double y = anchor.y() - (1 - contentAnchor.y()) * turned.height();
    return { x, y, turned.width(), turned.height() };
}

} // namespace

QSizeF TextLayer::size() const
{
    // A chart measures the same labels at every paint, and once more to make room for them:
    // the sizes are kept, each thread its own, a few thousand at most.
    thread_local QHash<std::pair<QFont, QString>, QSizeF> kept;
    const std::pair key { textStyle.font, text };
    const auto found = kept.constFind(key);
    if (found != kept.constEnd())
        return *found;
    const QFontMetricsF metrics(textStyle.font);
    const QSizeF measured { std::ceil(metrics.horizontalAdvance(text)) + 2 * Margin,
        std::ceil(metrics.height()) + 2 * Margin };
    constexpr qsizetype kKeptSizes = 4096;
    if (kept.size() >= kKeptSizes)
        kept.clear();
    kept.insert(key, measured);
    return measured;
}

QRectF TextLayer::boundsAt(
    const QPointF& anchor, const QPointF& contentAnchor, double rotation) const
{
    return placeOf(size(), anchor, contentAnchor, rotation);
}

QPolygonF TextLayer::outlineAt(
    const QPointF& anchor, const QPointF& contentAnchor, double rotation) const
{
    const QSizeF box = size();
    const QPointF centre = placeOf(box, anchor, contentAnchor, rotation).center();
    const QTransform around = turn(rotation);
    const double halfWidth = box.width() / 2;
    const double halfHeight = box.height() / 2;
    QPolygonF outline;
    for (const QPointF corner : { QPointF(-halfWidth, -halfHeight), QPointF(halfWidth, -halfHeight),
             QPointF(halfWidth, halfHeight), QPointF(-halfWidth, halfHeight) })
        outline.append(centre + around.map(corner));
    return outline;
}

void TextLayer::draw(
    QPainter& painter, const QPointF& anchor, const QPointF& contentAnchor, double rotation) const
{
    if (text.isEmpty())
        return;
    const QSizeF box = size();
    const QRectF place = placeOf(box, anchor, contentAnchor, rotation);
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
