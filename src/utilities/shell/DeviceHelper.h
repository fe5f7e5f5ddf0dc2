#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

// The device's facts in one place: idiom, model by screen height, orientation, system
// version and safe area. Main thread only.
class DeviceHelper {
public:
    DeviceHelper() = delete;

    static bool isIPAD();
    static bool isIPHONE();
    static QRectF getScreenSize();
    static bool isPortrait();
    static int getCurrentOrientation();
    static QString deviceName();
    static bool isIOS7();
    static bool isIOS8();
    static bool isIPHONE6();
    static bool isIPHONE6PLUS();
    static bool isIPHONEX();
    static bool isIPHONEXSMAX();
    static bool isIPHONEX1();
    static bool isIPHONEXSMAX1();
    static bool isIPADPRO();
    static bool isIPHONENOTCH();
    static QPointF safeArea();
    static double getHeightDiff();
    static void showNetworkActivityIndicator();
    static void hideNetworkActivityIndicator();
};

// Lower-level facts of the device object.
namespace Hardware {

QString platform();
bool hasRetinaDisplay();
// The answer for a given machine identifier (what hasRetinaDisplay asks of the device's).
bool hasRetinaDisplay(const QString& machine);
bool hasMultitasking();
bool hasCamera();
bool isiPhone();
bool isIPad();
QRectF getScreenBoundsForCurrentOrientation();
QRectF getScreenBoundsForOrientation(int orientation);
bool isPortrait();

} // namespace Hardware
