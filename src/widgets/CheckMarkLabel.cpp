#include "widgets/CheckMarkLabel.h"

#include "widgets/MetroLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

const QString CheckMarkLabel::CheckedText = QStringLiteral("\u2705");
const QString CheckMarkLabel::UncheckedText = QStringLiteral("\u2B1C");

CheckMarkLabel::CheckMarkLabel(QWidget* parent)
    : Label(parent)
{
    initStyle();
}

CheckMarkLabel::CheckMarkLabel(const QRectF& frame, QWidget* parent)
    : Label(frame, parent)
{
    initStyle();
}

void CheckMarkLabel::initStyle()
{
    setTag(Tag);
    MetroLabel::styleAsRowLabel(this);
}

void CheckMarkLabel::setChecked(bool checked)
{
    m_checked = checked;
    setText(checked ? CheckedText : UncheckedText);
}

namespace {

double boxSide(const QFont& font)
{
    return QFontMetricsF(font).height() * 0.8;
}

} // namespace

double CheckMarkLabel::widthBefore(const QFont& font, double measuredSample)
{
    const double gap = QFontMetricsF(font).height() * 0.3;
    return std::max(measuredSample, 1 + boxSide(font) + gap);
}

void CheckMarkLabel::drawRect(QPainter& painter, const QRectF& rect)
{
    // A box as high as the font's capitals, at the left and centred vertically.
    const double side = std::min(boxSide(fontForDrawing()), rect.height());
    const QRectF box(rect.x() + 1, rect.center().y() - side / 2, side, side);
    painter.setRenderHint(QPainter::Antialiasing);
    const double radius = side * 0.2;
    if (m_checked) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x34, 0xA8, 0x53));
        painter.drawRoundedRect(box, radius, radius);
        QPainterPath tick;
        tick.moveTo(box.x() + side * 0.22, box.y() + side * 0.52);
        tick.lineTo(box.x() + side * 0.42, box.y() + side * 0.72);
        tick.lineTo(box.x() + side * 0.78, box.y() + side * 0.30);
        painter.setPen(QPen(
            Qt::white, std::max(1.5, side * 0.12), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    } else {
        painter.setPen(QPen(QColor(0x9A, 0xA0, 0xA6), std::max(1.0, side * 0.08)));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    }
}
