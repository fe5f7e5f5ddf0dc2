#include "platform/plot/ScatterPlot.h"

#include "platform/plot/LabelSpace.h"
#include "platform/plot/PlotSpace.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace platform::plot {

QPointF ScatterPlot::viewPointOfRecord(const PlotSpace& space, qsizetype index) const
{
    return space.viewPoint(number(X, index), number(Y, index));
}

void ScatterPlot::draw(QPainter& painter, const PlotSpace& space) const
{
    if (isHidden())
        return;
    painter.save();
    painter.setClipRect(space.plotArea());
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_dataLineStyle && recordCount() > 1) {
        // Segments drawn one by one, their round caps making the joins: the rasteriser
        // fills a long self-crossing polyline far more slowly.
        QPen pen = m_dataLineStyle->pen();
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        QList<QLineF> segments;
        segments.reserve(recordCount());
        QPointF last;
        bool started = false;
        for (qsizetype i = 0; i < recordCount(); ++i) {
            const QPointF point = viewPointOfRecord(space, i);
            if (!std::isfinite(point.x()) || !std::isfinite(point.y())) {
                started = false;
                continue;
            }
            if (started)
                segments.append(QLineF(last, point));
            last = point;
            started = true;
        }
        painter.drawLines(segments);
    }
    if (m_plotSymbol) {
        for (qsizetype i = 0; i < recordCount(); ++i) {
            const QPointF point = viewPointOfRecord(space, i);
            if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
                continue;
            const QSizeF size = m_plotSymbol->size;
            const QRectF box(point.x() - size.width() / 2, point.y() - size.height() / 2,
                size.width(), size.height());
            QPainterPath ellipse;
            ellipse.addEllipse(box);
            m_plotSymbol->fill.fillPath(painter, ellipse);
            if (m_plotSymbol->lineStyle) {
                painter.setPen(m_plotSymbol->lineStyle->pen());
                painter.setBrush(Qt::NoBrush);
                painter.drawPath(ellipse);
            }
        }
    }
    painter.restore();
}

void ScatterPlot::drawLabels(QPainter& painter, const PlotSpace& space) const
{
    if (isHidden())
        return;
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    LabelSpace taken;
    for (qsizetype i = 0; i < recordCount(); ++i) {
        const auto& label = dataLabel(i);
        if (!label || label->text.isEmpty())
            continue;
        const QPointF point = viewPointOfRecord(space, i);
        if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
            continue;
        const QPointF anchor = point - QPointF(0, labelOffset());
        const QPointF content(0.5, 0.0);
        const QRectF place = label->boundsAt(anchor, content, labelRotation());
        if (!taken.take(place))
            continue;
        label->draw(painter, anchor, content, labelRotation());
    }
    painter.restore();
}

std::optional<qsizetype> ScatterPlot::recordAt(const PlotSpace& space, const QPointF& point) const
{
    std::optional<qsizetype> nearest;
    double best = TouchReach;
    for (qsizetype i = 0; i < recordCount(); ++i) {
        const double distance = QLineF(viewPointOfRecord(space, i), point).length();
        if (distance <= best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

} // namespace platform::plot
