#include "GridFixture.h"

#include "grid/BridgeScreenData.h"
#include "grid/BridgeScreenFactory.h"
#include "grid/GridData.h"
#include "grid/Parent.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "grid/TableDataController.h"
#include "utilities/shell/ScreenServices.h"

#include <gtest/gtest.h>

using gridtest::FakeGridScreen;
using gridtest::GridFixture;
using gridtest::RecordingController;
using platform::ui::AlertView;

namespace {

QVariant menuRow(const QString& text, const QString& image = "image")
{
    return RowObject::fromRecord(std::make_shared<GridData>(text, image));
}

QString menuText(const QVariant& row)
{
    const auto item = RowObject::record<GridData>(row);
    return item ? item->Menu : QString();
}

QStringList menuTexts(const QVariantList& rows)
{
    QStringList texts;
    for (const QVariant& row : rows)
        texts << menuText(row);
    return texts;
}

QVariant serverRow(const QList<QVariant>& values)
{
    auto row = std::make_shared<ResponseRow>();
    for (qsizetype i = 0; i < values.size(); ++i)
        row->Columns.append(ResponseRowColumn { unsigned(i), values[i] });
    return RowObject::fromRecord(row);
}

// Screen records for the ids the tests ask for, as an application's factory would give.
class TestFactory : public ScreenServices {
public:
    std::shared_ptr<ScreenRecord> GetScreen(
        const QString& screenId, const std::shared_ptr<ScreenLink>& parent) override
    {
        auto record
            = BridgeScreenFactory::GetScreen(screenId, std::dynamic_pointer_cast<Parent>(parent));
        record->title = "Title of " + screenId;
        record->image = "image of " + screenId;
        if (screenId == "LISTING")
            record->childScreens = QStringList { "A", "B" };
        if (screenId == "PICKER")
            record->selectMethod = "chooseRow";
        asked << screenId;
        return record;
    }
    QStringList asked;
};

TestFactory* installFactory()
{
    auto factory = std::make_unique<TestFactory>();
    TestFactory* installed = factory.get();
    ScreenServices::install(std::move(factory));
    return installed;
}

} // namespace

TEST_F(GridFixture, WithoutASelectedRowEditDetailAndRemoveSayPleaseSelectARow)
{
    FakeGridScreen* screen = show();
    controller->setRows({ menuRow("a"), menuRow("b") });
    controller->edit(nullptr);
    controller->detail(nullptr);
    controller->remove(nullptr);
    ASSERT_TRUE(testsupport::waitUntil([] { return AlertView::visibleAlerts().size() == 3; }));
    for (AlertView* alert : AlertView::visibleAlerts()) {
        EXPECT_EQ(alert->title(), "Information");
        EXPECT_EQ(alert->message(), "Please select a Row.");
    }
    EXPECT_TRUE(screen->shownRows.isEmpty());
    EXPECT_TRUE(screen->rowDetails.isEmpty());
    EXPECT_TRUE(controller->calls.isEmpty());

    // A selection beyond the rows counts as none; so does a selection in an empty grid.
    screen->selected = 2;
    EXPECT_FALSE(controller->isRowSelected());
    controller->setRows({});
    screen->selected = 0;
    EXPECT_FALSE(controller->isRowSelected());
}

TEST_F(GridFixture, EditShowsTheSelectedRowInTheRecordsFormAfterBeforeEdit)
{
    record->detailViewController = "RowForm";
    FakeGridScreen* screen = show();
    controller->setRows({ menuRow("a"), menuRow("b") });
    screen->selected = 1;
    controller->edit(nullptr);
    EXPECT_EQ(controller->lastClickedButton(), 2u);
    EXPECT_EQ(controller->calls, QStringList { "beforeEdit" });
    ASSERT_EQ(screen->shownRows.size(), 1);
    EXPECT_EQ(menuText(screen->shownRows.first()), "b");
    EXPECT_EQ(screen->shownForms.first(), "RowForm");

    controller->detail(nullptr);
    ASSERT_EQ(screen->rowDetails.size(), 1);
    EXPECT_EQ(menuText(screen->rowDetails.first()), "b");

    controller->add(nullptr);
    EXPECT_EQ(controller->calls.last(), "addTouched");
}

