#include "GridScreenFixture.h"

#include "platform/ui/SearchBar.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "widgets/ReorderableCollectionViewFlowLayout.h"

using gridtest::GridScreens;
using gridtest::ItemsController;
using testsupport::GestureSynthesizer;

namespace {

// The tables of a small business, each with its icon.
void seedTables()
{
    const QList<std::pair<QString, QString>> tables { { "Accounts", "accounts" },
        { "Appointments", "appointment" }, { "Birthdays", "birthday" }, { "Books", "books" },
        { "Contacts", "contacts" }, { "Expenses", "expenses" }, { "Finance", "finance" },
        { "Health log", "health" }, { "Inventory", "inventory" }, { "Notes", "notes" },
        { "Stock", "stock" }, { "Tasks", "tasks" }, { "To-do", "todo" },
        { "Work items", "workitems" }, { "Suppliers", "contacts" }, { "Invoices", "finance" },
        { "Orders", "stock" }, { "Projects", "tasks" }, { "Reading list", "books" },
        { "Repairs", "workitems" }, { "Subscriptions", "accounts" }, { "Trips", "appointment" } };
    ItemsController::seed.clear();
    for (const auto& [name, icon] : tables) {
        ItemsController::seed << name;
        ItemsController::seedIcons.insert(name, icon);
    }
}

std::shared_ptr<BridgeScreenData> tablesRecord()
{
    auto record = GridScreens::itemsRecord();
    record->title = "Tables";
    record->buttonBits = std::make_shared<BitManager>(
        BitManager::createButtonVector({ 1, 2, 3, 4, 7, 12, 35, 37 }));
    return record;
}

} // namespace

TEST_F(GridScreens, ScreenshotTilesOnALandscapeTabletWithASelectedRow)
{
    seedTables();
    auto* screen = open(tablesRecord(), "tablet");
    screen->selectRow(4);
    settle(700);
    EXPECT_EQ(cell(screen, 4)->contentView()->backgroundColor(),
        Theme::current()->RowHighLightColor().toQColor());
    EXPECT_TRUE(saveShot("grid-tiles-tablet-landscape.png"));
}

TEST_F(GridScreens, ScreenshotTilesOnAPortraitPhoneWithASelectedRow)
{
    seedTables();
    auto* screen = open(tablesRecord(), "phone");
    screen->selectRow(2);
    settle(700);
    EXPECT_TRUE(saveShot("grid-tiles-phone-portrait.png"));
}

TEST_F(GridScreens, ScreenshotEditMode)
{
    seedTables();
    auto* screen = open(tablesRecord(), "tablet");
    items(screen)->buttons = 3;
    screen->refreshGrid();
    settle();
    GestureSynthesizer::swipe(cell(screen, 1)->contentView(),
        platform::ui::SwipeGestureRecognizer::Left, QPointF(200, 25));
    settle(700);
    ASSERT_NE(tileView(screen, 1, 2002), nullptr);
    EXPECT_TRUE(saveShot("grid-tiles-edit-mode.png"));
}

TEST_F(GridScreens, ScreenshotASearch)
{
    seedTables();
    auto* screen = open(tablesRecord(), "tablet");
    screen->searchBar()->becomeFirstResponder();
    screen->searchBarShouldBeginEditing(screen->searchBar());
    screen->searchBar()->setText("in");
    screen->searchBarTextDidChange(screen->searchBar(), "in");
    settle(700);
    EXPECT_TRUE(items(screen)->isSearchActive());
    EXPECT_TRUE(saveShot("grid-tiles-search.png"));
}

TEST_F(GridScreens, ScreenshotADrag)
{
    seedTables();
    auto record = tablesRecord();
    record->rowView = "GenericOrderableRowViewController";
    auto* screen = open(record, "tablet");
    auto* view = screen->collectionView();
    const QPointF from = cell(screen, 1)->frame().center();
    const QPointF to = cell(screen, 7)->frame().center() + QPointF(30, 12);
    GestureSynthesizer::press(view, from);
    GestureSynthesizer::move(from, 0.6);
    for (int step = 1; step <= 8; ++step) {
        GestureSynthesizer::move(from + (to - from) * step / 8.0);
        settle(5);
    }
    settle(400);
    auto* layout = qobject_cast<ReorderableCollectionViewFlowLayout*>(view->collectionViewLayout());
    ASSERT_TRUE(layout->selectedItemIndexPath());
    EXPECT_TRUE(saveShot("grid-tiles-drag.png"));
    GestureSynthesizer::release();
    settle(100);
}

TEST_F(GridScreens, ScreenshotTilesOfLinesThatAreNotFullStayInTheirColumns)
{
    // Two tiles on a line for three stand where a full line puts them.
    ItemsController::seed = { "Accounts", "Books" };
    auto* screen = open(tablesRecord(), "tablet");
    const QRectF first = cell(screen, 0)->frame();
    const QRectF second = cell(screen, 1)->frame();
    EXPECT_EQ(first.left(), 15);
    EXPECT_NEAR(second.left() - first.right(), 15, 0.5);
    // Where the layout puts it, not rounded to a whole pixel.
    EXPECT_EQ(second,
        screen->collectionView()
            ->layoutAttributesForItemAtIndexPath(platform::ui::IndexPath(1, 0))
            ->frame());
    EXPECT_TRUE(saveShot("grid-tiles-one-short-line.png"));

    // Four: a full line, and the fourth under the first.
    items(screen)->names = QStringList { "Accounts", "Books", "Contacts", "Diaries" };
    screen->refreshView();
    settle();
    EXPECT_EQ(cell(screen, 0)->frame(), first);
    EXPECT_EQ(cell(screen, 1)->frame(), second);
    EXPECT_NEAR(cell(screen, 2)->frame().right(), 1024 - 15, 0.5);
    EXPECT_EQ(cell(screen, 3)->frame().left(), 15);
    EXPECT_TRUE(saveShot("grid-tiles-short-last-line.png"));
}
