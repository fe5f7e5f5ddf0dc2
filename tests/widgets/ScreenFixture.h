#pragma once

#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Device.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// A screen in the main window, on a navigation stack, with rows and a button that counts
// the taps reaching it: what popovers, popups and overlays show over.
struct ScreenFixture : ::testing::Test {
    KivoAppDelegate delegate;
    platform::ui::NavigationController* navigation = nullptr;
    platform::ui::ViewController* screen = nullptr;
    platform::ui::Button* below = nullptr;
    int belowTaps = 0;

    void SetUp() override { open("tablet"); }
    void TearDown() override
    {
        close();
        platform::ui::Device::current().setStatusBarHidden(false);
        platform::ui::Animation::setInstant(false);
        EXPECT_TRUE(platform::ui::Device::current().selectModel("tablet"));
    }

    void open(const QString& device)
    {
        using namespace platform::ui;
        ASSERT_TRUE(Device::current().selectModel(device));
        Animation::setInstant(true);
        Preferences::registerDefaults();
        delegate.setCurrentStyle(Theme::getDefaultTheme());
        navigation = new NavigationController();
        screen = new ViewController();
        screen->setTitle("Inventory");
        navigation->pushViewController(screen, false);
        Application::shared().setRootViewController(navigation);
        Application::shared().makeKeyAndVisible();
        View* content = screen->view();
        content->setBackgroundColor(QColor(239, 239, 244));
        const double width = content->bounds().width();
        const QStringList rows = { "Kitchen inventory", "Garden tools", "Workshop", "Pantry",
            "Wine cellar", "Books", "Records" };
        for (int i = 0; i < rows.size(); ++i) {
            auto* row = new Label(QRectF(0, 1 + i * 45, width, 44), content);
            row->setAutoresizingMask(AutoresizingFlexibleWidth);
            row->setBackgroundColor(Qt::white);
            row->setText("    " + rows[i]);
            row->setFont(Font::named("HelveticaNeue", 16));
        }
        below = new Button(QRectF(0, content->bounds().height() - 60, width, 60), content);
        below->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleTopMargin);
        below->addTarget([this](Control*) { ++belowTaps; }, ControlEventTouchUpInside);
    }

    void close()
    {
        platform::ui::Application::shared().reset();
        delete navigation;
        navigation = nullptr;
        flush();
    }

    static void flush()
    {
        testsupport::processEvents(5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    platform::ui::View* rootView()
    {
        return platform::ui::Application::shared().keyWindow()->rootView();
    }

    bool save(const QString& name)
    {
        testsupport::processEvents(20);
        return platform::ui::Application::shared().keyWindow()->snapshot().save(
            testsupport::outputPath(name));
    }
};
