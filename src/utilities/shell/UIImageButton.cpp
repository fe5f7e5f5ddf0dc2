#include "utilities/shell/UIImageButton.h"

#include "utilities/shell/StyleServices.h"

#include <QPointer>

UIImageButton::UIImageButton(const QString& colorImage, platform::ui::Control::Action action,
    QObject* target, quint64 tag, const QRectF& frame, QWidget* parent)
    : Button(frame, parent)
{
    setTag(int(tag));
    StyleServices* style = StyleServices::instance();
    const QColor tint = style ? style->buttonTitleColor() : QColor();
    const auto image = platform::ui::Image::named(colorImage);
    setImage(tint.isValid() ? platform::ui::Image::masked(image, tint) : image,
        platform::ui::ControlStateNormal);
    QPointer<QObject> guard(target);
    const bool hasTarget = target != nullptr;
    if (action)
        addTarget(
            [guard, hasTarget, action](platform::ui::Control* sender) {
                if (!hasTarget || guard)
                    action(sender);
            },
            platform::ui::ControlEventTouchUpInside);
}
