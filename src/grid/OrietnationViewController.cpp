#include "grid/OrietnationViewController.h"

#include "platform/ui/Device.h"
#include "style/Theme.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"

const QString OrietnationViewController::DeviceOrientationKey
    = QStringLiteral("UIDeviceOrientation");

OrietnationViewController::OrietnationViewController(QObject* parent)
    : platform::ui::ViewController(parent)
{
}

OrietnationViewController::~OrietnationViewController()
{
    removeObservers();
}

Theme* OrietnationViewController::currentStyle() const
{
    return Theme::current();
}

void OrietnationViewController::viewDidLoad()
{
    platform::ui::ViewController::viewDidLoad();
    addObservers();
    m_orientation = DeviceHelper::getCurrentOrientation();
    if (Theme* style = currentStyle())
        style->applyStyle(this);
}

void OrietnationViewController::viewWillAppear(bool animated)
{
    platform::ui::ViewController::viewWillAppear(animated);
    try {
        addObservers();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void OrietnationViewController::viewWillDisappear(bool animated)
{
    try {
        platform::ui::ViewController::viewWillDisappear(animated);
        removeObservers();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void OrietnationViewController::addObservers()
{
    if (m_orientationToken)
        return;
    m_orientationToken = platform::NotificationCenter::defaultCenter().addObserver(
        platform::ui::Device::OrientationDidChangeNotification, nullptr,
        [this](const platform::Notification& notification) {
            const QVariant given = notification.userInfo.value(DeviceOrientationKey);
            deviceOrientationDidChange(given.isValid()
                    ? given.toInt()
                    : int(platform::ui::Device::current().orientation()));
        },
        true);
}

void OrietnationViewController::removeObservers()
{
    if (!m_orientationToken)
        return;
    platform::NotificationCenter::defaultCenter().removeObserver(m_orientationToken);
    m_orientationToken = 0;
}

void OrietnationViewController::deviceOrientationDidChange(int deviceOrientation)
{
    if (deviceOrientation == UnknownOrientation || deviceOrientation == FaceUp
        || deviceOrientation == FaceDown || deviceOrientation == m_orientation)
        return;
    orientationChanged();
}

void OrietnationViewController::orientationChanged()
{
    m_orientation = int(platform::ui::Device::current().orientation());
}

bool OrietnationViewController::isPortrait() const
{
    return m_orientation == int(platform::ui::Orientation::Portrait)
        || m_orientation == int(platform::ui::Orientation::PortraitUpsideDown);
}

bool OrietnationViewController::prefersStatusBarHidden() const
{
    if (DeviceHelper::isIPHONENOTCH())
        return false;
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    return !(preferences && preferences->statusbar());
}

platform::ui::Device::StatusBarStyle OrietnationViewController::preferredStatusBarStyle() const
{
    Theme* style = currentStyle();
    const double luminance = style ? UIColor_Expanded::luminance(style->toolbarColor()) : 0.0;
    return luminance > Theme::LightThreshold ? platform::ui::Device::StatusBarStyle::Default
                                             : platform::ui::Device::StatusBarStyle::LightContent;
}
