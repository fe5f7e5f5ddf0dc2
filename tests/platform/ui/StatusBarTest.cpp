#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

// The colours of the window's top points (20 unless told), at the screen's pixels.
QSet<QRgb> statusBarColors(const QImage& shot, double width, double points = 20)
{
    const double scale = shot.width() / width;
    QSet<QRgb> colors;
    for (int y = 0; y < int(points * scale); ++y)
        for (int x = 0; x < shot.width(); ++x)
            colors.insert(shot.pixel(x, y));
    return colors;
}

} // namespace

// A desktop window imitates no phone status bar: no clock, name or battery, only colour.
TEST(StatusBar, KeepsOnlyTheBarColourWhereItsPointsAreKept)
{
    Animation::setInstant(true);
    Device::current().setStatusBarHidden(false);
    const QColor blue(0, 144, 223);
    NavigationBar::appearance().barTintColor = blue;
    NavigationBar::appearance().translucent = false;

    auto* navigation = new NavigationController();
    auto* screen = new ViewController();
    screen->setTitle("Inventory");
    navigation->pushViewController(screen, false);
    Application::shared().setRootViewController(navigation);
    Application::shared().makeKeyAndVisible();
    Window* window = Application::shared().keyWindow();
    testsupport::processEvents(10);
    // Under the navigation bar: its colour, and nothing else.
    EXPECT_EQ(statusBarColors(window->snapshot(), window->width()), QSet<QRgb>({ blue.rgb() }));

    // Without the bar, the kept points take the bars' colour.
    navigation->setNavigationBarHidden(true);
    screen->view()->setBackgroundColor(Qt::white);
    testsupport::processEvents(10);
    EXPECT_EQ(statusBarColors(window->snapshot(), window->width()), QSet<QRgb>({ blue.rgb() }));
    EXPECT_EQ(navigation->contentFrame().top(), 20);

    // A root that fills the window keeps no points: its own content shows.
    auto* plain = new ViewController();
    plain->view()->setBackgroundColor(Qt::red);
    Application::shared().setRootViewController(plain);
    testsupport::processEvents(10);
    EXPECT_EQ(statusBarColors(window->snapshot(), window->width()),
        QSet<QRgb>({ QColor(Qt::red).rgb() }));

    Application::shared().reset();
    delete navigation;
    delete plain;
    NavigationBar::appearance() = {};
}

// A notched phone keeps the notch's points in portrait and none at all in landscape, where
// the content reaches the top.
TEST(StatusBar, OnANotchedPhoneKeepsTheSafeAreasTopAndNothingInLandscape)
{
    Animation::setInstant(true);
    ASSERT_TRUE(Device::current().selectModel("phone-x"));
    const QColor blue(0, 144, 223);
    NavigationBar::appearance().barTintColor = blue;
    NavigationBar::appearance().translucent = false;

    auto* navigation = new NavigationController();
    auto* screen = new ViewController();
    navigation->pushViewController(screen, false);
    navigation->setNavigationBarHidden(true);
    screen->view()->setBackgroundColor(Qt::white);
    Application::shared().setRootViewController(navigation);
    Application::shared().makeKeyAndVisible();
    Window* window = Application::shared().keyWindow();
    testsupport::processEvents(10);
    const double notch = Device::current().safeAreaInsets().top();
    ASSERT_GT(notch, 20);
    EXPECT_EQ(navigation->contentFrame().top(), notch);
    EXPECT_EQ(
        statusBarColors(window->snapshot(), window->width(), notch), QSet<QRgb>({ blue.rgb() }));

    Device::current().setOrientation(Orientation::LandscapeLeft);
    testsupport::processEvents(10);
    window->layoutIfNeeded();
    testsupport::processEvents(10);
    ASSERT_EQ(Device::current().safeAreaInsets().top(), 0);
    EXPECT_EQ(navigation->contentFrame().top(), 0);
    EXPECT_EQ(statusBarColors(window->snapshot(), window->width()),
        QSet<QRgb>({ QColor(Qt::white).rgb() }));

    Application::shared().reset();
    delete navigation;
    NavigationBar::appearance() = {};
    EXPECT_TRUE(Device::current().selectModel("tablet"));
}
