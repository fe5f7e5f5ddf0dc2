#include "GridFixture.h"

#include "grid/BaseDataController.h"
#include "grid/GridData.h"
#include "grid/Parent.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

using gridtest::GridFixture;
using gridtest::RecordingController;

namespace {

// Every toolbar action of the base with the code it records.
struct Action {
    void (BaseDataController::*action)(platform::ui::Control*);
    unsigned code;
};
const QList<Action> kActions = {
    { &BaseDataController::add, 1 },
    { &BaseDataController::edit, 2 },
    { &BaseDataController::remove, 3 },
    { &BaseDataController::search, 7 },
    { &BaseDataController::script, 8 },
    { &BaseDataController::dependent, 10 },
    { &BaseDataController::reference, 11 },
    { &BaseDataController::size, 13 },
    { &BaseDataController::start, 14 },
    { &BaseDataController::stop, 15 },
    { &BaseDataController::note, 16 },
    { &BaseDataController::history, 17 },
    { &BaseDataController::unlock, 18 },
    { &BaseDataController::undo, 19 },
    { &BaseDataController::checkout, 21 },
    { &BaseDataController::pause, 22 },
    { &BaseDataController::restart, 23 },
    { &BaseDataController::suspend, 24 },
    { &BaseDataController::help, 25 },
    { &BaseDataController::calendar, 26 },
    { &BaseDataController::detail, 27 },
    { &BaseDataController::settings, 28 },
    { &BaseDataController::addeditdelete, 30 },
    { &BaseDataController::save, 31 },
    { &BaseDataController::open, 32 },
    { &BaseDataController::video, 33 },
    { &BaseDataController::quickstart, 34 },
    { &BaseDataController::expandcollapse, 35 },
    { &BaseDataController::sort, 36 },
    { &BaseDataController::columns, 37 },
    { &BaseDataController::order, 38 },
    { &BaseDataController::chart, 39 },
    { &BaseDataController::mail, 40 },
    { &BaseDataController::share, 40 },
    { &BaseDataController::filter, 41 },
    { &BaseDataController::apply, 42 },
    { &BaseDataController::sendicloud, 43 },
    { &BaseDataController::database, 44 },
};

QVariant menuRow(const QString& text)
{
    return RowObject::fromRecord(std::make_shared<GridData>(text, "image"));
}

std::shared_ptr<ResponseTable> tableWithColumn(const QString& name, unsigned order)
{
    auto table = std::make_shared<ResponseTable>();
    table->Columns.append(ResponseColumn { name, name, 10, order, "N" });
    return table;
}

QVariant serverRow(unsigned column, const QVariant& value)
{
    auto row = std::make_shared<ResponseRow>();
    row->Columns.append(ResponseRowColumn { column, value });
    return RowObject::fromRecord(row);
}

// A plain base controller whose hooks only say that they ran.
class HookedController : public BaseDataController {
public:
    void mailTouched(platform::ui::Control*) override { hooks << "mail"; }
    void shareTouched(platform::ui::Control*) override { hooks << "share"; }
    void removeTouched(platform::ui::Control*) override
    {
        hooks << "remove";
        throw platform::Exception(
            QStringLiteral("TestException"), QStringLiteral("Removal failed."));
    }
    QStringList hooks;
};

class HomeController : public BaseDataController {
public:
    void homeTouched(platform::ui::Control*) override { ++homes; }
    int homes = 0;
};

} // namespace

TEST(BaseDataController, EveryActionRecordsItsCodeAndMailAndShareBothRecordForty)
{
    BaseDataController controller;
    for (const Action& action : kActions) {
        controller.setLastClickedButton(0);
        (controller.*action.action)(nullptr);
        EXPECT_EQ(controller.lastClickedButton(), action.code);
    }

    HookedController hooked;
    hooked.mail(nullptr);
    EXPECT_EQ(hooked.lastClickedButton(), 40u);
    hooked.share(nullptr);
    EXPECT_EQ(hooked.lastClickedButton(), 40u);
    EXPECT_EQ(hooked.hooks, QStringList({ "mail", "share" }));
}

TEST(BaseDataController, ActionsPassTheSenderToTheirHook)
{
    RecordingController controller;
    controller.add(nullptr);
    EXPECT_EQ(controller.calls, QStringList { "addTouched" });
    EXPECT_EQ(controller.senders, QList<QObject*> { nullptr });
    // Actions without a hook of their own still record their code and do nothing else.
    controller.script(nullptr);
    EXPECT_EQ(controller.lastClickedButton(), 8u);
    EXPECT_EQ(controller.calls.size(), 1);
}

TEST_F(GridFixture, AHooksExceptionIsShownAndItsCodeKept)
{
    auto hooked = std::make_shared<HookedController>();
    hooked->setLastClickedButton(40);
    EXPECT_NO_THROW(hooked->remove(nullptr));
    EXPECT_EQ(hooked->lastClickedButton(), 3u);
    ASSERT_TRUE(testsupport::waitUntil(
        [] { return platform::ui::AlertView::visibleAlerts().size() == 1; }));
    platform::ui::AlertView* alert = platform::ui::AlertView::visibleAlerts().first();
    EXPECT_EQ(alert->title(), "Error");
    EXPECT_EQ(alert->message(), "Removal failed.");
}

TEST_F(GridFixture, HomeWithoutAHookReturnsToTheRootScreen)
{
    show(nullptr, 2);
    ASSERT_EQ(navigation->viewControllers().size(), 3);
    controller->home(nullptr);
    EXPECT_EQ(controller->lastClickedButton(), 12u);
    EXPECT_EQ(navigation->viewControllers().size(), 1);
}

