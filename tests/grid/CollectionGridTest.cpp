#include "GridScreenFixture.h"

#include "grid/GenericRowViewController.h"
#include "grid/ResponseTable.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/TextField.h"
#include "utilities/data/BitManager.h"
#include "widgets/HorizontalPickerView.h"
#include "widgets/ProgressHUD.h"

using gridtest::GridScreens;
using gridtest::ItemsController;
using platform::ui::AlertView;
using platform::ui::SwipeGestureRecognizer;
using testsupport::GestureSynthesizer;

namespace {

// How many swipe recognisers of each direction the cell carries.
QList<int> swipesOf(platform::ui::CollectionViewCell* cell)
{
    int left = 0;
    int right = 0;
    for (auto* recognizer : cell->gestureRecognizers()) {
        if (auto* swipe = qobject_cast<SwipeGestureRecognizer*>(recognizer)) {
            left += swipe->direction() == SwipeGestureRecognizer::Left;
            right += swipe->direction() == SwipeGestureRecognizer::Right;
        }
    }
    return { left, right };
}

GenericRowViewController* tiles(MainCollectionViewController* screen)
{
    return qobject_cast<GenericRowViewController*>(screen->rowViewContoller());
}

void type(MainCollectionViewController* screen, const QString& text)
{
    screen->searchBar()->setText(text);
    screen->searchBarTextDidChange(screen->searchBar(), text);
    GridScreens::settle();
}

} // namespace

TEST_F(GridScreens, TheScreenShowsTheRowsOfItsDataControllerBelowTheSearchBar)
{
    auto* screen = open(itemsRecord());
    ItemsController* controller = items(screen);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->loads, 1);
    EXPECT_FALSE(screen->refresh());
    EXPECT_EQ(screen->collectionView()->numberOfItemsInSection(0), 12);
    EXPECT_EQ(shownTitles(screen).mid(0, 3), (QStringList { "Item 0", "Item 1", "Item 2" }));
    ASSERT_NE(screen->searchBar(), nullptr);
    EXPECT_FALSE(screen->searchBar()->isHidden());
    EXPECT_EQ(screen->searchBar()->placeholder(), "Search");
    const QRectF grid = screen->collectionView()->frame();
    EXPECT_DOUBLE_EQ(grid.top(), screen->searchBar()->frame().bottom());
    EXPECT_DOUBLE_EQ(grid.width(), screen->view()->bounds().width());
    // Tiles get no column header.
    EXPECT_EQ(
        screen->collectionView()->supplementaryViewForElementKind(
            platform::ui::CollectionView::ElementKindSectionHeader, platform::ui::IndexPath(0, 0)),
        nullptr);

    // Hiding the search bar gives the grid its room.
    screen->showHideSearchBar();
    EXPECT_TRUE(screen->searchBar()->isHidden());
    EXPECT_DOUBLE_EQ(screen->collectionView()->frame().top(), 0);
}

TEST_F(GridScreens, SelectingARowHighlightsItAndTellsTheDataController)
{
    auto* screen = open(itemsRecord());
    ItemsController* controller = items(screen);
    GestureSynthesizer::tap(cell(screen, 3)->contentView(), QPointF(80, 25));
    settle();
    EXPECT_EQ(screen->selectedRow(), 3);
    EXPECT_EQ(controller->taps.last(), 3);
    EXPECT_EQ(controller->detailRowInAction(), controller->getRowData(3));
    const QColor highlight = Theme::current()->RowHighLightColor().toQColor();
    EXPECT_EQ(cell(screen, 3)->contentView()->backgroundColor(), highlight);

    // Another row: the first goes back to the tile colour.
    GestureSynthesizer::tap(cell(screen, 5)->contentView(), QPointF(80, 25));
    settle();
    EXPECT_EQ(screen->selectedRow(), 5);
    EXPECT_EQ(cell(screen, 3)->contentView()->backgroundColor(),
        Theme::current()->MetroRowBackColor().toQColor());
    EXPECT_EQ(cell(screen, 5)->contentView()->backgroundColor(), highlight);
}

TEST_F(GridScreens, SelectRowKeepsWithinTheRows)
{
    auto* screen = open(itemsRecord());
    screen->selectRow(2);
    EXPECT_EQ(screen->selectedRow(), 2);
    // -1 does nothing.
    screen->selectRow(-1);
    EXPECT_EQ(screen->selectedRow(), 2);
    // The count or more: no selection.
    screen->selectRow(12);
    EXPECT_EQ(screen->selectedRow(), -1);
    screen->selectRow(40);
    EXPECT_EQ(screen->selectedRow(), -1);

    // An empty grid: nothing happens.
    items(screen)->names.clear();
    screen->refreshView();
    settle();
    screen->setSelectedRow(-1);
    screen->selectRow(0);
    EXPECT_EQ(screen->selectedRow(), -1);
}

