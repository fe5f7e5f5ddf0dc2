#include "GridScreenFixture.h"

#include "grid/DetailFormProtocol.h"
#include "grid/DetailFormRegistry.h"
#include "platform/ui/SearchBar.h"
#include "widgets/ProgressHUD.h"

using gridtest::GridScreens;
using gridtest::ItemsController;
using testsupport::GestureSynthesizer;

namespace {

// A detail form that keeps the record it was given.
class ItemForm : public BaseViewController, public DetailFormProtocol {
    Q_OBJECT
public:
    void loadData(const QVariant& record) override { loaded = record; }
    QSizeF popupContentSize() const override { return { 500, 400 }; }
    QVariant loaded;
};

QPointer<ItemForm> lastForm;

void registerItemForm()
{
    DetailFormRegistry::registerForm("ItemForm",
        { [](const QString&) { return std::make_shared<QObject>(); },
            [](const std::shared_ptr<QObject>&) -> BaseViewController* {
                auto* form = new ItemForm();
                lastForm = form;
                return form;
            } });
}

// A menu of two screens, as the home screen lists them.
std::shared_ptr<BridgeScreenData> menuRecord()
{
    auto record = std::make_shared<BridgeScreenData>();
    record->title = "Home";
    record->dataController = "gridtest::MenuController";
    record->rowView = "GenericRowViewController";
    record->disclosure = true;
    record->contentismenu = true;
    record->toSegue = "Menu";
    return record;
}

MainCollectionViewController* top(platform::ui::NavigationController* navigation)
{
    return qobject_cast<MainCollectionViewController*>(navigation->topViewController());
}

} // namespace

namespace gridtest {

// Lists "SCREEN_TABLES" and "SCREEN_SETTINGS" as menu items carrying their records.
class MenuController : public TableDataController {
    Q_OBJECT
public:
    void loadData(const std::shared_ptr<Parent>& link) override
    {
        if (rows().isEmpty())
            setRows(buildContentMenu(QStringList { "SCREEN_TABLES", "SCREEN_SETTINGS" }, link));
    }
};

} // namespace gridtest

TEST_F(GridScreens, TheRootScreenAsksForTheBridgeScreenItself)
{
    ClassRegistry::registerClass<gridtest::MenuController>();
    records->makers["SCREEN_BRIDGE"] = [] { return menuRecord(); };
    records->makers["SCREEN_TABLES"] = [] {
        auto record = itemsRecord("SCREEN_TABLES");
        record->title = "Tables";
        record->image = "table";
        return record;
    };
    navigation.reset(MainCollectionViewController::createRootNavigation());
    auto& application = platform::ui::Application::shared();
    application.setRootViewController(navigation.get());
    application.makeKeyAndVisible();
    settle();
    MainCollectionViewController* root = top(navigation.get());
    ASSERT_NE(root, nullptr);
    ASSERT_NE(root->screen(), nullptr);
    EXPECT_EQ(root->screen()->id, "SCREEN_BRIDGE");
    EXPECT_EQ(records->asked.first(), "SCREEN_BRIDGE");
    EXPECT_EQ(records->links.first(), nullptr);
    EXPECT_EQ(root->title(), "Home");
    EXPECT_EQ(shownTitles(root).value(0), "Tables");
}

TEST_F(GridScreens, EndToEndEachChildKnowsEveryScreenAboveAndTheRowChosenThere)
{
    ClassRegistry::registerClass<gridtest::MenuController>();
    records->makers["SCREEN_BRIDGE"] = [] { return menuRecord(); };
    records->makers["SCREEN_TABLES"] = [] {
        auto record = itemsRecord("SCREEN_TABLES");
        record->title = "Tables";
        record->childscreen = "SCREEN_ROWS";
        return record;
    };
    records->makers["SCREEN_ROWS"] = [] {
        auto record = itemsRecord("SCREEN_ROWS");
        record->title = "Rows";
        record->disclosure = false;
        return record;
    };
    navigation.reset(MainCollectionViewController::createRootNavigation());
    auto& application = platform::ui::Application::shared();
    application.setRootViewController(navigation.get());
    application.makeKeyAndVisible();
    settle();
    MainCollectionViewController* root = top(navigation.get());
    ASSERT_NE(root, nullptr);

    // The menu item opens the screen it carries.
    GestureSynthesizer::tap(tileView(root, 0, 2000));
    settle();
    MainCollectionViewController* tables = top(navigation.get());
    ASSERT_NE(tables, root);
    EXPECT_EQ(tables->screen()->id, "SCREEN_TABLES");
    EXPECT_EQ(tables->title(), "Tables");
    EXPECT_EQ(tables->callingViewController(), root);

    // A row's disclosure opens the record's child for that row.
    GestureSynthesizer::tap(tileView(tables, 3, 2000));
    settle();
    MainCollectionViewController* rows = top(navigation.get());
    ASSERT_NE(rows, tables);
    EXPECT_EQ(rows->screen()->id, "SCREEN_ROWS");
    EXPECT_EQ(navigation->viewControllers().size(), 3);

    const auto link = rows->parentLink();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->screen.lock()->id, "SCREEN_TABLES");
    EXPECT_EQ(RowObject::record<GridData>(link->data)->Menu, "Item 3");
    EXPECT_EQ(link->dataController.lock(), tables->dataController());
    const auto above = link->parent.lock();
    ASSERT_NE(above, nullptr);
    EXPECT_EQ(above->screen.lock()->id, "SCREEN_BRIDGE");
    EXPECT_EQ(RowObject::record<GridData>(above->data)->Menu, "Tables");
    EXPECT_EQ(above->parent.lock(), nullptr);
    EXPECT_TRUE(link->isParentScreen("SCREEN_BRIDGE"));
    // The child's data controller loaded its rows for that link.
    EXPECT_EQ(items(rows)->links.value(0), link);
    EXPECT_EQ(
        rows->dataController()->getColumnValueInScreen("SCREEN_NONE", "Name", link), QVariant());

    // Back: the tables screen still shows its selection.
    navigation->popViewController(false);
    settle(150);
    EXPECT_EQ(tables->selectedRow(), 3);
}

