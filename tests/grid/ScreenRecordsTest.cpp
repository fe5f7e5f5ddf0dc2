#include "FakeGridScreen.h"
#include "TestControllers.h"

#include "grid/BridgeScreenData.h"
#include "grid/BridgeScreenFactory.h"
#include "grid/ClassRegistry.h"
#include "grid/GridData.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "grid/ScreenData.h"
#include "platform/Exception.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/ScreenServices.h"

#include <gtest/gtest.h>

using gridtest::RecordingController;

namespace {

std::shared_ptr<ScreenData> screenWith(const QString& id, const QString& toSegue = {})
{
    auto record = std::make_shared<BridgeScreenData>();
    record->id = id;
    record->toSegue = toSegue;
    return record;
}

std::shared_ptr<Parent> linkTo(
    const std::shared_ptr<ScreenData>& screen, const std::shared_ptr<Parent>& above = nullptr)
{
    auto link = std::make_shared<Parent>();
    link->screen = screen;
    link->parent = above;
    return link;
}

bool hasButton(const std::shared_ptr<BitManager>& bits, quint32 number)
{
    return bits && bits->getBit(number);
}

} // namespace

TEST(ScreenRecords, NextSegueFromPassesTheIdentifierOnUnchanged)
{
    EXPECT_EQ(ScreenData::nextSegueFrom("Menu"), "Menu");
    EXPECT_EQ(ScreenData::nextSegueFrom("Menus1"), "Menus1");
    EXPECT_TRUE(ScreenData::nextSegueFrom(QString()).isNull());
}

TEST(ScreenRecords, NextSegueTakesTheParentScreensSegueElseItsOwn)
{
    const auto root = screenWith("ROOT", "Menu");
    const auto middle = screenWith("MIDDLE", "Menus1");
    const auto bare = screenWith("BARE");

    // No link above: the link's own screen decides.
    EXPECT_EQ(linkTo(middle)->nextSegue(), "Menus1");
    // A screen above with a segue: that one, never rotated to the other name.
    EXPECT_EQ(linkTo(middle, linkTo(root))->nextSegue(), "Menu");
    // A screen above without one: the link's own again.
    EXPECT_EQ(linkTo(middle, linkTo(bare))->nextSegue(), "Menus1");
    // Neither has one.
    EXPECT_TRUE(linkTo(bare)->nextSegue().isEmpty());
}

TEST(ScreenRecords, IsParentScreenMatchesTheLinksOwnScreenAndEveryScreenAbove)
{
    const auto root = screenWith("ROOT");
    const auto middle = screenWith("MIDDLE");
    const auto top = screenWith("TOP");
    const auto rootLink = linkTo(root);
    const auto middleLink = linkTo(middle, rootLink);
    const auto topLink = linkTo(top, middleLink);

    EXPECT_TRUE(topLink->isParentScreen("TOP"));
    EXPECT_TRUE(topLink->isParentScreen("MIDDLE"));
    EXPECT_TRUE(topLink->isParentScreen("ROOT"));
    EXPECT_FALSE(topLink->isParentScreen("ELSEWHERE"));
    EXPECT_FALSE(middleLink->isParentScreen("TOP"));
    EXPECT_FALSE(Parent::isParentScreen(nullptr, "ROOT"));
}

TEST(ScreenRecords, ALinkHoldsItsScreenLinkAboveAndControllerWeaklyAndItsRowStrongly)
{
    auto screen = screenWith("ROOT");
    auto aboveScreen = screenWith("ABOVE");
    auto above = linkTo(aboveScreen);
    auto controller = std::make_shared<RecordingController>();
    auto row = std::make_shared<GridData>("Row", "image");

    const auto link = linkTo(screen, above);
    link->dataController = controller;
    link->data = RowObject::fromRecord(row);
    const std::weak_ptr<GridData> rowAlive = row;
    row.reset();

    EXPECT_TRUE(link->isParentScreen("ABOVE"));
    screen.reset();
    aboveScreen.reset();
    controller.reset();
    // The screens are gone from the stack: the link no longer names them.
    EXPECT_EQ(link->screen.lock(), nullptr);
    EXPECT_EQ(link->dataController.lock(), nullptr);
    EXPECT_FALSE(link->isParentScreen("ROOT"));
    EXPECT_FALSE(link->isParentScreen("ABOVE"));
    EXPECT_TRUE(link->nextSegue().isEmpty());
    // The selected row lives as long as the link.
    ASSERT_NE(rowAlive.lock(), nullptr);
    EXPECT_EQ(RowObject::record<GridData>(link->data)->Menu, "Row");
}

