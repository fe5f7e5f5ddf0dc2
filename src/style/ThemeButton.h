#pragma once

#include "platform/ui/Button.h"

// A button styled from the current style: title font and colour, title shrinking to fit,
// a clear background, and (with button borders on) the style's rounded background.
class ThemeButton : public platform::ui::Button {
    Q_OBJECT
public:
    explicit ThemeButton(QWidget* parent = nullptr);
    explicit ThemeButton(const QRectF& frame, QWidget* parent = nullptr);
    // 27 high and as wide as the title in the style's button font plus 10.
    explicit ThemeButton(const QString& title, QWidget* parent = nullptr);

    void initStyle();

    static constexpr double Height = 27.0;
    static constexpr double TitlePadding = 10.0;
};
