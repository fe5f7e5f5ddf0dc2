#include "forms/FormBadgeLabel.h"

#include "platform/ui/Font.h"

#include <QPainter>
#include <QPainterPath>

FormBadgeLabel::FormBadgeLabel(QWidget* parent)
    : Label(QRectF(0, 0, 100, 20), parent)
{
    setTextColor(Qt::white);
    setBackgroundColor(Qt::transparent);
    m_badgeColor = QColor::fromRgbF(0.53f, 0.6f, 0.738f, 1);
    setFont(platform::ui::Font::boldSystem(14));
    setTextAlignment(Qt::AlignCenter);
    setClipsToBounds(false);
}

QColor FormBadgeLabel::badgeColor() const
{
    return m_badgeColor.isValid() ? m_badgeColor : tintColor();
}

void FormBadgeLabel::setBadgeColor(const QColor& color)
{
    m_badgeColor = color;
    update();
}

void FormBadgeLabel::setBadgeFrame(const QRectF& frame)
{
    const double side = frame.height() / 3;
    setFrame(frame.adjusted(-side, 0, side, 0));
}

void FormBadgeLabel::drawRect(QPainter& painter, const QRectF& rect)
{
    const QRectF b = bounds();
    const double r = b.height() / 2;
    QPainterPath pill;
    pill.moveTo(r, b.height());
    pill.arcTo(QRectF(0, 0, 2 * r, 2 * r), 270, -180);
    pill.lineTo(b.width() - r, 0);
    pill.arcTo(QRectF(b.width() - 2 * r, 0, 2 * r, 2 * r), 90, -180);
    pill.closeSubpath();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(pill, badgeColor());
    painter.restore();
    Label::drawRect(painter, rect);
}