TEST_F(GridFixture, RemovalAsksForConfirmationAndOkDeletesAndReloads)
{
    FakeGridScreen* screen = show();
    const QVariantList rows = { menuRow("a"), menuRow("b"), menuRow("c") };
    controller->setRows(rows);
    screen->selected = 1;
    controller->remove(nullptr);
    EXPECT_EQ(controller->lastClickedButton(), 3u);

    auto alerts = alertsShown();
    ASSERT_EQ(alerts.size(), 1);
    AlertView* alert = alerts.first();
    EXPECT_EQ(alert->title(), "Confirmation");
    EXPECT_EQ(alert->message(), "Delete Record?");
    EXPECT_EQ(alert->tag(), TableDataController::DeleteConfirmationTag);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "Cancel");
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "Ok");
    EXPECT_TRUE(controller->calls.isEmpty());

    alert->clickButtonAtIndex(1);
    ASSERT_TRUE(testsupport::waitUntil([&] { return controller->calls.contains("deleteRow"); }));
    EXPECT_EQ(menuTexts(controller->rows()), QStringList({ "a", "c" }));
    EXPECT_EQ(screen->viewRefreshes, 1);
}

TEST_F(GridFixture, CancellingOrARefusedDeletionLeavesTheGridAsItWas)
{
    FakeGridScreen* screen = show();
    controller->setRows({ menuRow("a"), menuRow("b") });
    screen->selected = 0;

    controller->remove(nullptr);
    alertsShown().first()->clickButtonAtIndex(0);
    testsupport::processEvents(20);
    EXPECT_TRUE(controller->calls.isEmpty());

    controller->deleteSucceeds = false;
    controller->remove(nullptr);
    alertsShown().first()->clickButtonAtIndex(1);
    ASSERT_TRUE(testsupport::waitUntil([&] { return controller->calls.contains("deleteRow"); }));
    EXPECT_EQ(controller->rows().size(), 2);
    EXPECT_EQ(screen->viewRefreshes, 0);

    // A controller that may not delete asks nothing.
    controller->deletable = false;
    controller->remove(nullptr);
    EXPECT_TRUE(alertsShown().isEmpty());

    controller->deletable = true;
    controller->customDeleteMessage = "Delete this table and its rows?";
    controller->remove(nullptr);
    EXPECT_EQ(alertsShown().first()->message(), "Delete this table and its rows?");
}

TEST_F(GridFixture, OpenOnASaveSuccessAlertDeletesNothing)
{
    // The controller is the delegate of a save's success alert too: its Open (index 1)
    // must never be taken for the delete confirmation's Ok.
    FakeGridScreen* screen = show();
    controller->setRows({ menuRow("a"), menuRow("b") });
    screen->selected = 0;
    controller->setLastClickedButton(3);
    auto* saved = new AlertView(
        "Information", "Successfully Saved.", controller.get(), "Close", { "Open" });
    saved->setTag(1000);
    saved->show();
    ASSERT_EQ(alertsShown().size(), 1);
    saved->clickButtonAtIndex(1);
    testsupport::processEvents(50);
    EXPECT_FALSE(controller->calls.contains("deleteRow"));
    EXPECT_EQ(controller->rows().size(), 2);
    EXPECT_EQ(screen->viewRefreshes, 0);
}

TEST(TableSearch, NumbersMatchThroughTheirDecimalTextIgnoringCaseAndDiacritics)
{
    const auto block = TableDataController::getTableSearchBlock("12");
    EXPECT_TRUE(block(serverRow({ "x", 123 })));
    EXPECT_TRUE(block(serverRow({ 9.125 })));
    EXPECT_TRUE(block(serverRow({ qint64(4120) })));
    EXPECT_FALSE(block(serverRow({ 13, "1 2" })));

    const auto accented = TableDataController::getTableSearchBlock("CAFE");
    EXPECT_TRUE(accented(serverRow({ "Petit café" })));
    EXPECT_TRUE(TableDataController::getTableSearchBlock("Crème")(serverRow({ "CREME brûlée" })));
    EXPECT_FALSE(accented(serverRow({ "caffè" })));
}

TEST(TableSearch, ARowWithoutCellsOrMatchingValuesNeverMatches)
{
    const auto block = TableDataController::getTableSearchBlock("a");
    EXPECT_FALSE(block(serverRow({})));
    // No value, lists and other objects are not texts.
    EXPECT_FALSE(
        block(serverRow({ QVariant(), QVariantList { "a" }, QVariantMap { { "a", "a" } } })));
    // Only server rows are searched by this block.
    EXPECT_FALSE(block(menuRow("a")));
    EXPECT_FALSE(block(QVariant()));
    // An empty search text finds nothing.
    EXPECT_FALSE(TableDataController::getTableSearchBlock("")(serverRow({ "a" })));
}

