#include "ScreensFixture.h"

#include "grid/BridgeScreenData.h"
#include "grid/ClassRegistry.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "model/UserTemplate.h"
#include "platform/ui/Device.h"
#include "screens/ScreenFactory.h"
#include "utilities/data/BitManager.h"
#include "utilities/shell/KivoAppDelegate.h"

#include <gtest/gtest.h>

namespace {

// The button numbers set in a vector, ascending.
QList<quint32> bits(const std::shared_ptr<BitManager>& vector)
{
    QList<quint32> set;
    for (quint32 bit = 0; vector && bit < vector->capacity(); ++bit) {
        if (vector->getBit(bit))
            set << bit;
    }
    return set;
}

// Records as the factory builds them on a chosen device.
struct ScreenFactoryTest : ::testing::Test {
    void SetUp() override { previous = platform::ui::Device::current().model().name; }
    void TearDown() override { (void)platform::ui::Device::current().selectModel(previous); }

    static void onDevice(const char* name)
    {
        ASSERT_TRUE(platform::ui::Device::current().selectModel(name));
    }

    static std::shared_ptr<BridgeScreenData> record(const QString& id)
    {
        return ScreenFactory::GetScreen(id, nullptr);
    }

    QString previous;
};

} // namespace

TEST_F(ScreenFactoryTest, TheTableHoldsItsScreensInOrder)
{
    EXPECT_EQ(ScreenFactory::screenIds(),
        QStringList({ "Home", "5139F808-3946-49F7-8E65-F38461B82762", "Color Selector",
            "Template Rows", "Templates", "Template Columns", "SCREEN_INQUERY_GENERAL",
            "SCREEN_SORT_GENERA", "SCREEN_BRIDGE", "Databases", "Download Templates",
            "List Image Selector", "Reminders" }));
    for (const QString& id : ScreenFactory::screenIds())
        EXPECT_EQ(record(id)->id, id);
}

TEST_F(ScreenFactoryTest, HomeIsReachedFromADatabaseAndOpensATablesRows)
{
    onDevice("phone");
    const auto databases = record("SCREEN_BRIDGE");
    EXPECT_EQ(databases->title, "Databases");
    EXPECT_EQ(databases->dataController, "DatabaseDataController");
    EXPECT_EQ(databases->detailViewController, "DatabaseDetailViewController");
    EXPECT_EQ(databases->childscreen, "Home");
    EXPECT_EQ(databases->toSegue, "Menu");
    EXPECT_EQ(databases->image, "database");
    EXPECT_EQ(bits(databases->buttonBits), QList<quint32>({ 1, 2, 3, 4, 28, 35 }));
    EXPECT_EQ(bits(databases->topButtonBits), QList<quint32>({ 1, 7 }));

    // "Databases" is the same screen under its own id.
    const auto again = record("Databases");
    EXPECT_EQ(again->id, "Databases");
    EXPECT_EQ(again->dataController, databases->dataController);
    EXPECT_EQ(again->childscreen, "Home");
    EXPECT_EQ(bits(again->buttonBits), bits(databases->buttonBits));

    const auto home = record("Home");
    EXPECT_EQ(home->title, "Home");
    EXPECT_EQ(home->dataController, "MainDataController");
    EXPECT_EQ(home->rowView, "GenericOrderableRowViewController");
    EXPECT_EQ(home->alternateRowView, "ModelColumnsRowViewController");
    EXPECT_EQ(home->detailViewController, "UserTemplateDetailViewController");
    EXPECT_EQ(home->childscreen, "Template Rows");
    EXPECT_EQ(home->toSegue, "Menu");
    EXPECT_EQ(home->image, "template");
    EXPECT_TRUE(home->disclosure);
    EXPECT_EQ(bits(home->buttonBits), QList<quint32>({ 1, 2, 3, 4, 25, 28, 35, 38 }));
}

using ScreenFactoryStoreTest = screenstest::ScreensTest;

TEST_F(ScreenFactoryStoreTest, ATablesRowsAreTitledWithTheTappedTable)
{
    const auto onDevice
        = [](const char* name) { ASSERT_TRUE(platform::ui::Device::current().selectModel(name)); };
    UserTemplate* table = UserTemplate::add("DB");
    table->setName("Clients");
    auto link = std::make_shared<Parent>();
    link->data = RowObject::fromObject(table);

    onDevice("phone");
    auto rows = ScreenFactory::GetScreen("Template Rows", link);
    EXPECT_EQ(rows->title, "Clients");
    EXPECT_EQ(rows->dataController, "GenericTemplateDataController");
    EXPECT_EQ(rows->rowView, "MultipleGenericRowViewController");
    EXPECT_EQ(rows->detailViewController, "GenericTemplateDetailViewController");
    EXPECT_EQ(rows->toSegue, "Menus1");
    EXPECT_TRUE(rows->searchbarBookmark);
    // A phone gathers add, edit and remove in one button.
    EXPECT_EQ(bits(rows->buttonBits), QList<quint32>({ 4, 12, 27, 30, 35, 36, 39, 40, 41 }));

    onDevice("tablet");
    rows = ScreenFactory::GetScreen("Template Rows", link);
    EXPECT_EQ(
        bits(rows->buttonBits), QList<quint32>({ 1, 2, 3, 4, 12, 27, 35, 36, 37, 39, 40, 41 }));
    EXPECT_TRUE(ScreenFactory::GetScreen("Template Rows", nullptr)->title.isEmpty());
}

