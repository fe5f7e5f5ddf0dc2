#pragma once

#include "FakeGridScreen.h"
#include "TestControllers.h"

#include "common/TestSupport.h"
#include "grid/BridgeScreenData.h"
#include "grid/ClassRegistry.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Storyboard.h"
#include "utilities/shell/KivoAppDelegate.h"

#include <QPointer>
#include <gtest/gtest.h>

#include <memory>

namespace gridtest {

// A window with a navigation stack whose top screen is a fake main grid screen over a
// recording table data controller; the storyboard knows the segues of a grid screen.
struct GridFixture : ::testing::Test {
    void SetUp() override
    {
        platform::ui::Animation::setInstant(true);
        platform::ui::Application::shared().makeKeyAndVisible();
        ClassRegistry::registerClass<TilesTestRowView>();
        ClassRegistry::registerClass<DerivedTilesTestRowView>();
        ClassRegistry::registerClass<ColumnsTestRowView>();
        auto& storyboard = platform::ui::Storyboard::main();
        storyboard.registerController(
            "Destination", [] { return new platform::ui::ViewController(); });
        for (const char* segue : { "Menu", "Menus1", "QUERY_STUDIO" })
            storyboard.registerSegue(segue, "Destination");
        record = std::make_shared<BridgeScreenData>();
        record->id = "SCREEN";
        record->title = "Screen";
        record->toSegue = "Menu";
        controller = std::make_shared<RecordingController>();
    }

    void TearDown() override
    {
        for (auto* alert : platform::ui::AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        testsupport::processEvents(20);
        navigation.reset();
        controller.reset();
        platform::ui::Storyboard::main().clear();
        platform::ui::Application::shared().reset();
    }

    // The screen on a navigation stack, over `below` screens pushed first.
    FakeGridScreen* show(std::shared_ptr<Parent> link = nullptr, int below = 0)
    {
        navigation = std::make_unique<platform::ui::NavigationController>();
        for (int i = 0; i < below; ++i)
            navigation->pushViewController(new platform::ui::ViewController(), false);
        auto* screen = new FakeGridScreen(record, controller, std::move(link));
        navigation->pushViewController(screen, false);
        platform::ui::Application::shared().setRootViewController(navigation.get());
        return screen;
    }

    static QList<platform::ui::AlertView*> alertsShown()
    {
        testsupport::processEvents(10);
        return platform::ui::AlertView::visibleAlerts();
    }

    std::shared_ptr<BridgeScreenData> record;
    std::shared_ptr<RecordingController> controller;
    std::unique_ptr<platform::ui::NavigationController> navigation;
};

} // namespace gridtest