TEST_F(GridScreens, AfterAnAddTheNewLastRowIsSelectedAfterARemoveNone)
{
    auto* screen = open(itemsRecord());
    ItemsController* controller = items(screen);
    controller->add(nullptr);
    settle(150);
    EXPECT_EQ(screen->collectionView()->numberOfItemsInSection(0), 13);
    EXPECT_EQ(screen->selectedRow(), 12);
    EXPECT_EQ(controller->lastClickedButton(), 0u);

    controller->remove(nullptr);
    settle();
    ASSERT_EQ(AlertView::visibleAlerts().size(), 1);
    AlertView::visibleAlerts().first()->clickButtonAtIndex(1);
    settle(150);
    EXPECT_EQ(screen->collectionView()->numberOfItemsInSection(0), 12);
    EXPECT_EQ(screen->selectedRow(), -1);
    EXPECT_FALSE(controller->names.contains("Item 12"));
}

TEST_F(GridScreens, TypingSearchesAndClearingTheTextShowsAllRowsAgain)
{
    auto* screen = open(itemsRecord());
    screen->selectRow(4);
    type(screen, "1");
    EXPECT_EQ(screen->selectedRow(), -1);
    EXPECT_TRUE(items(screen)->isSearchActive());
    EXPECT_EQ(shownTitles(screen), (QStringList { "Item 1", "Item 10", "Item 11" }));

    type(screen, "");
    EXPECT_FALSE(items(screen)->isSearchActive());
    EXPECT_EQ(screen->collectionView()->numberOfItemsInSection(0), 12);
    EXPECT_EQ(shownTitles(screen).size(), 12);

    // Beginning to edit shows Cancel; Cancel empties the text and ends the search.
    EXPECT_TRUE(screen->searchBarShouldBeginEditing(screen->searchBar()));
    EXPECT_TRUE(screen->searchBar()->showsCancelButton());
    type(screen, "Item 3");
    screen->searchBarCancelButtonClicked(screen->searchBar());
    settle();
    EXPECT_TRUE(screen->searchBar()->text().isEmpty());
    EXPECT_FALSE(screen->searchBar()->showsCancelButton());
    EXPECT_FALSE(items(screen)->isSearchActive());
    EXPECT_EQ(screen->collectionView()->numberOfItemsInSection(0), 12);
}

TEST_F(GridScreens, EndingASearchKeepsTheSameRowSelectedOrNone)
{
    auto* screen = open(itemsRecord());
    type(screen, "1");
    // "Item 10" is the second match.
    screen->selectRow(1);
    type(screen, "");
    EXPECT_EQ(screen->selectedRow(), 10);
    settle(150);
    EXPECT_EQ(screen->collectionView()->indexPathsForSelectedItems().value(0).item(), 10);

    // A selected match that went away while searching leaves no selection, not the row
    // that now has its index.
    type(screen, "Item 1");
    screen->selectRow(2); // "Item 11"
    items(screen)->names.removeAll("Item 11");
    screen->refreshView();
    settle();
    type(screen, "");
    EXPECT_EQ(screen->selectedRow(), -1);
}

TEST_F(GridScreens, ALoadDuringASearchSearchesTheNewRows)
{
    auto* screen = open(itemsRecord());
    type(screen, "1");
    ASSERT_EQ(shownTitles(screen), (QStringList { "Item 1", "Item 10", "Item 11" }));
    screen->selectRow(1);
    items(screen)->remove(nullptr);
    settle();
    AlertView::visibleAlerts().first()->clickButtonAtIndex(1);
    settle(150);
    EXPECT_TRUE(items(screen)->isSearchActive());
    EXPECT_EQ(shownTitles(screen), (QStringList { "Item 1", "Item 11" }));
}

TEST_F(GridScreens, EveryCellGetsOneSwipeOfEachWayOnce)
{
    auto* screen = open(itemsRecord());
    items(screen)->buttons = 3;
    for (int i = 0; i < 4; ++i) {
        screen->refreshGrid();
        screen->collectionView()->setContentOffset(QPointF(0, 60 * i));
        settle();
    }
    const auto cells = screen->collectionView()->visibleCells();
    ASSERT_FALSE(cells.isEmpty());
    for (auto* shown : cells)
        EXPECT_EQ(swipesOf(shown), (QList<int> { 1, 1 }));
}

TEST_F(GridScreens, SwipesSwitchEditModeOnlyInAGridWithTileButtons)
{
    auto* screen = open(itemsRecord());
    items(screen)->buttons = 1;
    screen->refreshGrid();
    settle();
    GestureSynthesizer::swipe(
        cell(screen, 0)->contentView(), SwipeGestureRecognizer::Left, QPointF(200, 25));
    settle();
    EXPECT_TRUE(tiles(screen)->editing());
    ASSERT_NE(tileView(screen, 0, 2002), nullptr);
    EXPECT_FALSE(tileView(screen, 0, 2002)->isHidden());
    EXPECT_TRUE(tileView(screen, 0, 2000)->isHidden());

    GestureSynthesizer::swipe(
        cell(screen, 2)->contentView(), SwipeGestureRecognizer::Right, QPointF(100, 25));
    settle();
    EXPECT_FALSE(tiles(screen)->editing());
    EXPECT_TRUE(tileView(screen, 0, 2002)->isHidden());
    EXPECT_FALSE(tileView(screen, 0, 2000)->isHidden());

    // The same cells, now in a grid without tile buttons: a swipe changes nothing.
    items(screen)->buttons = 0;
    screen->refreshGrid();
    settle();
    GestureSynthesizer::swipe(
        cell(screen, 0)->contentView(), SwipeGestureRecognizer::Left, QPointF(200, 25));
    settle();
    EXPECT_FALSE(tiles(screen)->editing());
    EXPECT_FALSE(tileView(screen, 0, 2000)->isHidden());
}

