#include "platform/plot/Legend.h"

#include "platform/plot/Plot.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace platform::plot {

const QString Legend::Ellipsis = QStringLiteral("\u2026");

namespace {

constexpr double kPadding = 6.0;
constexpr double kSwatchGap = 4.0;
constexpr double kColumnGap = 10.0;

} // namespace

QList<Legend::Entry> Legend::entriesOf(const QList<Plot*>& plots)
{
    QList<Entry> entries;
    for (Plot* plot : plots) {
        if (!plot || plot->isHidden())
            continue;
        for (qsizetype i = 0; i < plot->legendEntryCount(); ++i)
            entries.append({ plot->legendTitle(i), plot->legendFill(i) });
    }
    return entries;
}

Legend::Layout Legend::layout(const QList<Entry>& entries, const QRectF& bounds) const
{
    Layout result;
    if (entries.isEmpty())
        return result;
    const QFontMetricsF metrics(m_textStyle.font);
    const double lineHeight = std::ceil(metrics.height());
    const double swatch = lineHeight * 0.8;
    result.rowHeight = lineHeight + 2;
    const qsizetype rowsFit = std::max<qsizetype>(
        1, qsizetype((bounds.height() * MaximumHeightShare - 2 * kPadding) / result.rowHeight));
    // Only what can be shown is measured.
    const qsizetype measured = std::min(entries.size(), rowsFit * m_columns);
    double textWidth = 0;
    for (qsizetype i = 0; i < measured; ++i)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(entries[i].title));
    const double widest
        = (bounds.width() * MaximumWidthShare - 2 * kPadding) / m_columns - kColumnGap;
    result.columnWidth = std::max(swatch + kSwatchGap + metrics.horizontalAdvance(Ellipsis),
        std::min(swatch + kSwatchGap + std::ceil(textWidth), widest));
    const qsizetype rowsWanted = (entries.size() + m_columns - 1) / m_columns;
    const qsizetype rowsRoom = std::max<qsizetype>(
        1, qsizetype((bounds.height() * MaximumHeightShare - 2 * kPadding) / result.rowHeight));
    const qsizetype rows = std::min(rowsWanted, rowsRoom);
    const qsizetype cells = rows * m_columns;
    if (entries.size() > cells) {
        result.shown = entries.mid(0, cells - 1);
        result.shown.append({ Ellipsis, Fill() });
    } else {
        result.shown = entries;
    }
    const int columns = int(std::min<qsizetype>(m_columns, result.shown.size()));
    const QSizeF size(2 * kPadding + columns * result.columnWidth + (columns - 1) * kColumnGap,
        2 * kPadding + rows * result.rowHeight);
    const QPointF corner(bounds.right() + m_displacement.x(), bounds.bottom() - m_displacement.y());
    result.box = QRectF(corner - QPointF(size.width(), size.height()), size);
    return result;
}

void Legend::draw(QPainter& painter, const QList<Plot*>& plots, const QRectF& bounds) const
{
    const Layout placed = layout(entriesOf(plots), bounds);
    if (placed.shown.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double inset = m_border ? m_border->lineWidth / 2 : 0;
    QPainterPath box;
    box.addRoundedRect(
        placed.box.adjusted(inset, inset, -inset, -inset), m_cornerRadius, m_cornerRadius);
    m_fill.fillPath(painter, box);
    if (m_border) {
        painter.setPen(m_border->pen());
        painter.drawPath(box);
    }
    const QFontMetricsF metrics(m_textStyle.font);
    const double swatch = std::ceil(metrics.height()) * 0.8;
    painter.setFont(m_textStyle.font);
    for (qsizetype i = 0; i < placed.shown.size(); ++i) {
        const Entry& entry = placed.shown[i];
        const qsizetype row = i / m_columns;
        const qsizetype column = i % m_columns;
        const double x = placed.box.left() + kPadding + column * (placed.columnWidth + kColumnGap);
        const double y = placed.box.top() + kPadding + row * placed.rowHeight;
        const QRectF swatchRect(x, y + (placed.rowHeight - swatch) / 2, swatch, swatch);
        if (!entry.swatch.isNone()) {
            QPainterPath square;
            square.addRoundedRect(swatchRect, 2, 2);
            entry.swatch.fillPath(painter, square);
        }
        const QRectF textRect(swatchRect.right() + kSwatchGap, y,
            placed.columnWidth - swatch - kSwatchGap, placed.rowHeight);
        painter.setPen(m_textStyle.color);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(entry.title, Qt::ElideRight, textRect.width()));
    }
    painter.restore();
}

} // namespace platform::plot
