#include "widgets/ProgressHUDRoundedButton.h"

#include "platform/ui/Layer.h"

#include <cmath>

using namespace platform::ui;

ProgressHUDRoundedButton::ProgressHUDRoundedButton(QWidget* parent)
    : ProgressHUDRoundedButton(QRectF(), parent)
{
}

ProgressHUDRoundedButton::ProgressHUDRoundedButton(const QRectF& frame, QWidget* parent)
    : Button(frame, parent)
{
    layer()->setBorderWidth(1.0);
}

void ProgressHUDRoundedButton::layoutSubviews()
{
    Button::layoutSubviews();
    layer()->setCornerRadius(std::ceil(bounds().height() * 0.5));
}

QSizeF ProgressHUDRoundedButton::intrinsicContentSize() const
{
    if (!hasTargets())
        return QSizeF(0, 0);
    const QSizeF size = sizeThatFits(QSizeF());
    return QSizeF(size.width() + 20, size.height());
}

void ProgressHUDRoundedButton::setTitleColor(const QColor& color, unsigned state)
{
    Button::setTitleColor(color, state);
    setHighlighted(isHighlighted());
    layer()->setBorderColor(color);
}

void ProgressHUDRoundedButton::setHighlighted(bool highlighted)
{
    Button::setHighlighted(highlighted);
    if (highlighted) {
        QColor tint = titleColorForState(ControlStateSelected);
        tint.setAlphaF(0.1f);
        setBackgroundColor(tint);
    } else {
        setBackgroundColor(Qt::transparent);
    }
}