TEST_F(GridScreens, APagedTableWithoutPagesShowsNoPagePicker)
{
    auto record = itemsRecord();
    record->buttonBits = std::make_shared<BitManager>(BitManager::createButtonVector({ 7 }));
    auto* screen = open(record);
    screen->navigationItem()->setRightBarButtonItem(
        new platform::ui::BarButtonItem(QStringLiteral("1")));
    auto table = std::make_shared<ResponseTable>();
    table->TotalPages = 0;
    items(screen)->setTable(table);
    screen->displayPageNumber();
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItem(), nullptr);
}

TEST_F(GridScreens, ALoadThatFailsShowsWhyAndLeavesNoOverlay)
{
    ItemsController::seed.clear();
    auto* screen = open(itemsRecord());
    items(screen)->failLoad = true;
    screen->refreshView();
    settle(80);
    const auto alerts = AlertView::visibleAlerts();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first()->message(), "The rows could not be read.");
    EXPECT_EQ(screen->hudCount(), 0u);
    EXPECT_EQ(ProgressHUD::HUDForView(screen->view()), nullptr);
}

TEST_F(GridScreens, InLandscapeANotchedPhoneKeepsTheGridInsideTheSafeArea)
{
    auto* screen = open(itemsRecord(), "phone-x");
    platform::ui::Device::current().setOrientation(platform::ui::Orientation::LandscapeLeft);
    settle();
    const QMarginsF safe = platform::ui::Device::current().safeAreaInsets();
    ASSERT_GT(safe.left(), 0);
    ASSERT_GT(safe.right(), 0);
    EXPECT_DOUBLE_EQ(screen->gridviewContentSize().left(), safe.left());
    screen->refreshGrid();
    settle();
    // Clear of the safe area on the right as well: the notch may be on either side.
    EXPECT_DOUBLE_EQ(screen->collectionView()->frame().left(), safe.left());
    EXPECT_DOUBLE_EQ(screen->collectionView()->frame().width(),
        screen->view()->bounds().width() - safe.left() - safe.right());

    // The search bar reaches the edges, its field and Cancel stay clear of the notch.
    platform::ui::SearchBar* bar = screen->searchBar();
    ASSERT_NE(bar, nullptr);
    bar->setHidden(false);
    bar->setShowsCancelButton(true);
    screen->view()->layoutIfNeeded();
    settle();
    EXPECT_DOUBLE_EQ(bar->frame().width(), screen->view()->bounds().width());
    EXPECT_GE(bar->searchTextField()->frame().left(), safe.left());
    EXPECT_LE(bar->cancelButton()->frame().right(), bar->bounds().width() - safe.right());
    EXPECT_LT(bar->searchTextField()->frame().right(), bar->cancelButton()->frame().left());
}

// The picker a paged table had goes when the table has no pages any more or is gone.
TEST_F(GridScreens, APagePickerGoesWithTheTablesPages)
{
    auto record = itemsRecord();
    record->buttonBits = std::make_shared<BitManager>(BitManager::createButtonVector({ 7 }));
    auto* screen = open(record);
    const auto paged = [&](unsigned total) {
        auto table = std::make_shared<ResponseTable>();
        table->TotalPages = total;
        table->CurrentPage = 1;
        return table;
    };
    for (const bool tableGoes : { false, true }) {
        items(screen)->setTable(paged(5));
        screen->displayPageNumber();
        QPointer<HorizontalPickerView> picker = screen->pagePicker();
        ASSERT_TRUE(picker);
        ASSERT_NE(screen->navigationItem()->rightBarButtonItem(), nullptr);

        items(screen)->setTable(tableGoes ? nullptr : paged(0));
        screen->displayPageNumber();
        EXPECT_TRUE(picker.isNull()) << tableGoes;
        EXPECT_EQ(screen->pagePicker(), nullptr);
        EXPECT_EQ(screen->navigationItem()->rightBarButtonItem(), nullptr);
    }
    // Another right button, such as the table picker, stays.
    auto* other = new platform::ui::BarButtonItem(QStringLiteral("Tables"));
    screen->navigationItem()->setRightBarButtonItem(other);
    items(screen)->setTable(nullptr);
    screen->displayPageNumber();
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItem(), other);
}
