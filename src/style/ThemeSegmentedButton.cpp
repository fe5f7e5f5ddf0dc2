#include "style/ThemeSegmentedButton.h"

#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/KivoAppDelegate.h"

namespace {
QVariantList toItems(const QStringList& items)
{
    QVariantList list;
    for (const QString& item : items)
        list.append(item);
    return list;
}
constexpr int kBarStyle = 2;
} // namespace

ThemeSegmentedButton::ThemeSegmentedButton(const QStringList& items, QWidget* parent)
    : ThemeSegmentedButton(toItems(items), parent)
{
}

ThemeSegmentedButton::ThemeSegmentedButton(const QVariantList& items, QWidget* parent)
    : SegmentedControl(items, parent)
{
    initStyle();
}

void ThemeSegmentedButton::initStyle()
{
    setMomentary(true);
    setSegmentedControlStyle(kBarStyle);
    KivoAppDelegate* delegate = KivoAppDelegate::ApplicationDelegate();
    Theme* style = Theme::current();
    Preferences* preferences = delegate->currentPreferences();
    if (!style)
        return;
    setTitleTextAttributes(style->buttonTextAttributes(), platform::ui::ControlStateNormal);
    if (DeviceHelper::isIOS7())
        setTintColor(style->buttonTitleColor().toQColor());
    // Borders are off unless the setting says otherwise, as for the themed button.
    const bool borderless = !preferences || preferences->disablebuttonborder();
    if (!borderless)
        setBackgroundImage(style->ButtonBackGround(), platform::ui::ControlStateNormal);
    setFrame(QRectF(QPointF(0, 0), sizeThatFits({})));
}
