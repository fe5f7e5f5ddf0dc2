#include "platform/ui/Button.h"

#include "platform/ui/Font.h"

#include <QFontMetricsF>
#include <QPainter>

namespace platform::ui {

Button::Button(QWidget* parent)
    : Control(parent)
    , m_font(Font::named("HelveticaNeue-Medium", 15))
{
    setCursor(Qt::PointingHandCursor);
}

Button::Button(const QRectF& frame, QWidget* parent)
    : Button(parent)
{
    setFrame(frame);
}

Button* Button::withType(Type type, QWidget* parent)
{
    auto* button = new Button(parent);
    button->m_type = type;
    return button;
}

template<class T> T Button::lookup(const QMap<unsigned, T>& map, unsigned state) const
{
    if (map.contains(state))
        return map.value(state);
    // Selected-and-highlighted falls back to selected, then to highlighted.
    if ((state & ControlStateSelected) && map.contains(ControlStateSelected))
        return map.value(ControlStateSelected);
    if ((state & ControlStateHighlighted) && map.contains(ControlStateHighlighted))
        return map.value(ControlStateHighlighted);
    if ((state & ControlStateDisabled) && map.contains(ControlStateDisabled))
        return map.value(ControlStateDisabled);
    return map.value(ControlStateNormal);
}

void Button::setTitle(const QString& title, unsigned state)
{
    m_titles[state] = title;
    update();
}

QString Button::titleForState(unsigned state) const
{
    return lookup(m_titles, state);
}

void Button::setTitleColor(const QColor& color, unsigned state)
{
    m_titleColors[state] = color;
    update();
}

QColor Button::titleColorForState(unsigned state) const
{
    QColor color = lookup(m_titleColors, state);
    if (!color.isValid())
        color = m_type == Type::System ? tintColor() : QColor(Qt::white);
    return color;
}

void Button::setImage(const Image& image, unsigned state)
{
    m_images[state] = image;
    update();
}

Image Button::imageForState(unsigned state) const
{
    return lookup(m_images, state);
}

void Button::setBackgroundImage(const Image& image, unsigned state)
{
    m_backgrounds[state] = image;
    update();
}

Image Button::backgroundImageForState(unsigned state) const
{
    return lookup(m_backgrounds, state);
}

void Button::setTitleFont(const QFont& font)
{
    m_font = font;
    update();
}

void Button::setAdjustsTitleToFitWidth(bool adjusts)
{
    m_adjustsTitle = adjusts;
    update();
}

void Button::setContentEdgeInsets(const QMarginsF& insets)
{
    m_contentInsets = insets;
    update();
}

QSizeF Button::sizeThatFits(const QSizeF&) const
{
    const QSizeF text = Font::measure(titleForState(ControlStateNormal), m_font);
    const QSizeF image = imageForState(ControlStateNormal).size();
    const double gap = !text.isEmpty() && text.width() > 0 && image.width() > 0 ? 4 : 0;
    return QSizeF(
        text.width() + image.width() + gap + m_contentInsets.left() + m_contentInsets.right(),
        std::max(text.height(), image.height()) + m_contentInsets.top() + m_contentInsets.bottom());
}

void Button::drawRect(QPainter& painter, const QRectF& rect)
{
    const unsigned s = state();
    backgroundImageForState(s).draw(painter, rect);
    const QRectF content = rect.marginsRemoved(m_contentInsets);
    const QString title = titleForState(s);
    const Image image = imageForState(s);

    QFont font = m_font;
    QFontMetricsF metrics(font);
    double textWidth = title.isEmpty() ? 0 : metrics.horizontalAdvance(title);
    QSizeF imageSize = image.size();
    if (imageSize.height() > content.height() && imageSize.height() > 0) {
        const double f = content.height() / imageSize.height();
        imageSize = QSizeF(imageSize.width() * f, imageSize.height() * f);
    }
    // An image alone shrinks to the width too (a crowded bar narrows its buttons).
    if (textWidth <= 0 && imageSize.width() > content.width() && imageSize.width() > 0) {
        const double f = std::max(0.0, content.width()) / imageSize.width();
        imageSize = QSizeF(imageSize.width() * f, imageSize.height() * f);
    }
    const double gap = textWidth > 0 && imageSize.width() > 0 ? 4 : 0;
    if (m_adjustsTitle && textWidth + imageSize.width() + gap > content.width() && textWidth > 0) {
        const double size = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF();
        for (double px = size - 1; px >= size / 2; px -= 1) {
            font.setPixelSize(int(px));
            textWidth = QFontMetricsF(font).horizontalAdvance(title);
            if (textWidth + imageSize.width() + gap <= content.width())
                break;
        }
    }
    const double total = std::min(content.width(), textWidth + imageSize.width() + gap);
    double x = content.center().x() - total / 2;
    if (!image.isNull()) {
        const QRectF target(x, content.center().y() - imageSize.height() / 2, imageSize.width(),
            imageSize.height());
        painter.save();
        if (!isEnabled())
            painter.setOpacity(0.4);
        image.draw(painter, target);
        painter.restore();
        x += imageSize.width() + gap;
    }
    if (!title.isEmpty()) {
        QColor color = titleColorForState(s);
        if (isHighlighted() && !m_titleColors.contains(ControlStateHighlighted))
            color.setAlphaF(color.alphaF() * 0.5);
        if (!isEnabled() && !m_titleColors.contains(ControlStateDisabled))
            color.setAlphaF(color.alphaF() * 0.4);
        painter.setFont(font);
        painter.setPen(color);
        const QRectF textRect(x, content.top(), content.right() - x, content.height());
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetricsF(font).elidedText(title, Qt::ElideRight, textRect.width()));
    }
    if (m_showsTouch && isHighlighted()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 90));
        painter.drawEllipse(rect.center(), rect.height() / 2, rect.height() / 2);
    }
}

} // namespace platform::ui
