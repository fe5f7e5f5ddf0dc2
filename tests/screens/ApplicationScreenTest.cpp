#include "ScreensFixture.h"

#include "grid/GridData.h"
#include "grid/ListSelectViewController.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"
#include "screens/ApplicationScreen.h"
#include "screens/MainDataController.h"
#include "style/Theme.h"
#include "widgets/SimplePopupViewController.h"

#include <QCoreApplication>

namespace screenstest {
namespace {

struct ApplicationScreens : ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        delegate->setCurrentStyle(Theme::getDefaultTheme());
        // The application's own grid screens behind the segues.
        platform::ui::Storyboard::main().clear();
        ApplicationScreen::registerStoryboard(platform::ui::Storyboard::main());
        database = addDatabase("Garden");
    }

    void TearDown() override
    {
        platform::ui::Application::shared().reset();
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ScreensTest::TearDown();
    }

    // Home of the database, as its row on the first screen opens it.
    ApplicationScreen* showHome(const QString& device)
    {
        EXPECT_TRUE(platform::ui::Device::current().selectModel(device));
        auto link = std::make_shared<Parent>();
        link->data = RowObject::fromObject(database);
        auto* home = new ApplicationScreen();
        home->setParentLink(link);
        home->setScreen(ScreenFactory::GetScreen(ScreenFactory::Home, link));
        navigation->pushViewController(home, false);
        auto& application = platform::ui::Application::shared();
        application.setRootViewController(navigation.get());
        application.makeKeyAndVisible();
        settle();
        return home;
    }

    static void settle()
    {
        testsupport::processEvents(40);
        if (auto* window = platform::ui::Application::shared().keyWindow())
            window->layoutIfNeeded();
        testsupport::processEvents(5);
    }

    static QStringList itemTexts(ListSelectViewController* list)
    {
        QStringList texts;
        const auto controller = list->dataController();
        for (qint64 i = 0; controller && i < controller->count(); ++i)
            texts << RowObject::record<GridData>(controller->getRowData(i))->Menu;
        return texts;
    }

    Database* database = nullptr;
};

TEST_F(ApplicationScreens, AnOptionsListIsAPopupOnATabletAndPushedOnAPhoneAndHandsOverTheChoice)
{
    for (const char* device : { "tablet", "phone" }) {
        ApplicationScreen* home = showHome(device);
        qint64 chosen = -1;
        ScreenHost::OptionsList options;
        options.screen = ScreenFactory::GetScreen(ScreenFactory::ListImageSelector, nullptr);
        options.screen->title = "Options";
        options.rows = QStringList { "One", "Two", "Three" };
        options.images = QStringList { "reminder", "backup", "restore" };
        options.handler = [&](qint64 index) { chosen = index; };
        if (QString(device) == "tablet")
            options.popupSize = QSizeF(645, 245);
        home->showOptionsList(options);
        settle();

        ListSelectViewController* list = nullptr;
        if (QString(device) == "tablet") {
            ASSERT_NE(home->simplepopupController(), nullptr);
            EXPECT_EQ(navigation->topViewController(), home);
            auto* stack = dynamic_cast<platform::ui::NavigationController*>(
                home->simplepopupController()->contentViewController());
            ASSERT_NE(stack, nullptr);
            list = dynamic_cast<ListSelectViewController*>(stack->viewControllers().value(0));
        } else {
            list = dynamic_cast<ListSelectViewController*>(navigation->topViewController());
        }
        ASSERT_NE(list, nullptr) << device;
        EXPECT_EQ(list->title(), "Options");
        EXPECT_EQ(itemTexts(list), QStringList({ "One", "Two", "Three" }));
        list->tapOnDisclosure(2);
        EXPECT_EQ(chosen, 2) << device;
        home->dismissPopup();
        settle();
        platform::ui::Application::shared().reset();
        navigation = std::make_unique<platform::ui::NavigationController>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(ApplicationScreens, AListWithoutRowsLoadsNothingAndOneWithoutAHandlerIgnoresTaps)
{
    ApplicationScreen* home = showHome("phone");
    auto* empty = new ListSelectViewController(std::nullopt, nullptr);
    empty->setScreen(ScreenFactory::GetScreen(ScreenFactory::ListImageSelector, nullptr));
    navigation->pushViewController(empty, false);
    settle();
    EXPECT_EQ(empty->dataController()->count(), 0);
    auto* list = new ListSelectViewController(QStringList { "Only" }, nullptr);
    list->setScreen(ScreenFactory::GetScreen(ScreenFactory::ListImageSelector, nullptr));
    list->setImages({ "backup" });
    navigation->pushViewController(list, false);
    settle();
    EXPECT_EQ(itemTexts(list), QStringList({ "Only" }));
    list->tapOnDisclosure(0);
    EXPECT_EQ(navigation->topViewController(), list);
    (void)home;
}

TEST_F(ApplicationScreens, AScreenOpenedWithARowCarriesThatRowAndTheRecordIsKept)
{
    ApplicationScreen* home = showHome("tablet");
    const auto record = home->screen();
    const QString childscreen = record->childscreen;
    home->showScreen(
        ScreenFactory::Databases, ScreenFactory::MenuSegue, RowObject::fromObject(database));
    settle();
    auto* opened = dynamic_cast<ApplicationScreen*>(navigation->topViewController());
    ASSERT_NE(opened, nullptr);
    ASSERT_NE(opened, home);
    EXPECT_EQ(opened->screen()->id, ScreenFactory::Databases);
    EXPECT_EQ(RowObject::object(opened->parentLink()->data), database);
    EXPECT_EQ(record->childscreen, childscreen);
    // Without a row the link carries the screen's selection, as a segue does.
    navigation->popViewController(false);
    settle();
    home->setSelectedRow(-1);
    EXPECT_FALSE(home->createParent()->data.isValid());
}

} // namespace
} // namespace screenstest
