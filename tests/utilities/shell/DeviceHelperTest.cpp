#include "utilities/shell/DeviceHelper.h"

#include "platform/NotificationCenter.h"
#include "platform/ui/Device.h"

#include "common/TestSupport.h"

#include <QWidget>
#include <gtest/gtest.h>

using platform::ui::Device;
using platform::ui::Orientation;

namespace {

void useDevice(const char* model, Orientation orientation = Orientation::Portrait)
{
    Device::current().setMainWindow(nullptr);
    ASSERT_TRUE(Device::current().selectModel(model));
    Device::current().setOrientation(orientation);
    Device::current().setSystemVersion("17.0", 1953.1);
}

} // namespace

TEST(DeviceHelper, ModelTestsByIdiomAndHeight)
{
    useDevice("tablet");
    EXPECT_TRUE(DeviceHelper::isIPAD());
    EXPECT_FALSE(DeviceHelper::isIPHONE());
    EXPECT_FALSE(DeviceHelper::isIPHONE6());
    EXPECT_FALSE(DeviceHelper::isIPHONENOTCH());

    useDevice("tablet-pro");
    EXPECT_TRUE(DeviceHelper::isIPADPRO());

    useDevice("phone-x");
    EXPECT_TRUE(DeviceHelper::isIPHONEX());
    EXPECT_TRUE(DeviceHelper::isIPHONEX1());
    EXPECT_TRUE(DeviceHelper::isIPHONENOTCH());
    EXPECT_EQ(DeviceHelper::safeArea(), QPointF(0, 44));
    useDevice("phone-x", Orientation::LandscapeLeft);
    EXPECT_FALSE(DeviceHelper::isIPHONEX());
    EXPECT_TRUE(DeviceHelper::isIPHONEX1()) << "the landscape height counts too";

    // A taller phone than any model listed is still the largest kind.
    useDevice("phone");
    QWidget window;
    window.resize(428, 926);
    Device::current().setMainWindow(&window);
    EXPECT_TRUE(DeviceHelper::isIPHONEXSMAX());
    EXPECT_FALSE(DeviceHelper::isIPHONEX());
    Device::current().setMainWindow(nullptr);
}

TEST(DeviceHelper, HeightDifferenceOverTheBaseLayout)
{
    useDevice("phone");
    EXPECT_DOUBLE_EQ(DeviceHelper::getHeightDiff(), 21.0);
    useDevice("phone-se");
    EXPECT_DOUBLE_EQ(DeviceHelper::getHeightDiff(), 0.0);
    useDevice("phone-plus");
    EXPECT_DOUBLE_EQ(DeviceHelper::getHeightDiff(), 90.0);
    useDevice("tablet");
    EXPECT_DOUBLE_EQ(DeviceHelper::getHeightDiff(), 0.0);
    useDevice("tablet-pro");
    EXPECT_DOUBLE_EQ(DeviceHelper::getHeightDiff(), 342.0);
}

TEST(DeviceHelper, OlderSystemsTurnLandscapeBoundsAndHaveNoSafeArea)
{
    useDevice("phone-x");
    Device::current().setSystemVersion("8.0", 1047.25);
    const QRectF turned = Hardware::getScreenBoundsForOrientation(3);
    const QRectF screen = Device::current().screenBounds();
    EXPECT_EQ(turned.width(), screen.height());
    EXPECT_EQ(turned.height(), screen.width());
    EXPECT_EQ(DeviceHelper::safeArea(), QPointF(0, 0));
    EXPECT_FALSE(DeviceHelper::isIPHONENOTCH());
    EXPECT_TRUE(DeviceHelper::isIOS7());
    EXPECT_FALSE(DeviceHelper::isIOS8());

    Device::current().setSystemVersion("17.0", 1953.1);
    EXPECT_EQ(Hardware::getScreenBoundsForOrientation(3), screen);
}

TEST(DeviceHelper, RetinaByMachineIdentifier)
{
    EXPECT_FALSE(Hardware::hasRetinaDisplay("iPod3,1"));
    EXPECT_FALSE(Hardware::hasRetinaDisplay("iPhone1,1"));
    EXPECT_TRUE(Hardware::hasRetinaDisplay("iPhone10,1"));
    EXPECT_FALSE(Hardware::hasCamera());
}

TEST(DeviceHelper, WindowAspectGivesOrientationAndNotifiesOnTurn)
{
    useDevice("tablet");
    QWidget window;
    window.resize(1024, 768);
    window.show();
    Device::current().setMainWindow(&window);
    int turns = 0;
    auto token = platform::NotificationCenter::defaultCenter().addObserver(
        Device::OrientationDidChangeNotification, nullptr, [&](const auto&) { ++turns; });
    EXPECT_FALSE(DeviceHelper::isPortrait());
    window.resize(768, 1024);
    EXPECT_TRUE(testsupport::waitUntil([&] { return turns == 1; }));
    EXPECT_TRUE(DeviceHelper::isPortrait());
    EXPECT_EQ(DeviceHelper::getScreenSize().height(), 1024);
    EXPECT_EQ(turns, 1);
    platform::NotificationCenter::defaultCenter().removeObserver(token);
    Device::current().setMainWindow(nullptr);
}

TEST(DeviceHelper, NetworkActivityIgnoresInputUntilHidden)
{
    DeviceHelper::showNetworkActivityIndicator();
    EXPECT_TRUE(Device::current().isIgnoringInteractionEvents());
    DeviceHelper::hideNetworkActivityIndicator();
    EXPECT_FALSE(Device::current().isIgnoringInteractionEvents());
    DeviceHelper::hideNetworkActivityIndicator(); // an extra hide is harmless
    EXPECT_FALSE(Device::current().isIgnoringInteractionEvents());
}