TEST(ScreenRecords, GridDataInitialisers)
{
    const GridData menu("Databases", "database");
    EXPECT_EQ(menu.Menu, "Databases");
    EXPECT_EQ(menu.Image, "database");
    EXPECT_FALSE(menu.Data.isValid());

    const GridData data(QVariant(QStringLiteral("row")));
    EXPECT_TRUE(data.Menu.isNull());
    EXPECT_TRUE(data.Image.isNull());
    EXPECT_EQ(data.Data.toString(), "row");
}

TEST(BridgeScreenFactory, AnUnknownIdGivesABareRecordWithTheParentsApplication)
{
    const auto bare = BridgeScreenFactory::GetScreen("SOMETHING_ELSE", nullptr);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->id, "SOMETHING_ELSE");
    EXPECT_TRUE(bare->application.isNull());
    EXPECT_TRUE(bare->title.isNull());
    EXPECT_TRUE(bare->dataController.isEmpty());
    EXPECT_TRUE(bare->rowView.isEmpty());
    EXPECT_TRUE(bare->alternateRowView.isEmpty());
    EXPECT_TRUE(bare->detailViewController.isEmpty());
    EXPECT_EQ(bare->buttonBits, nullptr);
    EXPECT_EQ(bare->topButtonBits, nullptr);
    EXPECT_FALSE(bare->disclosure);

    auto parentScreen = screenWith("PARENT");
    parentScreen->application = "Payroll";
    const auto child = BridgeScreenFactory::GetScreen("CHILD", linkTo(parentScreen));
    EXPECT_EQ(child->application, "Payroll");
    EXPECT_EQ(child->id, "CHILD");
}

TEST(BridgeScreenFactory, OnlyTheRemoteBrowserCarriesServerFieldsAndTheCloudBrowsersNoFormOrAdd)
{
    const QStringList all = { BridgeScreenFactory::RemoteFileBrowser,
        BridgeScreenFactory::FileBrowser, BridgeScreenFactory::GeneralLocalFileBrowser,
        BridgeScreenFactory::CloudFileBrowser, BridgeScreenFactory::GeneralCloudFileBrowser };
    for (const QString& id : all) {
        SCOPED_TRACE(id.toStdString());
        const auto record = BridgeScreenFactory::GetScreen(id, nullptr);
        EXPECT_EQ(record->id, id);
        EXPECT_EQ(record->rowView, "ListSelectRowViewController");
        EXPECT_TRUE(hasButton(record->buttonBits, 3));
        EXPECT_TRUE(hasButton(record->buttonBits, 4));
        EXPECT_TRUE(hasButton(record->buttonBits, 35));
        EXPECT_EQ(record->topButtonBits, nullptr);
        const bool remote = id == BridgeScreenFactory::RemoteFileBrowser;
        EXPECT_EQ(record->brigeType.isEmpty(), !remote);
        EXPECT_EQ(record->bridgeMethod.isEmpty(), !remote);
        EXPECT_EQ(record->determinBridgeParameters.isEmpty(), !remote);
        EXPECT_EQ(record->keyFields.isEmpty(), !remote);
        EXPECT_EQ(record->titleField.isEmpty(), !remote);
        EXPECT_TRUE(record->determineChildScreen.isEmpty());
        EXPECT_TRUE(record->selectMethod.isEmpty());
        EXPECT_TRUE(record->toolbarMethod.isEmpty());
        const bool cloud = id == BridgeScreenFactory::CloudFileBrowser
            || id == BridgeScreenFactory::GeneralCloudFileBrowser;
        EXPECT_EQ(record->detailViewController.isEmpty(), cloud);
        EXPECT_EQ(hasButton(record->buttonBits, 1), !cloud);
        EXPECT_EQ(record->title, cloud ? "File Browser [iCloud]" : "File Browser");
        EXPECT_EQ(record->disclosure, id != BridgeScreenFactory::CloudFileBrowser);
    }

    const auto remote
        = BridgeScreenFactory::GetScreen(BridgeScreenFactory::RemoteFileBrowser, nullptr);
    EXPECT_EQ(remote->dataController, "RemoteFileBrowserDataController");
    EXPECT_EQ(remote->alternateRowView, "ListSelectColumnsRowViewController");
    EXPECT_EQ(remote->brigeType, "Quadrell.Service.FileManager");
    EXPECT_EQ(remote->bridgeMethod, "GetDirectoryCotents");
    EXPECT_EQ(remote->determinBridgeParameters, "fileBrowserParameters");
    EXPECT_EQ(remote->keyFields, QStringList { "Name" });
    EXPECT_EQ(remote->titleField, "Name");
    for (quint32 number : { 1, 2, 3, 4, 12, 27, 35 })
        EXPECT_TRUE(hasButton(remote->buttonBits, number)) << number;
    EXPECT_FALSE(hasButton(remote->buttonBits, 7));
    EXPECT_EQ(BridgeScreenFactory::GetScreen(BridgeScreenFactory::GeneralLocalFileBrowser, nullptr)
                  ->dataController,
        "LocalFileBroswerDataController");
    EXPECT_EQ(BridgeScreenFactory::GetScreen(BridgeScreenFactory::CloudFileBrowser, nullptr)
                  ->alternateRowView,
        "ModelColumnsRowViewController");
}

