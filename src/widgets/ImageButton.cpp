#include "widgets/ImageButton.h"

#include "style/Theme.h"
#include "style/ThemedImages.h"

namespace {

platform::ui::Button* makeButton(const QString& colorImage, int tag)
{
    Theme* style = Theme::current();
    const platform::ui::Image image = ThemedImages::maskImage(
        colorImage, style ? style->buttonTitleColor() : Color::blackColor());
    auto* button = platform::ui::Button::withType(platform::ui::Button::Type::Custom);
    button->setTag(tag);
    button->setImage(image, platform::ui::ControlStateNormal);
    button->setFrame(QRectF(QPointF(0, 0), image.size()));
    return button;
}

} // namespace

ImageButton::ImageButton(const QString& colorImage, platform::ui::Control::Action action,
    QObject* target, int tag, QObject* parent)
    : BarButtonItem(makeButton(colorImage, tag), parent)
    , m_button(static_cast<platform::ui::Button*>(customView()))
{
    setTag(tag);
    QPointer<QObject> guard(target);
    const bool hasTarget = target != nullptr;
    if (action)
        m_button->addTarget(
            [guard, hasTarget, action](platform::ui::Control* sender) {
                if (!hasTarget || guard)
                    action(sender);
            },
            platform::ui::ControlEventTouchUpInside);
}

ImageButton::~ImageButton()
{
    // The button shows this item only; a bar that still holds it loses it with the item.
    if (m_button && m_button->parentWidget())
        m_button->deleteLater();
}