TEST(TableSearch, TheMenuBlockSearchesTheItemsText)
{
    const auto block = TableDataController::getMenuSearchBlock("data");
    EXPECT_TRUE(block(menuRow("Databases")));
    EXPECT_TRUE(block(menuRow("Métadata")));
    EXPECT_FALSE(block(menuRow("Tables", "database")));
    EXPECT_FALSE(block(serverRow({ "data" })));
}

TEST_F(GridFixture, SearchingShowsTheMatchesAndRedraws)
{
    FakeGridScreen* screen = show();
    controller->setRows(
        { serverRow({ "Anna", 31 }), serverRow({ "Bob", 12 }), serverRow({ "Ånnika", 44 }) });
    controller->searchData("ann");
    EXPECT_TRUE(controller->isSearchActive());
    EXPECT_EQ(controller->count(), 2);
    EXPECT_EQ(controller->getRowData(1), controller->rows().at(2));
    EXPECT_EQ(screen->gridRefreshes, 1);
}

TEST_F(GridFixture, ALoadDuringASearchSearchesTheNewRows)
{
    // Rows removed by the load must not stay on screen as search results.
    show();
    controller->setRows({ menuRow("Alpha"), menuRow("Alps"), menuRow("Beta") });
    controller->filterRows("al", TableDataController::getMenuSearchBlock("al"));
    ASSERT_EQ(menuTexts(controller->activeRows()), QStringList({ "Alpha", "Alps" }));

    controller->setRows({ menuRow("Alps"), menuRow("Beta"), menuRow("Altitude") });
    EXPECT_TRUE(controller->isSearchActive());
    EXPECT_EQ(menuTexts(controller->activeRows()), QStringList({ "Alps", "Altitude" }));

    // After the search has ended, a load leaves the rows alone.
    controller->setIsSearchActive(false);
    controller->setRows({ menuRow("Gamma") });
    EXPECT_EQ(controller->count(), 1);
}

TEST_F(GridFixture, EndingASearchKeepsTheSameRowSelectedOrNone)
{
    show();
    const QVariantList rows
        = { menuRow("Alpha"), menuRow("Beta"), menuRow("Alps"), menuRow("Gamma") };
    controller->setRows(rows);
    controller->filterRows("al", TableDataController::getMenuSearchBlock("al"));
    // "Alps" is the second match; in the full list it is the third row.
    EXPECT_EQ(controller->endSearch(1), 2);
    EXPECT_FALSE(controller->isSearchActive());

    controller->filterRows("al", TableDataController::getMenuSearchBlock("al"));
    EXPECT_EQ(controller->endSearch(-1), -1);

    // The selected match went away with a reload: nothing is selected.
    controller->filterRows("al", TableDataController::getMenuSearchBlock("al"));
    controller->setRows({ rows[0], rows[1], rows[3] });
    EXPECT_EQ(controller->endSearch(1), -1);
}

TEST_F(GridFixture, TheTitleIsTheRecordsUnlessATitleFieldNamesAValueOfTheRowAbove)
{
    // Two screens up (the row chosen there), then a menu screen, then this one.
    auto tableScreen = std::make_shared<BridgeScreenData>();
    tableScreen->id = "TABLE";
    auto tableController = std::make_shared<RecordingController>();
    auto table = std::make_shared<ResponseTable>();
    table->Columns.append(ResponseColumn { "Name", "Name", 10, 1, "N" });
    tableController->setTable(table);
    auto tableLink = std::make_shared<Parent>();
    tableLink->screen = tableScreen;
    tableLink->dataController = tableController;
    tableLink->data = serverRow({ "ignored", "Invoices" });

    auto menuScreen = std::make_shared<BridgeScreenData>();
    menuScreen->id = "MENU";
    menuScreen->contentismenu = true;
    auto menuLink = std::make_shared<Parent>();
    menuLink->screen = menuScreen;
    menuLink->parent = tableLink;
    // The titles read the table of the controller of the nearest link.
    menuLink->dataController = tableController;
    menuLink->data = menuRow("Open");

    show(menuLink);
    EXPECT_EQ(controller->getTitle(), "Screen");
    record->titleField = "Name";
    EXPECT_EQ(controller->getTitle(), "Invoices");

    // Without the menu in between, the nearest link's row gives it.
    menuScreen->contentismenu = false;
    menuLink->data = serverRow({ "x", "Receipts" });
    EXPECT_EQ(controller->getTitle(), "Receipts");
}