TEST_F(GridScreens, ASegueChoosesTheChildByMenuRecordOrQuery)
{
    auto record = itemsRecord();
    auto* screen = open(record);
    // No row selected: the link holds no row.
    screen->performSegueWithIdentifier("Menu", screen);
    settle();
    EXPECT_EQ(records->asked.last(), "SCREEN_CHILD");
    EXPECT_FALSE(records->links.last()->data.isValid());
    navigation->popViewController(false);
    settle();

    screen->performSegueWithIdentifier("Query", screen);
    EXPECT_EQ(records->asked.last(), "SCREEN_QUERY_DATABASE");
    navigation->popViewController(false);
    screen->performSegueWithIdentifier("QUERY_STUDIO", screen);
    EXPECT_EQ(records->asked.last(), "SCREEN_QUERY_STUDIO");
    navigation->popViewController(false);
    settle();

    // showScreen opens the given id and leaves the record as it was.
    record->contentismenu = true;
    screen->showScreen("SCREEN_SORT_GENERA", "Menus1");
    EXPECT_EQ(records->asked.last(), "SCREEN_SORT_GENERA");
    EXPECT_EQ(record->childscreen, "SCREEN_CHILD");
    EXPECT_TRUE(record->contentismenu);
    EXPECT_EQ(top(navigation.get())->callingViewController(), screen);
}

TEST_F(GridScreens, RowsLoadUnderTheOverlay)
{
    auto* screen = open(itemsRecord());
    ItemsController* controller = items(screen);
    bool shownDuringLoad = false;
    controller->duringLoad = [&] {
        testsupport::processEvents(5);
        shownDuringLoad = screen->hudCount() == 1 && ProgressHUD::HUDForView(screen->view());
    };
    screen->refreshView();
    settle(80);
    EXPECT_TRUE(shownDuringLoad);
    EXPECT_EQ(screen->hudCount(), 0u);
    EXPECT_EQ(ProgressHUD::HUDForView(screen->view()), nullptr);
}

TEST_F(GridScreens, ShowDetailOpensTheRecordsFormForTheRow)
{
    registerItemForm();
    auto record = itemsRecord();
    auto* screen = open(record, "phone");
    const QVariant row = items(screen)->getRowData(1);
    // Without a form class nothing opens.
    screen->ShowDetail(row);
    settle(50);
    EXPECT_EQ(navigation->topViewController(), screen);

    record->detailViewController = "ItemForm";
    screen->ShowDetail(row);
    ASSERT_TRUE(testsupport::waitUntil([&] { return navigation->topViewController() != screen; }));
    ASSERT_TRUE(lastForm);
    EXPECT_EQ(lastForm->loaded, row);
    EXPECT_EQ(lastForm->callingViewController(), screen);
    DetailFormRegistry::unregisterForm("ItemForm");
}

TEST_F(GridScreens, DoneOnAFormAfterAnAddOrEditDropsTheUnsavedChanges)
{
    auto* screen = open(itemsRecord());
    ItemsController* controller = items(screen);
    for (unsigned code : { 1u, 2u, 3u, 27u }) {
        controller->setLastClickedButton(code);
        screen->closebuttonClicked(nullptr);
    }
    EXPECT_EQ(delegate.rollbacks, 2);
}

TEST_F(GridScreens, TheStyleRebuildsTheGridWithTheSameRowViewAndSelection)
{
    auto* screen = open(itemsRecord());
    screen->selectRow(4);
    QObject* before = screen->rowViewContoller();
    MainCollectionViewControllerProtocol* protocol = screen;
    EXPECT_EQ(protocol->searchBar(), screen->searchBar());
    protocol->changeRowViewController();
    settle(150);
    EXPECT_NE(screen->rowViewContoller(), before);
    EXPECT_TRUE(screen->rowViewContoller()->inherits("GenericRowViewController"));
    EXPECT_EQ(screen->selectedRow(), 4);
    EXPECT_EQ(screen->collectionView()->numberOfItemsInSection(0), 12);
}

#include "MainGridTest.moc"
