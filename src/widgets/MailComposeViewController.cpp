#include "widgets/MailComposeViewController.h"

#include "style/Theme.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/KivoAppDelegate.h"

MailComposeViewController::MailComposeViewController(QObject* parent)
    : platform::ui::MailComposeViewController(parent)
{
    if (Theme* style = Theme::current())
        style->applyStyleToNavigatioBar(navigationBar());
}

void MailComposeViewController::registerAsComposer()
{
    platform::ui::MailComposeViewController::setFactory(
        [] { return new MailComposeViewController(); });
}

platform::ui::Device::StatusBarStyle MailComposeViewController::preferredStatusBarStyle() const
{
    Theme* style = Theme::current();
    if (style && UIColor_Expanded::luminance(style->toolbarColor()) > Theme::LightThreshold)
        return platform::ui::Device::StatusBarStyle::Default;
    return platform::ui::Device::StatusBarStyle::LightContent;
}