TEST_F(GridFixture, GridDataOfServerRowsCarriesTheKeyFieldTextAndImageOnlyForTiles)
{
    record->keyFields = QStringList { "Name", "Size" };
    record->image = "folder";
    auto table = std::make_shared<ResponseTable>();
    table->Columns = { ResponseColumn { "Size", "Size", 5, 0, "N" },
        ResponseColumn { "Name", "Name", 10, 1, "N" } };
    controller->setTable(table);
    const QVariantList rows = { serverRow({ 2048, "report.pdf" }), menuRow("Menu item") };
    controller->setRows(rows);
    record->rowView = "gridtest::ColumnsTestRowView";
    show();

    const auto column = controller->getGridData(0);
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->Data, rows[0]);
    EXPECT_TRUE(column->Menu.isNull());
    EXPECT_TRUE(column->Image.isNull());

    controller->tiles = true;
    const auto tile = controller->getGridData(0);
    EXPECT_EQ(tile->Menu, "report.pdf");
    EXPECT_EQ(tile->Image, "folder");
    EXPECT_EQ(tile->Data, rows[0]);

    // A menu item is its own grid data; anything else has none.
    EXPECT_EQ(controller->getGridData(1), RowObject::record<GridData>(rows[1]));
    controller->setRows({ QVariant(QStringLiteral("plain")) });
    EXPECT_EQ(controller->getGridData(0), nullptr);
    EXPECT_EQ(controller->getGridData(5), nullptr);
}

TEST_F(GridFixture, TheTileImageIsTheChildsWhenTheScreenListsChildScreens)
{
    installFactory();
    record->image = "own";
    show();
    EXPECT_EQ(controller->getImage(), "own");
    record->childscreen = "PLAIN";
    EXPECT_EQ(controller->getImage(), "own");
    record->childscreen = "LISTING";
    EXPECT_EQ(controller->getImage(), "image of LISTING");
    record->childscreen = "PLAIN";
    record->childScreens = QStringList { "X" };
    EXPECT_EQ(controller->getImage(), "image of PLAIN");
}

TEST_F(GridFixture, ContentMenusFromScreenIdsAndFromTexts)
{
    TestFactory* factory = installFactory();
    auto link = std::make_shared<Parent>();
    const QVariantList items
        = TableDataController::buildContentMenu(QStringList { "ONE", "TWO" }, link);
    EXPECT_EQ(factory->asked, QStringList({ "ONE", "TWO" }));
    ASSERT_EQ(items.size(), 2);
    const auto second = RowObject::record<GridData>(items[1]);
    EXPECT_EQ(second->Menu, "Title of TWO");
    EXPECT_EQ(second->Image, "image of TWO");
    EXPECT_EQ(RowObject::screenRecord(second->Data)->id, "TWO");

    const QVariantList same
        = TableDataController::buildContentMenu(QStringList { "a", "b" }, "icon");
    EXPECT_EQ(menuTexts(same), QStringList({ "a", "b" }));
    EXPECT_EQ(RowObject::record<GridData>(same[1])->Image, "icon");
    const QVariantList paired = TableDataController::buildContentMenuWithImage(
        QStringList { "a", "b" }, QStringList { "i1", "i2", "unused" });
    EXPECT_EQ(RowObject::record<GridData>(paired[0])->Image, "i1");
    EXPECT_EQ(RowObject::record<GridData>(paired[1])->Image, "i2");
}

TEST_F(GridFixture, ADisclosureOpensTheChildByTheScreensSegue)
{
    installFactory();
    record->childscreen = "CHILD";
    FakeGridScreen* screen = show();
    controller->setRows({ menuRow("a") });
    screen->selected = 0;
    controller->tapOnDisclosure(0);
    EXPECT_EQ(screen->segues, QStringList { "Menu" });
    EXPECT_EQ(screen->segueSenders, QList<QObject*> { screen });
    EXPECT_EQ(navigation->viewControllers().size(), 2);

    // No child id: nothing opens.
    record->childscreen.clear();
    controller->tapOnDisclosure(0);
    EXPECT_EQ(screen->segues.size(), 1);
}

TEST_F(GridFixture, AChildChosenPerRowServesOneOpeningOnly)
{
    installFactory();
    record->childscreen = "DEFAULT";
    record->determineChildScreen = "childForRow";
    FakeGridScreen* screen = show();
    controller->setRows({ menuRow("a") });
    screen->selected = 0;
    controller->nextChild = "PER_ROW";
    controller->tapOnDisclosure(0);
    EXPECT_EQ(screen->childscreensDuringSegue, QStringList { "PER_ROW" });
    EXPECT_EQ(record->childscreen, "DEFAULT");
    EXPECT_EQ(record->toSegue, "Menu");

    // The hook answering no child opens nothing, and the record's own child is back.
    controller->nextChild.clear();
    controller->tapOnDisclosure(0);
    EXPECT_EQ(screen->segues.size(), 1);
    EXPECT_EQ(record->childscreen, "DEFAULT");
}

