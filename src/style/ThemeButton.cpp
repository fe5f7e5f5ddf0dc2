#include "style/ThemeButton.h"

#include "platform/ui/Font.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/KivoAppDelegate.h"

ThemeButton::ThemeButton(QWidget* parent)
    : Button(parent)
{
    initStyle();
}

ThemeButton::ThemeButton(const QRectF& frame, QWidget* parent)
    : Button(frame, parent)
{
    initStyle();
}

ThemeButton::ThemeButton(const QString& title, QWidget* parent)
    : Button(parent)
{
    initStyle();
    const double width = platform::ui::Font::measure(title, titleFont()).width() + TitlePadding;
    setFrame(QRectF(0, 0, width, Height));
    setTitle(title, platform::ui::ControlStateNormal);
}

void ThemeButton::initStyle()
{
    KivoAppDelegate* delegate = KivoAppDelegate::ApplicationDelegate();
    Theme* style = Theme::current();
    Preferences* preferences = delegate->currentPreferences();
    if (style) {
        setTitleFont(style->buttonTitleFont());
        setTitleColor(style->buttonTitleColor().toQColor(), platform::ui::ControlStateNormal);
    }
    setAdjustsTitleToFitWidth(true);
    const bool borderless = !preferences || preferences->disablebuttonborder();
    if (borderless) {
        if (DeviceHelper::isIOS7() && style)
            setTintColor(style->buttonTitleColor().toQColor());
        else
            setBackgroundImage(platform::ui::Image(), platform::ui::ControlStateNormal);
    } else if (style) {
        setBackgroundImage(style->ButtonBackGround(), platform::ui::ControlStateNormal);
    }
    setBackgroundColor(Qt::transparent);
}
