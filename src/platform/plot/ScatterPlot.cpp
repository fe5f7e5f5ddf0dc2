#include "platform/plot/ScatterPlot.h"

#include "platform/plot/LabelSpace.h"
#include "platform/plot/PlotSpace.h"

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <array>
#include <climits>
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
        double column = 0;
        double low = 0;
        double high = 0;
        QPointF first;
        // Points far outside the plot area are joined by the part of their segment near it.
        const QRectF drawable = space.drawableArea();
        const auto addSegment = [&](QLineF segment) {
            if (PlotSpace::clipLine(segment, drawable))
                segments.append(segment);
        };
        const auto closeColumn = [&] {
            if (high > low)
                addSegment(QLineF(first.x(), low, first.x(), high));
        };
        for (qsizetype i = 0; i < recordCount(); ++i) {
            const QPointF point = viewPointOfRecord(space, i);
            if (!std::isfinite(point.x()) || !std::isfinite(point.y())) {
                if (started)
                    closeColumn();
                started = false;
                continue;
            }
            const double here = std::floor(point.x());
            if (started && here == column) {
                low = std::min(low, point.y());
                high = std::max(high, point.y());
                last = point;
                continue;
            }
            if (started) {
                closeColumn();
                addSegment(QLineF(last, point));
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
    // More records than pixel columns: symbols come from a few images made once.
    if (m_plotSymbol && recordCount() > space.plotArea().width()
        && painter.deviceTransform().type() <= QTransform::TxTranslate) {
        drawSymbolImages(painter, space);
    } else if (m_plotSymbol) {
        QPointF drawn(-1e300, -1e300);
        const QRectF drawable = space.drawableArea();
        for (qsizetype i = 0; i < recordCount(); ++i) {
            const QPointF point = viewPointOfRecord(space, i);
            if (!drawable.contains(point))
                continue;
            // A symbol within a pixel of the one drawn before would look the same.
            if (std::abs(point.x() - drawn.x()) < 1 && std::abs(point.y() - drawn.y()) < 1)
                continue;
            drawn = point;
            drawSymbol(painter, point);
        }
    }
    painter.restore();
}

void ScatterPlot::drawSymbol(QPainter& painter, const QPointF& point) const
{
    const QSizeF size = m_plotSymbol->size;
    const QRectF box(
        point.x() - size.width() / 2, point.y() - size.height() / 2, size.width(), size.height());
    QPainterPath ellipse;
    ellipse.addEllipse(box);
    m_plotSymbol->fill.fillPath(painter, ellipse);
    if (m_plotSymbol->lineStyle) {
        painter.setPen(m_plotSymbol->lineStyle->pen());
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(ellipse);
    }
}

void ScatterPlot::drawSymbolImages(QPainter& painter, const PlotSpace& space) const
{
    // One image per quarter-pixel offset, so a symbol lands where its own path would.
    constexpr int Steps = 4;
    const QSizeF size = m_plotSymbol->size;
    const double line = m_plotSymbol->lineStyle ? m_plotSymbol->lineStyle->lineWidth : 0;
    const int margin = int(std::ceil(std::max(size.width(), size.height()) / 2 + line)) + 1;
    const int side = 2 * margin + 1;
    std::array<QImage, Steps * Steps> images;
    const QTransform device = painter.deviceTransform();
    painter.save();
    painter.resetTransform();
    QPoint drawn(INT_MIN, INT_MIN);
    int drawnStep = -1;
    for (qsizetype i = 0; i < recordCount(); ++i) {
        const QPointF point = viewPointOfRecord(space, i);
        if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
            continue;
        const QPointF at = device.map(point);
        if (std::abs(at.x()) > 1e6 || std::abs(at.y()) > 1e6)
            continue;
        const int stepX
            = std::clamp(int(std::floor((at.x() - std::floor(at.x())) * Steps)), 0, Steps - 1);
        const int stepY
            = std::clamp(int(std::floor((at.y() - std::floor(at.y())) * Steps)), 0, Steps - 1);
        const QPoint pixel(int(std::floor(at.x())), int(std::floor(at.y())));
        const int step = stepY * Steps + stepX;
        // The same image at the same place again would change nothing.
        if (pixel == drawn && step == drawnStep)
            continue;
        drawn = pixel;
        drawnStep = step;
        QImage& image = images[size_t(step)];
        if (image.isNull()) {
            image = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter symbol(&image);
            symbol.setRenderHints(painter.renderHints());
            drawSymbol(
                symbol, QPointF(margin + (stepX + 0.5) / Steps, margin + (stepY + 0.5) / Steps));
        }
        painter.drawImage(pixel - QPoint(margin, margin), image);
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
    const QRectF drawable = space.drawableArea();
    const auto tryLabel = [&](qsizetype i) {
        const TextLayer& label = *dataLabel(i);
        const QPointF anchor = viewPointOfRecord(space, i) - QPointF(0, labelOffset());
        if (!drawable.contains(anchor) || taken.covers(anchor))
            return;
        const QPointF content(0.5, 0.0);
        const QRectF place = label.boundsAt(anchor, content, labelRotation());
        if (!taken.take(place))
            return;
        label.draw(painter, anchor, content, labelRotation());
    };
    // Many points to a pixel column: the highest one's label.
    const auto place = [&](qsizetype i) -> std::optional<LabelPlace> {
        const QPointF point = viewPointOfRecord(space, i);
        if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
            return std::nullopt;
        return LabelPlace { point.x(), -point.y() };
    };
    tryLabels(space, place, tryLabel);
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