TEST_F(GridFixture, AChildWithASelectMethodRunsItInsteadOfOpening)
{
    installFactory();
    record->childscreen = "PICKER";
    FakeGridScreen* screen = show();
    controller->tapOnDisclosure(0);
    EXPECT_EQ(controller->calls, QStringList { "chooseRow" });
    EXPECT_TRUE(screen->segues.isEmpty());
}

TEST_F(GridFixture, AMenuScreenOpensTheScreenOfTheChosenItem)
{
    TestFactory* factory = installFactory();
    record->contentismenu = true;
    record->childscreen = "NOT_THIS";
    FakeGridScreen* screen = show();
    QVariantList items = TableDataController::buildContentMenu(
        QStringList { "FIRST", "SECOND" }, std::shared_ptr<Parent>());
    items << menuRow("No screen");
    controller->setRows(items);
    factory->asked.clear();
    screen->selected = 1;
    controller->tapOnDisclosure(1);
    EXPECT_EQ(factory->asked, QStringList { "SECOND" });
    EXPECT_EQ(screen->segues, QStringList { "Menu" });

    // An item without a screen record opens nothing.
    screen->selected = 2;
    controller->tapOnDisclosure(2);
    EXPECT_EQ(screen->segues.size(), 1);
}

TEST_F(GridFixture, ExpandCollapseSwitchesBetweenTheTwoRowViewsAndBack)
{
    record->rowView = "gridtest::TilesTestRowView";
    record->alternateRowView = "gridtest::ColumnsTestRowView";
    FakeGridScreen* screen = show();
    controller->expandcollapse(nullptr);
    EXPECT_EQ(controller->lastClickedButton(), 35u);
    EXPECT_STREQ(screen->rowView->metaObject()->className(), "gridtest::ColumnsTestRowView");
    controller->expandcollapse(nullptr);
    EXPECT_STREQ(screen->rowView->metaObject()->className(), "gridtest::TilesTestRowView");

    // A row view derived from the record's counts as the record's.
    screen->rowView = ClassRegistry::create("gridtest::DerivedTilesTestRowView");
    controller->expandcollapse(nullptr);
    EXPECT_STREQ(screen->rowView->metaObject()->className(), "gridtest::ColumnsTestRowView");

    record->alternateRowView.clear();
    screen->calls.clear();
    controller->expandcollapse(nullptr);
    EXPECT_TRUE(screen->calls.isEmpty());
}

TEST_F(GridFixture, ToolbarHooksAndForwardsToTheScreen)
{
    FakeGridScreen* screen = show(nullptr, 1);
    // The five process buttons call the record's toolbar method with the sender.
    controller->start(nullptr);
    EXPECT_TRUE(controller->calls.isEmpty());
    record->toolbarMethod = "toolbarHandler";
    controller->start(nullptr);
    controller->stop(nullptr);
    controller->pause(nullptr);
    controller->restart(nullptr);
    controller->suspend(nullptr);
    EXPECT_EQ(controller->calls.count("toolbarHandler"), 5);
    EXPECT_EQ(controller->lastClickedButton(), 24u);

    controller->search(nullptr);
    screen->topBarButton = true;
    controller->search(nullptr);
    controller->addeditdelete(nullptr);
    EXPECT_EQ(screen->calls,
        QStringList({ "showPagerPopup", "showHideSearchBar", "showAddEditDeletePopup" }));

    controller->columnsHandler(4);
    EXPECT_EQ(controller->ipadColumns(), 4u);
    EXPECT_EQ(screen->gridRefreshes, 1);

    // Ordering needs rows.
    controller->order(nullptr);
    EXPECT_TRUE(screen->shownForms.isEmpty());
    controller->setRows({ menuRow("a") });
    controller->order(nullptr);
    EXPECT_EQ(screen->shownForms, QStringList { "OrderingDetailViewController" });
    EXPECT_EQ(screen->shownRows.first(), QVariant(QVariantMap()));

    controller->setLastClickedButton(7);
    controller->refresh(nullptr);
    EXPECT_EQ(screen->viewRefreshes, 1);
    controller->setExtraData("query result");
    controller->query(nullptr);
    EXPECT_FALSE(controller->extraData().isValid());
    EXPECT_EQ(screen->segues, QStringList { "QUERY_STUDIO" });
    EXPECT_EQ(controller->lastClickedButton(), 7u);

    controller->home(nullptr);
    EXPECT_EQ(navigation->viewControllers().size(), 1);
}
