#include "utilities/shell/DeviceHelper.h"

#include "platform/ui/Device.h"

#include <QStringList>

using platform::ui::Device;

namespace {

// Foundation version numbers of the system releases the layout distinguishes.
constexpr double kFoundationIOS7 = 993.0;
constexpr double kFoundationIOS8 = 1047.25;

double mainScreenHeight()
{
    return Device::current().screenBounds().height();
}

bool systemAtLeast11()
{
    return Device::current().systemMajorVersion() >= 11.0;
}

} // namespace

bool DeviceHelper::isIPAD()
{
    return Hardware::isIPad();
}
bool DeviceHelper::isIPHONE()
{
    return Hardware::isiPhone();
}
QRectF DeviceHelper::getScreenSize()
{
    return Hardware::getScreenBoundsForCurrentOrientation();
}
bool DeviceHelper::isPortrait()
{
    return Hardware::isPortrait();
}
int DeviceHelper::getCurrentOrientation()
{
    return int(Device::current().orientation());
}
QString DeviceHelper::deviceName()
{
    return Device::current().name();
}
bool DeviceHelper::isIOS7()
{
    return Device::current().foundationVersion() > kFoundationIOS7;
}
bool DeviceHelper::isIOS8()
{
    return Device::current().foundationVersion() > kFoundationIOS8;
}

bool DeviceHelper::isIPHONE6()
{
    return isIPHONE() && mainScreenHeight() == 667.0;
}
bool DeviceHelper::isIPHONE6PLUS()
{
    return isIPHONE() && mainScreenHeight() == 736.0;
}
bool DeviceHelper::isIPHONEX()
{
    return isIPHONE() && mainScreenHeight() == 812.0;
}
bool DeviceHelper::isIPHONEXSMAX()
{
    return isIPHONE() && mainScreenHeight() >= 896.0;
}

bool DeviceHelper::isIPHONEX1()
{
    const double h = mainScreenHeight();
    return isIPHONE() && (h == 812.0 || h == 375.0);
}

bool DeviceHelper::isIPHONEXSMAX1()
{
    const double h = mainScreenHeight();
    return isIPHONE() && (h == 896.0 || h == 414.0);
}

bool DeviceHelper::isIPADPRO()
{
    return isIPAD() && mainScreenHeight() == 1366.0;
}

bool DeviceHelper::isIPHONENOTCH()
{
    return isIPHONE() && systemAtLeast11() && Device::current().safeAreaInsets().top() > 20.0;
}

QPointF DeviceHelper::safeArea()
{
    if (!systemAtLeast11())
        return QPointF(0, 0);
    const QMarginsF insets = Device::current().safeAreaInsets();
    return QPointF(float(insets.left()), float(insets.top()));
}

double DeviceHelper::getHeightDiff()
{
    if (isIPHONE6())
        return 21.0;
    const double h = mainScreenHeight();
    if (isIPAD())
        return h > 1024.0 ? h - 1024.0 : 0.0;
    return h > 667.0 ? h - 667.0 + 21.0 : 0.0;
}

void DeviceHelper::showNetworkActivityIndicator()
{
    Device::current().setNetworkActivityIndicatorVisible(true);
    Device::current().beginIgnoringInteractionEvents();
}

void DeviceHelper::hideNetworkActivityIndicator()
{
    Device::current().setNetworkActivityIndicatorVisible(false);
    try {
        Device::current().endIgnoringInteractionEvents();
    } catch (...) {
        // Touches are back or were never off; nothing to tell the caller.
    }
}

namespace Hardware {

QString platform()
{
    return Device::current().machine();
}

bool hasRetinaDisplay(const QString& machine)
{
    static const QStringList early
        = { "iPhone1,1", "iPhone1,2", "iPhone2,1", "iPod1,1", "iPod2,1", "iPod3,1" };
    return !early.contains(machine);
}

bool hasRetinaDisplay()
{
    return hasRetinaDisplay(platform());
}
bool hasMultitasking()
{
    return Device::current().multitaskingSupported();
}
bool hasCamera()
{
    return false;
}
bool isiPhone()
{
    return Device::current().isPhone();
}
bool isIPad()
{
    return Device::current().isPad();
}

QRectF getScreenBoundsForCurrentOrientation()
{
    return getScreenBoundsForOrientation(int(Device::current().orientation()));
}

QRectF getScreenBoundsForOrientation(int orientation)
{
    QRectF bounds = Device::current().screenBounds();
    // Before the bounds followed the orientation, landscape had to be turned by hand.
    if (Device::current().foundationVersion() <= kFoundationIOS8
        && (orientation == 3 || orientation == 4))
        bounds = QRectF(bounds.x(), bounds.y(), bounds.height(), bounds.width());
    return bounds;
}

bool isPortrait()
{
    const int o = int(Device::current().orientation());
    return o == 1 || o == 2;
}

} // namespace Hardware