TEST(ClassRegistry, ARecordMayNameAClassThatIsRegisteredLater)
{
    const QString later = QStringLiteral("gridtest::DerivedTilesTestRowView");
    ClassRegistry::unregisterClass(later);
    auto record = std::make_shared<BridgeScreenData>();
    record->rowView = later;
    EXPECT_EQ(ClassRegistry::metaObject(record->rowView), nullptr);
    EXPECT_EQ(ClassRegistry::create(record->rowView), nullptr);

    ClassRegistry::registerClass<gridtest::DerivedTilesTestRowView>();
    ASSERT_EQ(ClassRegistry::metaObject(record->rowView),
        &gridtest::DerivedTilesTestRowView::staticMetaObject);
    const auto made = ClassRegistry::create(record->rowView);
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->metaObject()->className(), "gridtest::DerivedTilesTestRowView");

    // "This class or one derived from it".
    EXPECT_TRUE(ClassRegistry::isKindOfClass(later, &gridtest::TilesTestRowView::staticMetaObject));
    EXPECT_TRUE(ClassRegistry::isKindOfClass(later, &QObject::staticMetaObject));
    EXPECT_FALSE(
        ClassRegistry::isKindOfClass(later, &gridtest::ColumnsTestRowView::staticMetaObject));
    EXPECT_FALSE(ClassRegistry::isKindOfClass("NoSuchClass", &QObject::staticMetaObject));
    EXPECT_EQ(ClassRegistry::metaObject(QString()), nullptr);
    ClassRegistry::unregisterClass(later);
}

TEST(ClassRegistry, TheGridsDataControllersAreKnownAndMadeAsTheirClass)
{
    const auto controller = ClassRegistry::create<BaseDataController>("TableDataController");
    ASSERT_NE(controller, nullptr);
    EXPECT_NE(dynamic_cast<TableDataController*>(controller.get()), nullptr);
    EXPECT_NE(ClassRegistry::create<BaseDataController>("BaseDataController"), nullptr);
    // Asked for as a class it is not: nothing.
    EXPECT_EQ(ClassRegistry::create<TableDataController>("BaseDataController"), nullptr);
}