TEST_F(ScreenFactoryTest, OnlyATabletsGridScreensGetTheColumnsButton)
{
    const QStringList withColumns { "Home", "5139F808-3946-49F7-8E65-F38461B82762", "Template Rows",
        "Templates", "Template Columns", "SCREEN_BRIDGE", "Databases", "SCREEN_FILE_BROWSER" };
    onDevice("phone");
    for (const QString& id : ScreenFactory::screenIds() + QStringList { "SCREEN_FILE_BROWSER" })
        EXPECT_FALSE(bits(record(id)->buttonBits).contains(37)) << id.toStdString();

    onDevice("tablet");
    for (const QString& id : ScreenFactory::screenIds() + QStringList { "SCREEN_FILE_BROWSER" })
        EXPECT_EQ(bits(record(id)->buttonBits).contains(37), withColumns.contains(id))
            << id.toStdString();
    EXPECT_EQ(
        bits(record("SCREEN_BRIDGE")->buttonBits), QList<quint32>({ 1, 2, 3, 4, 28, 35, 37 }));
}

TEST_F(ScreenFactoryTest, TheFilterAndSortScreensDifferOnlyInWhatTheyList)
{
    const auto filter = record("SCREEN_INQUERY_GENERAL");
    const auto sort = record("SCREEN_SORT_GENERA");
    EXPECT_EQ(filter->title, "Filter");
    EXPECT_EQ(sort->title, "Sort");
    EXPECT_EQ(filter->dataController, "GenericFilterDataController");
    EXPECT_EQ(sort->dataController, "GenericSortDataController");
    EXPECT_EQ(filter->detailViewController, "GenericFilterDetailViewController");
    EXPECT_EQ(sort->detailViewController, "GenericSortDetailViewController");
    EXPECT_EQ(filter->image, "filtermetro");
    EXPECT_EQ(sort->image, "sortmetro");
    EXPECT_EQ(bits(filter->buttonBits), QList<quint32>({ 1, 2, 3, 4, 7, 38 }));
    EXPECT_EQ(bits(sort->buttonBits), bits(filter->buttonBits));
    EXPECT_TRUE(filter->alternateRowView.isEmpty());

    const auto list = record("List Image Selector");
    EXPECT_EQ(list->title, "Select");
    EXPECT_EQ(list->dataController, "ListImageSelectDataController");
    EXPECT_TRUE(list->image.isEmpty());
    EXPECT_EQ(list->buttonBits, nullptr);
    EXPECT_EQ(list->topButtonBits, nullptr);

    const auto reminders = record("Reminders");
    EXPECT_EQ(reminders->title, "Notifications");
    EXPECT_FALSE(reminders->disclosure);
    EXPECT_EQ(reminders->topButtonBits, nullptr);
}

TEST_F(ScreenFactoryTest, UnknownIdsGoToTheBridgeFactory)
{
    onDevice("tablet");
    auto parentScreen = std::make_shared<BridgeScreenData>();
    parentScreen->application = "Payroll";
    auto link = std::make_shared<Parent>();
    link->screen = parentScreen;
    const auto bare = ScreenFactory::GetScreen("NO_SUCH_SCREEN", link);
    EXPECT_EQ(bare->id, "NO_SUCH_SCREEN");
    EXPECT_EQ(bare->application, "Payroll");
    EXPECT_TRUE(bare->dataController.isEmpty());

    const auto browser = ScreenFactory::GetScreen("SCREEN_FILE_BROWSER", nullptr);
    EXPECT_EQ(browser->dataController, "FileBrowserDataController");
    EXPECT_TRUE(bits(browser->buttonBits).contains(37));
}

TEST_F(ScreenFactoryTest, OnceInstalledTheDelegateAnswersAndTheControllersAreKnown)
{
    KivoAppDelegate* delegate = KivoAppDelegate::ApplicationDelegate();
    EXPECT_EQ(delegate->GetScreen("SCREEN_BRIDGE", nullptr), nullptr);
    ScreenFactory::install();
    const auto record = std::dynamic_pointer_cast<BridgeScreenData>(
        delegate->GetScreen("SCREEN_BRIDGE", nullptr));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->title, "Databases");
    for (const char* name :
        { "DatabaseDataController", "MainDataController", "GenericTemplateDataController",
            "ListImageSelectDataController", "ColorDataController", "ColorDataController1",
            "GenericFilterDataController", "GenericSortDataController", "TemplateDataController",
            "TemplateColumnDataController", "NotificationDataController",
            "DownloadTemplateDataController", "CloudFileBrowserDataController",
            "GeneralCloudFileBrowserController", "LocalFileBroswerDataController" })
        EXPECT_NE(ClassRegistry::create(name), nullptr) << name;
    EXPECT_EQ(ClassRegistry::create("NoSuchDataController"), nullptr);
}
