#include "ScreensFixture.h"

#include "screens/DatabaseDataController.h"
#include "screens/MainDataController.h"
#include "utilities/shell/CloudStoreProtocol.h"

using screenstest::FakeAppScreen;

namespace {

// A detail form that follows the store.
class FollowingForm : public platform::ui::ViewController, public CloudStoreProtocol {
public:
    void cloudStoreUnloaded() override { }
    void cloudStoreLoaded() override { ++reloads; }
    int reloads = 0;
};

// The databases screen (and Home above it) through a store change: the store goes, what
// it holds changes, the store comes back.
struct CloudReloadTest : screenstest::ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        a = addDatabase("A");
        b = addDatabase("B");
        c = addDatabase("C");
    }

    FakeAppScreen* openDatabases() { return open<DatabaseDataController>("SCREEN_BRIDGE"); }

    static void reload(FakeAppScreen* screen)
    {
        auto* cloud = dynamic_cast<CloudTableDataController*>(screen->dataController.get());
        cloud->cloudStoreUnloaded();
        EXPECT_EQ(screen->dataController->count(), 0);
        EXPECT_EQ(screen->hudCount, 1);
        cloud->cloudStoreLoaded();
        EXPECT_EQ(screen->hudCount, 0);
    }

    static void tap(FakeAppScreen* screen, qint64 row)
    {
        screen->setSelectedRow(row);
        screen->dataController->tapOnItem(row);
    }

    static QString nameOf(const QVariant& row)
    {
        auto* object = RowObject::object(row);
        return object ? object->property("name").toString() : QString();
    }

    Database* a = nullptr;
    Database* b = nullptr;
    Database* c = nullptr;
};

} // namespace

TEST_F(CloudReloadTest, TheSelectedRowStaysWhileItIsTheSameRow)
{
    FakeAppScreen* screen = openDatabases();
    tap(screen, 1);
    auto controller = controllerOf<DatabaseDataController>(screen);
    EXPECT_EQ(controller->checksum(), b->id().toString());

    reload(screen);
    EXPECT_EQ(controller->count(), 3);
    EXPECT_EQ(screen->selectedRow(), 1);
    EXPECT_EQ(nameOf(controller->detailRowInAction()), "B");
    EXPECT_EQ(controller->prevSelectedRow(), 1);

    // Another row now stands at the selected place.
    ASSERT_TRUE(Database::deleteDatabase(b));
    reload(screen);
    EXPECT_EQ(screen->selectedRow(), -1);
    EXPECT_FALSE(controller->detailRowInAction().isValid());
    // The checksum outlives the reload.
    EXPECT_FALSE(controller->checksum().isEmpty());
}

TEST_F(CloudReloadTest, ASelectionPastTheEndGoesButARowBeingAddedStays)
{
    FakeAppScreen* screen = openDatabases();
    tap(screen, 2);
    auto controller = controllerOf<DatabaseDataController>(screen);
    ASSERT_TRUE(Database::deleteDatabase(c));
    reload(screen);
    EXPECT_EQ(screen->selectedRow(), -1);
    EXPECT_FALSE(controller->detailRowInAction().isValid());

    // Add: the new database, not yet stored, survives the reload.
    controller->add(nullptr);
    ASSERT_EQ(screen->shownForms.last(), "DatabaseDetailViewController");
    const QVariant adding = controller->detailRowInAction();
    ASSERT_TRUE(adding.isValid());
    reload(screen);
    EXPECT_EQ(controller->detailRowInAction(), adding);
}

// Another machine's change arrives while an Add form is open over a selected row that the
// change left as it was: the reload leaves the form its new row to save into.
TEST_F(CloudReloadTest, AnOpenAddFormKeepsItsNewRowThoughAnUnchangedRowIsSelected)
{
    FakeAppScreen* screen = openDatabases();
    auto controller = controllerOf<DatabaseDataController>(screen);
    tap(screen, 1);
    controller->add(nullptr);
    const QVariant adding = controller->detailRowInAction();
    ASSERT_TRUE(adding.isValid());
    FollowingForm form;
    controller->setLastDetailViewController(&form);

    addDatabase("D");
    // The import's reload (the store stays), then the grid selects its row again.
    controller->cloudStoreLoaded();
    EXPECT_EQ(controller->detailRowInAction(), adding);
    EXPECT_EQ(screen->selectedRow(), 1);
    EXPECT_EQ(nameOf(controller->getRowData(1)), "B");
    controller->tapOnItem(1);
    EXPECT_EQ(controller->detailRowInAction(), adding);
    EXPECT_EQ(form.reloads, 1);

    // Once the form is gone, a tap chooses the row again.
    controller->setLastDetailViewController(nullptr);
    tap(screen, 2);
    EXPECT_EQ(nameOf(controller->detailRowInAction()), "C");
    EXPECT_EQ(controller->checksum(), c->id().toString());
}