TEST(ScreenHooks, AnEmptyHookCallsNothingAndANamedOneCallsTheDataController)
{
    auto controller = std::make_shared<RecordingController>();
    BridgeScreenData record;
    EXPECT_FALSE(BridgeScreenData::invoke(controller.get(), record.selectMethod));
    EXPECT_EQ(BridgeScreenData::invokeForText(controller.get(), record.determineChildScreen),
        std::nullopt);
    EXPECT_TRUE(controller->calls.isEmpty());

    record.selectMethod = "chooseRow";
    record.determineChildScreen = "childForRow";
    record.toolbarMethod = "toolbarHandler";
    record.determinBridgeParameters = "parametersForRow";
    controller->nextChild = "CHILD";
    QObject sender;
    EXPECT_TRUE(BridgeScreenData::invoke(controller.get(), record.selectMethod));
    EXPECT_EQ(BridgeScreenData::invokeForText(controller.get(), record.determineChildScreen),
        QString("CHILD"));
    EXPECT_TRUE(BridgeScreenData::invoke(controller.get(), record.toolbarMethod, &sender));
    const auto parameters
        = BridgeScreenData::invokeForParameters(controller.get(), record.determinBridgeParameters);
    ASSERT_TRUE(parameters.has_value());
    EXPECT_EQ(*parameters, QVariantList { QStringLiteral("/home") });
    EXPECT_EQ(controller->calls, QStringList({ "chooseRow", "childForRow", "toolbarHandler" }));
    EXPECT_EQ(controller->senders, QList<QObject*> { &sender });
}

TEST(ScreenHooks, AHookTheControllerLacksOrThatDoesNotFitRaises)
{
    auto controller = std::make_shared<RecordingController>();
    try {
        BridgeScreenData::invoke(controller.get(), "noSuchMethod");
        FAIL() << "no exception";
    } catch (const platform::Exception& exception) {
        EXPECT_EQ(exception.name(), platform::Exception::InvalidArgument);
        EXPECT_TRUE(exception.reason().contains("noSuchMethod()"));
    }
    // A hook answering something else than a text.
    EXPECT_THROW(
        BridgeScreenData::invokeForText(controller.get(), "wrongAnswer"), platform::Exception);
    // A hook taking no sender, called as a toolbar hook.
    EXPECT_THROW(
        BridgeScreenData::invoke(controller.get(), "chooseRow", nullptr), platform::Exception);
    EXPECT_TRUE(controller->calls.isEmpty());
}

TEST(ScreenHooks, AnExceptionInAHookReachesTheCaller)
{
    // The caller's own boundary shows it (a toolbar action, a tap).
    auto controller = std::make_shared<RecordingController>();
    try {
        BridgeScreenData::invoke(controller.get(), "failingHook");
        FAIL() << "no exception";
    } catch (const platform::Exception& exception) {
        EXPECT_EQ(exception.reason(), "Hook failed.");
    }
}

TEST(ScreenRecords, TheDelegateAsksTheInstalledFactoryAndNothingWithoutOne)
{
    KivoAppDelegate* delegate = KivoAppDelegate::ApplicationDelegate();
    EXPECT_EQ(delegate->GetScreen("SCREEN_BRIDGE", nullptr), nullptr);
    EXPECT_EQ(ScreenData::GetScreen("SCREEN_BRIDGE", nullptr), nullptr);

    class Factory : public ScreenServices {
    public:
        std::shared_ptr<ScreenRecord> GetScreen(
            const QString& screenId, const std::shared_ptr<ScreenLink>& parent) override
        {
            asked = std::dynamic_pointer_cast<Parent>(parent);
            return BridgeScreenFactory::GetScreen(screenId, asked);
        }
        std::shared_ptr<Parent> asked;
    };
    auto factory = std::make_unique<Factory>();
    Factory* installed = factory.get();
    ScreenServices::install(std::move(factory));

    const auto link = linkTo(screenWith("ROOT"));
    const auto record = ScreenData::GetScreen("SCREEN_FILE_BROWSER", link);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->id, "SCREEN_FILE_BROWSER");
    EXPECT_EQ(installed->asked, link);
    EXPECT_NE(
        std::dynamic_pointer_cast<BridgeScreenData>(delegate->GetScreen("ANY", nullptr)), nullptr);
}
