#include "widgets/HUDBackgroundView.h"

#include "platform/ui/Layer.h"
#include "widgets/ProgressHUDFailures.h"

using platform::ui::View;

namespace {

// A desktop widget cannot cheaply blur what lies beneath it, so the blur of style 1 is a
// translucent fill in the tone of the blur style; the panel's colour lies over it.
QColor blurTone(int blurStyle)
{
    switch (blurStyle) {
    case HUDBackgroundView::ExtraLight:
        return QColor::fromRgbF(0.97f, 0.97f, 0.97f, 0.8f);
    case HUDBackgroundView::Dark:
        return QColor::fromRgbF(0.11f, 0.11f, 0.11f, 0.73f);
    default:
        return QColor::fromRgbF(0.97f, 0.97f, 0.97f, 0.6f);
    }
}

} // namespace

HUDBackgroundView::HUDBackgroundView(QWidget* parent)
    : HUDBackgroundView(QRectF(), parent)
{
}

HUDBackgroundView::HUDBackgroundView(const QRectF& frame, QWidget* parent)
    : View(frame, parent)
{
    setClipsToBounds(true);
    updateForBackgroundStyle();
}

void HUDBackgroundView::setStyle(int style)
{
    if (style == m_style)
        return;
    m_style = style;
    updateForBackgroundStyle();
}

void HUDBackgroundView::setBlurEffectStyle(int style)
{
    if (style == m_blurEffectStyle)
        return;
    m_blurEffectStyle = style;
    updateForBackgroundStyle();
}

void HUDBackgroundView::setColor(const QColor& color)
{
    ProgressHUDFailures::requireColor(color);
    if (color == m_color)
        return;
    m_color = color;
    updateViewsForColor();
}

void HUDBackgroundView::updateForBackgroundStyle()
{
    if (m_effectView)
        delete m_effectView.data();
    if (m_style == Blur) {
        auto* effect = new View(bounds(), nullptr);
        effect->setBackgroundColor(blurTone(m_blurEffectStyle));
        effect->setUserInteractionEnabled(false);
        effect->setAutoresizingMask(
            platform::ui::AutoresizingFlexibleWidth | platform::ui::AutoresizingFlexibleHeight);
        insertSubview(effect, 0);
        m_effectView = effect;
        layoutSubviews();
    }
    setBackgroundColor(m_color);
}

void HUDBackgroundView::updateViewsForColor()
{
    setBackgroundColor(m_color);
}

void HUDBackgroundView::layoutSubviews()
{
    View::layoutSubviews();
    // A child is not clipped to its parent's rounded corners: the fill follows them.
    if (m_effectView) {
        m_effectView->setFrame(bounds());
        m_effectView->layer()->setCornerRadius(layer()->cornerRadius());
    }
}
