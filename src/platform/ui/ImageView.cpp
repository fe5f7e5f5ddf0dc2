#include "platform/ui/ImageView.h"

#include <QPainter>

namespace platform::ui {

ImageView::ImageView(const Image& image, QWidget* parent)
    : View(parent)
    , m_image(image)
{
    setUserInteractionEnabled(false);
    if (!image.isNull())
        setFrame(QRectF(QPointF(0, 0), image.size()));
}

void ImageView::setImage(const Image& image)
{
    m_image = image;
    setNeedsDisplay();
    emit imageChanged();
}

void ImageView::setHighlightedImage(const Image& image)
{
    m_highlightedImage = image;
    setNeedsDisplay();
}

void ImageView::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    setNeedsDisplay();
}

void ImageView::setContentMode(ContentMode mode)
{
    m_mode = mode;
    setNeedsDisplay();
}

QSizeF ImageView::sizeThatFits(const QSizeF&) const
{
    return m_image.size();
}

QRectF ImageView::imageRect() const
{
    const QRectF b = bounds();
    const Image& image
        = m_highlighted && !m_highlightedImage.isNull() ? m_highlightedImage : m_image;
    const QSizeF s = image.size();
    if (image.isNull() || s.isEmpty())
        return {};
    switch (m_mode) {
    case ContentMode::ScaleToFill:
        return b;
    case ContentMode::ScaleAspectFit:
    case ContentMode::ScaleAspectFill: {
        const double fx = b.width() / s.width(), fy = b.height() / s.height();
        const double f
            = m_mode == ContentMode::ScaleAspectFit ? std::min(fx, fy) : std::max(fx, fy);
        const QSizeF t(s.width() * f, s.height() * f);
        return QRectF(
            b.center().x() - t.width() / 2, b.center().y() - t.height() / 2, t.width(), t.height());
    }
    case ContentMode::Center:
        return QRectF(
            b.center().x() - s.width() / 2, b.center().y() - s.height() / 2, s.width(), s.height());
    case ContentMode::Top:
        return QRectF(b.center().x() - s.width() / 2, 0, s.width(), s.height());
    case ContentMode::Bottom:
        return QRectF(
            b.center().x() - s.width() / 2, b.bottom() - s.height(), s.width(), s.height());
    case ContentMode::Left:
        return QRectF(0, b.center().y() - s.height() / 2, s.width(), s.height());
    case ContentMode::Right:
        return QRectF(
            b.right() - s.width(), b.center().y() - s.height() / 2, s.width(), s.height());
    }
    return b;
}

void ImageView::drawRect(QPainter& painter, const QRectF& rect)
{
    const Image& image
        = m_highlighted && !m_highlightedImage.isNull() ? m_highlightedImage : m_image;
    if (m_mode != ContentMode::ScaleAspectFill) {
        image.draw(painter, imageRect());
        return;
    }
    painter.save();
    painter.setClipRect(rect);
    image.draw(painter, imageRect());
    painter.restore();
}

} // namespace platform::ui
