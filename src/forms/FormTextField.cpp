#include "forms/FormTextField.h"

#include "forms/FormTableViewCell.h"

#include <QFontMetricsF>
#include <QPainter>

FormTextField::FormTextField(QWidget* parent)
    : TextField(parent)
{
}

void FormTextField::setPrefix(const QString& prefix)
{
    m_prefix = prefix;
    update();
}

void FormTextField::setSuffix(const QString& suffix)
{
    m_suffix = suffix;
    update();
}

QString FormTextField::shownText() const
{
    return m_prefix + text() + m_suffix;
}

void FormTextField::drawTextInRect(QPainter& painter, const QRectF& rect)
{
    if (m_prefix.isEmpty() && m_suffix.isEmpty()) {
        TextField::drawTextInRect(painter, rect);
        return;
    }
    // One line of the font's size, centred in the rectangle, cut at its end.
    const double size = FormTableViewCell::pointSize(font());
    const QRectF line(0, (rect.height() - size) * 0.5, rect.width(), size);
    painter.setFont(font());
    painter.setPen(textColor());
    const QString elided
        = QFontMetricsF(font()).elidedText(shownText(), Qt::ElideRight, rect.width());
    painter.drawText(line.translated(rect.x(), rect.y()),
        int(textAlignment() | Qt::AlignVCenter) | Qt::TextSingleLine | Qt::TextDontClip, elided);
}