TEST_F(GridFixture, HomeWithAHookCallsOnlyTheHook)
{
    auto home = std::make_shared<HomeController>();
    navigation = std::make_unique<platform::ui::NavigationController>();
    navigation->pushViewController(new platform::ui::ViewController(), false);
    auto* top = new platform::ui::ViewController();
    navigation->pushViewController(top, false);
    home->setViewController(top);
    home->home(nullptr);
    EXPECT_EQ(home->homes, 1);
    EXPECT_EQ(home->lastClickedButton(), 12u);
    EXPECT_EQ(navigation->viewControllers().size(), 2);
}

TEST(BaseDataController, ASearchWithNoMatchesShowsNoRowsWhateverTheRows)
{
    BaseDataController controller;
    controller.setRows({ menuRow("a"), menuRow("b") });
    EXPECT_EQ(controller.count(), 2);
    EXPECT_TRUE(controller.doesRowExist());

    controller.setIsSearchActive(true);
    EXPECT_EQ(controller.count(), 0);
    EXPECT_FALSE(controller.doesRowExist());
    EXPECT_TRUE(controller.activeRows().isEmpty());
    EXPECT_FALSE(controller.getRowData(0).isValid());

    controller.setIsSearchActive(false);
    EXPECT_EQ(controller.getRowData(1), controller.rows().at(1));
    // Out of range, either side: no row.
    EXPECT_FALSE(controller.getRowData(2).isValid());
    EXPECT_FALSE(controller.getRowData(-1).isValid());
}

TEST(BaseDataController, TappingAnItemKeepsItsRowForTheForms)
{
    BaseDataController controller;
    controller.setRows({ menuRow("a"), menuRow("b") });
    controller.tapOnItem(1);
    EXPECT_EQ(controller.detailRowInAction(), controller.rows().at(1));
    EXPECT_EQ(controller.determineSelectedRow(), -1);
}

TEST(BaseDataController, MovingARowIsRefusedWhileASearchIsActive)
{
    BaseDataController controller;
    const QVariantList rows = { menuRow("0"), menuRow("1"), menuRow("2"), menuRow("3") };
    controller.setRows(rows);
    controller.applySearch([](const QVariant&) { return true; });
    EXPECT_FALSE(controller.moveRow(3, 0));
    EXPECT_EQ(controller.rows(), rows);
    controller.setIsSearchActive(false);
    EXPECT_TRUE(controller.moveRow(3, 0));
    EXPECT_EQ(controller.rows(), QVariantList({ rows[3], rows[0], rows[1], rows[2] }));
    EXPECT_FALSE(controller.moveRow(0, 4));
}

TEST_F(GridFixture, ColumnValueOfTheOwnScreenWithoutSelectionIsNoneWithoutAskingTheBreadcrumb)
{
    // A link above with the same id and a selected row must not answer for this screen.
    auto aboveScreen = std::make_shared<BridgeScreenData>();
    aboveScreen->id = "SCREEN";
    auto aboveController = std::make_shared<RecordingController>();
    aboveController->setTable(tableWithColumn("Name", 0));
    auto link = std::make_shared<Parent>();
    link->screen = aboveScreen;
    link->dataController = aboveController;
    link->data = serverRow(0, "Above");

    auto* screen = show(link);
    controller->setTable(tableWithColumn("Name", 0));
    controller->setRows({ serverRow(0, "Own") });
    EXPECT_FALSE(controller->getColumnValueInScreen("SCREEN", "Name", link).isValid());

    screen->selected = 0;
    EXPECT_EQ(controller->getColumnValueInScreen("SCREEN", "Name", link).toString(), "Own");
}

TEST_F(GridFixture, ColumnValueOfAScreenAboveComesFromItsLinkAndItsControllersTable)
{
    auto rootScreen = std::make_shared<BridgeScreenData>();
    rootScreen->id = "ROOT";
    auto rootController = std::make_shared<RecordingController>();
    rootController->setTable(tableWithColumn("Folder", 4));
    auto rootLink = std::make_shared<Parent>();
    rootLink->screen = rootScreen;
    rootLink->dataController = rootController;
    rootLink->data = serverRow(4, "Documents");

    auto middleScreen = std::make_shared<BridgeScreenData>();
    middleScreen->id = "MIDDLE";
    auto middleLink = std::make_shared<Parent>();
    middleLink->screen = middleScreen;
    middleLink->parent = rootLink;
    middleLink->dataController = controller;
    middleLink->data = serverRow(4, "Wrong table");

    show(middleLink);
    EXPECT_EQ(
        controller->getColumnValueInScreen("ROOT", "Folder", middleLink).toString(), "Documents");
    EXPECT_FALSE(controller->getColumnValueInScreen("ROOT", "Missing", middleLink).isValid());
    EXPECT_FALSE(controller->getColumnValueInScreen("NOWHERE", "Folder", middleLink).isValid());
    // A breadcrumb link without a row.
    rootLink->data = QVariant();
    EXPECT_FALSE(controller->getColumnValueInScreen("ROOT", "Folder", middleLink).isValid());
}

TEST_F(GridFixture, AnAlertOutlivingItsControllerNoLongerCallsIt)
{
    show();
    controller->setRows({ menuRow("a") });
    static_cast<gridtest::FakeGridScreen*>(navigation->topViewController())->selected = 0;
    controller->remove(nullptr);
    auto alerts = alertsShown();
    ASSERT_EQ(alerts.size(), 1);
    QPointer<platform::ui::AlertView> alert = alerts.first();
    navigation.reset();
    controller.reset();
    EXPECT_EQ(alert->delegate(), nullptr);
    alert->clickButtonAtIndex(1);
    testsupport::processEvents(20);
}
