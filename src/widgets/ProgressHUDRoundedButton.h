#pragma once

#include "platform/ui/Button.h"

// The progress overlay's optional button: a capsule outlined in its title colour, tinted
// while pressed. Without an action it takes no room.
class ProgressHUDRoundedButton : public platform::ui::Button {
    Q_OBJECT
public:
    explicit ProgressHUDRoundedButton(QWidget* parent = nullptr);
    explicit ProgressHUDRoundedButton(const QRectF& frame, QWidget* parent = nullptr);

    // Also makes the outline that colour.
    void setTitleColor(const QColor& color, unsigned state = platform::ui::ControlStateNormal);
    void setHighlighted(bool highlighted) override;
    void layoutSubviews() override;

    // Zero until an action is registered; then the title's size and 20 points more width.
    QSizeF intrinsicContentSize() const;
};