// An open Edit form keeps the row it edits wherever the reload puts it, until the row is
// deleted: then it has none, and says so.
TEST_F(CloudReloadTest, AnOpenEditFormKeepsItsRowWhereverItMovesUntilItIsDeleted)
{
    FakeAppScreen* screen = openDatabases();
    auto controller = controllerOf<DatabaseDataController>(screen);
    tap(screen, 1);
    controller->edit(nullptr);
    ASSERT_EQ(nameOf(controller->detailRowInAction()), "B");
    FollowingForm form;
    controller->setLastDetailViewController(&form);

    // Another row now stands where B was selected.
    ASSERT_TRUE(Database::deleteDatabase(a));
    controller->cloudStoreLoaded();
    EXPECT_EQ(nameOf(controller->detailRowInAction()), "B");
    controller->tapOnItem(1);
    EXPECT_EQ(nameOf(controller->detailRowInAction()), "B");
    ASSERT_TRUE(Database::deleteDatabase(b));
    controller->cloudStoreLoaded();
    EXPECT_FALSE(controller->detailRowInAction().isValid());
    EXPECT_EQ(form.reloads, 2);
}

TEST_F(CloudReloadTest, AChildWhoseParentRowWentReturnsToTheRoot)
{
    FakeAppScreen* databases = openDatabases();
    tap(databases, 0);
    FakeAppScreen* home = open<MainDataController>("Home", linkFrom(databases, 0));
    EXPECT_EQ(home->title(), "A");
    ASSERT_EQ(navigation->viewControllers().size(), 2);

    ASSERT_TRUE(Database::deleteDatabase(a));
    // Parents reload before their children.
    reload(databases);
    EXPECT_FALSE(databases->dataController->detailRowInAction().isValid());
    controllerOf<MainDataController>(home)->cloudStoreUnloaded();
    controllerOf<MainDataController>(home)->cloudStoreLoaded();
    EXPECT_EQ(lastAlertText(), "Data has been changed or deleted by Sync.");
    testsupport::processEvents(50);
    EXPECT_EQ(navigation->viewControllers().size(), 1);
}

TEST_F(CloudReloadTest, AChildTakesItsParentsFreshRow)
{
    FakeAppScreen* databases = openDatabases();
    tap(databases, 1);
    FakeAppScreen* home = open<MainDataController>("Home", linkFrom(databases, 1));
    const auto before = home->parentLink();
    EXPECT_EQ(home->title(), "B");

    reload(databases);
    reload(home);
    EXPECT_NE(home->parentLink(), before);
    EXPECT_EQ(nameOf(home->parentLink()->data), "B");
    EXPECT_EQ(home->title(), "B");
    EXPECT_EQ(navigation->viewControllers().size(), 2);
    EXPECT_TRUE(alertsShown().isEmpty());
}

TEST_F(CloudReloadTest, OnlyAFormApartFromTheStackIsToldToReload)
{
    FakeAppScreen* screen = openDatabases();
    auto controller = controllerOf<DatabaseDataController>(screen);

    FollowingForm popover;
    controller->setLastDetailViewController(&popover);
    reload(screen);
    EXPECT_EQ(popover.reloads, 1);

    auto* pushed = new FollowingForm();
    navigation->pushViewController(pushed, false);
    controller->setLastDetailViewController(pushed);
    // Not at the top of the stack: nothing is told.
    reload(screen);
    EXPECT_EQ(pushed->reloads, 0);
    EXPECT_EQ(popover.reloads, 1);
    navigation->popViewController(false);
    testsupport::processEvents(10);
}
