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

// The colours of the window's top 20 points, at the screen's pixels.
QSet<QRgb> statusBarColors(const QImage& shot, double width)
{
    const double scale = shot.width() / width;
    QSet<QRgb> colors;
    for (int y = 0; y < int(20 * scale); ++y)
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
