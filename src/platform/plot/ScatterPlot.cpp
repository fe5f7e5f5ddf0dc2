#include "platform/plot/ScatterPlot.h"

#include "platform/plot/LabelSpace.h"
#include "platform/plot/PlotSpace.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
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
        // Points sharing a pixel column become one vertical stroke from their lowest to
        // their highest, joined to the columns beside: what the full line would show.
        QPointF last;
        bool started = false;
        int column = 0;
        double low = 0;
        double high = 0;
        QPointF first;
        const auto closeColumn = [&] {
            if (high > low)
                segments.append(QLineF(first.x(), low, first.x(), high));
        };
        for (qsizetype i = 0; i < recordCount(); ++i) {
            const QPointF point = viewPointOfRecord(space, i);
            if (!std::isfinite(point.x()) || !std::isfinite(point.y())) {
                if (started)
                    closeColumn();
                started = false;
                continue;
            }
            const int here = int(std::floor(point.x()));
            if (started && here == column) {
                low = std::min(low, point.y());
                high = std::max(high, point.y());
                last = point;
                continue;
            }
            if (started) {
                closeColumn();
                segments.append(QLineF(last, point));
            }
            column = here;
            first = point;
            low = high = point.y();
            last = point;
            started = true;
        }
        if (started)
            closeColumn();
        painter.drawLines(segments);
    }
    if (m_plotSymbol) {
        QPointF drawn(-1e300, -1e300);
        for (qsizetype i = 0; i < recordCount(); ++i) {
            const QPointF point = viewPointOfRecord(space, i);
            if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
                continue;
            // A symbol within a pixel of the one drawn before would look the same.
            if (std::abs(point.x() - drawn.x()) < 1 && std::abs(point.y() - drawn.y()) < 1)
                continue;
            drawn = point;
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
        if (taken.covers(anchor))
            continue;
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
