#pragma once

#include "platform/plot/Fill.h"
#include "platform/plot/TextStyle.h"

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace platform::plot {

// A text on an optional background, as labels, titles and annotations show it.
struct TextLayer {
    QString text;
    TextStyle textStyle;
    Fill fill;

    // The text's size with a small margin around it.
    QSizeF size() const;
    // The rectangle the text takes when its point at `contentAnchor` (fractions of its
    // size, y up: (0.5, 0) is the middle of its lower edge) sits at `anchor`, turned by
    // `rotation` radians counter-clockwise: the anchor applies to the turned box, so a
    // turned label still stands on its point.
    QRectF boundsAt(const QPointF& anchor, const QPointF& contentAnchor, double rotation) const;
    // The four corners of the turned box placed as boundsAt places it: what the label
    // covers, where its upright bounds also hold the empty corners around a turned text.
    QPolygonF outlineAt(const QPointF& anchor, const QPointF& contentAnchor, double rotation) const;
    void draw(QPainter& painter, const QPointF& anchor, const QPointF& contentAnchor,
        double rotation) const;

    static constexpr double Margin = 2.0;
};

} // namespace platform::plot
