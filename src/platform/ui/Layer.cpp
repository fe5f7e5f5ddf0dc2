#include "platform/ui/Layer.h"

#include "platform/ui/Animation.h"
#include "platform/ui/View.h"

namespace platform::ui {

Layer::~Layer() = default;

void Layer::setNeedsDisplay()
{
    if (m_view)
        m_view->layerChanged();
}

void Layer::setCornerRadius(double radius)
{
    m_cornerRadius = std::max(0.0, radius);
    setNeedsDisplay();
}

void Layer::setMaskedCorners(unsigned corners)
{
    m_maskedCorners = corners & AllCorners;
    setNeedsDisplay();
}

void Layer::setMasksToBounds(bool masks)
{
    m_masksToBounds = masks;
    setNeedsDisplay();
}

void Layer::setBorderWidth(double width)
{
    m_borderWidth = std::max(0.0, width);
    setNeedsDisplay();
}

void Layer::setBorderColor(const QColor& color)
{
    m_borderColor = color;
    setNeedsDisplay();
}

void Layer::setShadowColor(const QColor& color)
{
    m_shadowColor = color;
    setNeedsDisplay();
}

void Layer::setShadowOpacity(double opacity)
{
    opacity = std::clamp(opacity, 0.0, 1.0);
    const double from = m_presentedShadowOpacity;
    m_shadowOpacity = opacity;
    if (m_view
        && Animation::record(
            m_view, "shadowOpacity", from, opacity,
            [this](const QVariant& v) { applyShadowOpacity(v.toDouble()); },
            [this] { return QVariant(m_presentedShadowOpacity); }))
        return;
    applyShadowOpacity(opacity);
}

void Layer::applyShadowOpacity(double opacity)
{
    m_presentedShadowOpacity = opacity;
    setNeedsDisplay();
}

void Layer::setShadowOffset(const QPointF& offset)
{
    m_shadowOffset = offset;
    setNeedsDisplay();
}

void Layer::setShadowRadius(double radius)
{
    m_shadowRadius = std::max(0.0, radius);
    setNeedsDisplay();
}

void Layer::setShadowPath(const QPainterPath& path)
{
    if (path == m_shadowPath)
        return;
    m_shadowPath = path;
    setNeedsDisplay();
}

void Layer::copyBaseState(const Layer& other)
{
    m_cornerRadius = other.m_cornerRadius;
    m_maskedCorners = other.m_maskedCorners;
    m_masksToBounds = other.m_masksToBounds;
    m_borderWidth = other.m_borderWidth;
    m_borderColor = other.m_borderColor;
    m_shadowColor = other.m_shadowColor;
    m_shadowOpacity = other.m_shadowOpacity;
    m_presentedShadowOpacity = other.m_presentedShadowOpacity;
    m_shadowOffset = other.m_shadowOffset;
    m_shadowRadius = other.m_shadowRadius;
    m_shadowPath = other.m_shadowPath;
}

void Layer::drawOver(QPainter&, const QRectF&)
{
}

void Layer::layoutSublayers()
{
}

} // namespace platform::ui
