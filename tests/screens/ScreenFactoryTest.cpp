#include "screens/ScreenFactory.h"

#include "grid/BridgeScreenData.h"
#include "grid/Parent.h"
#include "utilities/shell/KivoAppDelegate.h"

#include <gtest/gtest.h>

TEST(ScreenFactory, EveryIdGoesToTheBridgeFactory)
{
    const auto root = ScreenFactory::GetScreen("SCREEN_BRIDGE", nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->id, "SCREEN_BRIDGE");
    EXPECT_TRUE(root->dataController.isEmpty());

    const auto browser = ScreenFactory::GetScreen("SCREEN_FILE_BROWSER", nullptr);
    EXPECT_EQ(browser->dataController, "FileBrowserDataController");
}

TEST(ScreenFactory, OnceInstalledTheApplicationsDelegateAnswersWithIt)
{
    KivoAppDelegate* delegate = KivoAppDelegate::ApplicationDelegate();
    EXPECT_EQ(delegate->GetScreen("SCREEN_BRIDGE", nullptr), nullptr);
    ScreenFactory::install();

    auto parentScreen = std::make_shared<BridgeScreenData>();
    parentScreen->application = "Payroll";
    auto link = std::make_shared<Parent>();
    link->screen = parentScreen;
    const auto record = std::dynamic_pointer_cast<BridgeScreenData>(
        delegate->GetScreen("SCREEN_CLOUD_FILE_BROWSER_ID", link));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->id, "SCREEN_CLOUD_FILE_BROWSER_ID");
    EXPECT_EQ(record->application, "Payroll");
}
