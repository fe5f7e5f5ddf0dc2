#include "GridScreenFixture.h"

#include "grid/DetailFormProtocol.h"
#include "grid/DetailFormRegistry.h"
#include "grid/ResponseColumn.h"
#include "grid/ResponseRow.h"
#include "grid/ResponseTable.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/SearchBar.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/HorizontalPickerView.h"
#include "widgets/MenuItem.h"
#include "widgets/PopoverController.h"
#include "widgets/SimplePopupViewController.h"
#include "widgets/VerticalMenuViewController.h"

#include <QPointer>

using gridtest::GridScreens;
using gridtest::ItemsController;
using platform::ui::Control;
using testsupport::GestureSynthesizer;

namespace gridtest {

// Items that also answer the paged-table questions, and note which of the add, edit and
// remove hooks ran, with what sender and whether a popover was still up then.
class PagedController : public ItemsController {
    Q_OBJECT
public:
    struct Hook {
        QString name;
        Control* sender;
        bool popoverUp;
    };

    bool navigatePage(const QString& direction) override
    {
        pages << direction;
        return true;
    }
    void selectTable(int index) override
    {
        tables << index;
        if (failSelect)
            throw platform::Exception("TestException", "That table is gone.");
    }
    int numberOfItemsInPickerView(HorizontalPickerView*) override
    {
        return table() ? int(table()->TotalPages) : 0;
    }
    bool isTileRowView(const QObject* rowView) const override
    {
        return !columnRows && ItemsController::isTileRowView(rowView);
    }
    void addTouched(Control* sender) override { note("add", sender); }
    void editTouched(Control* sender) override { note("edit", sender); }
    void removeTouched(Control* sender) override { note("remove", sender); }

    QStringList pages;
    QList<int> tables;
    QList<Hook> hooks;
    bool failSelect = false;
    bool columnRows = false;
    // The menu's popover, while the test watches it.
    QPointer<PopoverController> menuPopover;

private:
    void note(const QString& name, Control* sender)
    {
        hooks << Hook { name, sender, menuPopover && menuPopover->isPresented() };
    }
};

} // namespace gridtest

namespace {

using gridtest::PagedController;

struct GridMenus : GridScreens {
    void SetUp() override
    {
        GridScreens::SetUp();
        ClassRegistry::registerClass<PagedController>();
    }

    // Items with the search, add-edit-delete and columns buttons.
    static std::shared_ptr<BridgeScreenData> pagedRecord(const QString& id = "SCREEN_ITEMS")
    {
        auto record = itemsRecord(id);
        record->dataController = "gridtest::PagedController";
        record->buttonBits
            = std::make_shared<BitManager>(BitManager::createButtonVector({ 7, 30, 37 }));
        return record;
    }

    static PagedController* paged(MainCollectionViewController* screen)
    {
        return dynamic_cast<PagedController*>(screen->dataController().get());
    }

    static VerticalMenuViewController* shownMenu(BaseViewController* screen)
    {
        PopoverController* popover = screen->popupController();
        return popover ? qobject_cast<VerticalMenuViewController*>(popover->contentViewController())
                       : nullptr;
    }

    static QStringList texts(VerticalMenuViewController* menu)
    {
        QStringList all;
        for (MenuItem* item : menu->menuItems())
            all << item->text();
        return all;
    }

    static QStringList images(VerticalMenuViewController* menu)
    {
        QStringList all;
        for (MenuItem* item : menu->menuItems())
            all << item->image();
        return all;
    }

    // Shown the way the grid shows its icon menus: no arrow, Done, tint or border, and
    // every entry wholly inside the popover's content.
    static void expectMenuPopover(BaseViewController* screen, VerticalMenuViewController* menu)
    {
        PopoverController* popover = screen->popupController();
        ASSERT_NE(popover, nullptr);
        EXPECT_EQ(popover->contentSize(), menu->menuSize() + QSizeF(30, 10));
        EXPECT_EQ(popover->arrowDirection(), 16u);
        EXPECT_FALSE(popover->doneButton());
        EXPECT_EQ(popover->tint(), 0);
        EXPECT_FALSE(popover->border());
        const QRectF content = menu->view()->bounds();
        for (MenuItem* item : menu->menuItems()) {
            ASSERT_NE(item->view(), nullptr) << item->text().toStdString();
            const QRectF frame
                = item->view()->convertRectToView(item->view()->bounds(), menu->view());
            EXPECT_TRUE(content.contains(frame)) << item->text().toStdString();
        }
    }

    static void tapEntry(VerticalMenuViewController* menu, int index)
    {
        GestureSynthesizer::tap(menu->menuItems().at(index)->view());
        settle(40);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static std::shared_ptr<ResponseTable> pages(quint64 total, quint64 current = 1)
    {
        auto table = std::make_shared<ResponseTable>();
        table->TotalPages = total;
        table->CurrentPage = current;
        return table;
    }
};

TEST_F(GridMenus, TheSearchButtonOfTheBottomBarOpensThePagerMenu)
{
    auto* screen = open(pagedRecord());
    PagedController* controller = paged(screen);
    controller->setTable(pages(3));
    platform::ui::View* search = screen->viewForButton(7);
    ASSERT_NE(search, nullptr);
    GestureSynthesizer::tap(search);
    settle();
    VerticalMenuViewController* menu = shownMenu(screen);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(texts(menu),
        QStringList(
            { LocalizedStrings::Last(), LocalizedStrings::Next(), LocalizedStrings::Previous(),
                LocalizedStrings::First(), LocalizedStrings::Sort(), LocalizedStrings::Filter() }));
    EXPECT_EQ(images(menu), QStringList({ "last", "next", "prev", "first", "sort", "filter" }));
    expectMenuPopover(screen, menu);
    EXPECT_EQ(controller->lastClickedButton(), 7u);
    EXPECT_TRUE(saveShot("grid-pager-menu-tablet.png"));

    // The last page is asked for as the server spells it; the menu goes first.
    screen->setSelectedRow(2);
    tapEntry(menu, 0);
    EXPECT_EQ(controller->pages, QStringList { "Laset" });
    EXPECT_EQ(screen->selectedRow(), -1);
    EXPECT_EQ(screen->popupController(), nullptr);

    GestureSynthesizer::tap(search);
    settle();
    tapEntry(shownMenu(screen), 3);
    EXPECT_EQ(controller->pages, QStringList({ "Laset", "First" }));
}

TEST_F(GridMenus, TheSearchButtonInTheNavigationBarTogglesTheSearchBar)
{
    auto record = pagedRecord();
    record->topButtonBits = std::make_shared<BitManager>(BitManager::createButtonVector({ 7 }));
    record->buttonBits = std::make_shared<BitManager>(BitManager::createButtonVector({ 30 }));
    auto* screen = open(record);
    const bool hidden = screen->searchBar()->isHidden();
    platform::ui::BarButtonItem* item = screen->navigationItem()->rightBarButtonItems().value(0);
    ASSERT_NE(item, nullptr);
    GestureSynthesizer::tap(item->view());
    settle();
    EXPECT_NE(screen->searchBar()->isHidden(), hidden);
    EXPECT_EQ(screen->popupController(), nullptr);
}

TEST_F(GridMenus, OnANotchedPhoneTheSearchButtonInTheNavigationBarStillTogglesTheSearchBar)
{
    // The bar reaches up under the notch there; its buttons are no lower in it for that.
    auto record = pagedRecord();
    record->topButtonBits = std::make_shared<BitManager>(BitManager::createButtonVector({ 7 }));
    record->buttonBits = std::make_shared<BitManager>(BitManager::createButtonVector({ 7, 30 }));
    auto* screen = open(record, "phone-x");
    ASSERT_GT(platform::ui::Device::current().safeAreaInsets().top(), 40);
    platform::ui::BarButtonItem* item = screen->navigationItem()->rightBarButtonItems().value(0);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(screen->isButtonInTopBar(item->view()));
    const bool hidden = screen->searchBar()->isHidden();
    GestureSynthesizer::tap(item->view());
    settle();
    EXPECT_NE(screen->searchBar()->isHidden(), hidden);
    EXPECT_EQ(screen->popupController(), nullptr);

    // The bottom bar's search button still opens the pager menu.
    platform::ui::View* bottom = screen->viewForButton(7);
    ASSERT_NE(bottom, nullptr);
    ASSERT_NE(bottom, item->view());
    EXPECT_FALSE(screen->isButtonInTopBar(bottom));
}

TEST_F(GridMenus, NavigatePageReloadsOnlyWhatMayHaveChanged)
{
    auto* screen = open(pagedRecord());
    PagedController* controller = paged(screen);
    screen->setSelectedRow(4);
    // One page, no query change, no refresh pending: nothing to load.
    controller->setTable(pages(1));
    screen->navigatePage("Next");
    EXPECT_TRUE(controller->pages.isEmpty());
    EXPECT_EQ(screen->selectedRow(), 4);

    controller->setQueryChanged(true);
    screen->navigatePage("Next");
    controller->setQueryChanged(false);
    screen->setRefresh(true);
    screen->navigatePage("Previous");
    screen->setRefresh(false);
    controller->setTable(pages(4));
    screen->navigatePage("First");
    EXPECT_EQ(controller->pages, QStringList({ "Next", "Previous", "First" }));
    EXPECT_EQ(screen->selectedRow(), -1);
}

TEST_F(GridMenus, EditFromTheAddEditDeleteMenuIsSentWithoutSenderOnceTheMenuHasGone)
{
    auto* screen = open(pagedRecord());
    PagedController* controller = paged(screen);
    GestureSynthesizer::tap(screen->viewForButton(30));
    settle();
    VerticalMenuViewController* menu = shownMenu(screen);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(texts(menu),
        QStringList(
            { LocalizedStrings::Add(), LocalizedStrings::Edit(), LocalizedStrings::Delete() }));
    EXPECT_EQ(images(menu), QStringList({ "add", "edit", "delete" }));
    expectMenuPopover(screen, menu);
    EXPECT_TRUE(saveShot("grid-add-edit-delete-menu-tablet.png"));

    controller->menuPopover = screen->popupController();
    tapEntry(menu, 1);
    ASSERT_EQ(controller->hooks.size(), 1);
    EXPECT_EQ(controller->hooks[0].name, "edit");
    EXPECT_EQ(controller->hooks[0].sender, nullptr);
    EXPECT_FALSE(controller->hooks[0].popoverUp);
    EXPECT_EQ(controller->lastClickedButton(), 2u);

    // Without a menu up the action goes at once; only 1, 2 and 3 mean anything.
    for (int action : { 3, 1, 0, 4 })
        screen->AddEditDeleteAction(action);
    settle();
    ASSERT_EQ(controller->hooks.size(), 3);
    EXPECT_EQ(controller->hooks[1].name, "remove");
    EXPECT_EQ(controller->hooks[2].name, "add");
}

TEST_F(GridMenus, OnAPhoneSortOpensAsAChildByTheParentLinksSegue)
{
    records->makers["SCREEN_CHILD"] = [] {
        auto record = pagedRecord("SCREEN_CHILD");
        record->childscreen = "SCREEN_GRANDCHILD";
        record->toSegue = "Menus1";
        return record;
    };
    auto* root = open(itemsRecord(), "phone");
    root->selectRow(2);
    root->tapOnDisclosure(2);
    settle();
    auto* child = qobject_cast<MainCollectionViewController*>(navigation->topViewController());
    ASSERT_NE(child, root);
    child->selectRow(5);
    records->asked.clear();

    child->showPopup("Sort");
    settle();
    auto* sort = qobject_cast<MainCollectionViewController*>(navigation->topViewController());
    ASSERT_NE(sort, child);
    EXPECT_EQ(sort->screen()->id, "SCREEN_SORT_GENERA");
    EXPECT_EQ(records->asked, QStringList { "SCREEN_SORT_GENERA" });
    EXPECT_EQ(sort->callingViewController(), child);
    EXPECT_EQ(RowObject::record<GridData>(sort->parentLink()->data)->Menu, "Item 5");
    // The record's child is its own again.
    EXPECT_EQ(child->screen()->childscreen, "SCREEN_GRANDCHILD");
    EXPECT_EQ(child->simplepopupController(), nullptr);

    navigation->popViewController(false);
    settle();
    child->showPopup("InQuery", "Menus1");
    settle();
    auto* filter = qobject_cast<MainCollectionViewController*>(navigation->topViewController());
    ASSERT_NE(filter, child);
    EXPECT_EQ(filter->screen()->id, "SCREEN_INQUERY_GENERAL");
    EXPECT_EQ(child->screen()->childscreen, "SCREEN_GRANDCHILD");
}

TEST_F(GridMenus, OnATabletFilterAndSortOpenInA500PointPopupOverTheirOwnGrid)
{
    records->makers["SCREEN_INQUERY_GENERAL"] = [] {
        auto record = pagedRecord("SCREEN_INQUERY_GENERAL");
        record->title = "Filter";
        record->buttonBits = std::make_shared<BitManager>(BitManager::createButtonVector({ 1, 3 }));
        return record;
    };
    auto* screen = open(pagedRecord());
    screen->selectRow(1);
    GestureSynthesizer::tap(screen->viewForButton(7));
    settle();
    // The pager's Filter entry.
    tapEntry(shownMenu(screen), 5);
    settle(60);
    SimplePopupViewController* popup = screen->simplepopupController();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->contentSize(), QSizeF(500, 500));
    EXPECT_EQ(screen->popupController(), nullptr);
    auto* wrapper
        = qobject_cast<platform::ui::NavigationController*>(popup->contentViewController());
    ASSERT_NE(wrapper, nullptr);
    auto* filter = qobject_cast<MainCollectionViewController*>(wrapper->topViewController());
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->screen()->id, "SCREEN_INQUERY_GENERAL");
    EXPECT_EQ(filter->parentLink()->screen.lock(), screen->screen());
    EXPECT_EQ(RowObject::record<GridData>(filter->parentLink()->data)->Menu, "Item 1");
    EXPECT_EQ(filter->callingViewController(), screen);
    EXPECT_EQ(navigation->viewControllers().size(), 1);
    EXPECT_TRUE(saveShot("grid-filter-popup-tablet.png"));

    // Sort replaces it.
    QPointer<SimplePopupViewController> first = popup;
    screen->showPopup("Sort");
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    popup = screen->simplepopupController();
    ASSERT_NE(popup, nullptr);
    wrapper = qobject_cast<platform::ui::NavigationController*>(popup->contentViewController());
    auto* sort = qobject_cast<MainCollectionViewController*>(wrapper->topViewController());
    EXPECT_EQ(sort->screen()->id, "SCREEN_SORT_GENERA");
    screen->dismissPopup();
    settle();
}

TEST_F(GridMenus, TheTablePickerSwitchesTablesWithAFreshRowView)
{
    auto* screen = open(pagedRecord());
    PagedController* controller = paged(screen);
    // Loads without tables make no picker.
    EXPECT_EQ(screen->tablePicker(), nullptr);
    controller->duringLoad = [controller] {
        controller->pickerData() = QStringList { "Orders", "Customers", "Items" };
    };
    screen->refreshView();
    settle();
    HorizontalPickerView* picker = screen->tablePicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->frame().size(), QSizeF(100, 25));
    EXPECT_TRUE(picker->showGlass());
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItem()->customView(), picker);
    EXPECT_EQ(picker->itemCount(), 3);
    EXPECT_EQ(screen->pickerViewTitleForItem(picker, 1), "Customers");
    EXPECT_TRUE(saveShot("grid-table-picker-tablet.png"));

    screen->selectRow(3);
    QObject* before = screen->rowViewContoller();
    picker->delegate()->pickerViewDidSelectItem(picker, 1);
    EXPECT_EQ(controller->tables, QList<int> { 1 });
    EXPECT_EQ(screen->selectedRow(), -1);
    EXPECT_NE(screen->rowViewContoller(), before);
    EXPECT_NE(screen->rowViewContoller(), nullptr);

    // The picker stays for the screen's life; a failed switch says why.
    screen->refreshView();
    settle();
    EXPECT_EQ(screen->tablePicker(), picker);
    controller->failSelect = true;
    picker->delegate()->pickerViewDidSelectItem(picker, 2);
    settle();
    ASSERT_EQ(platform::ui::AlertView::visibleAlerts().size(), 1);
    EXPECT_EQ(platform::ui::AlertView::visibleAlerts()[0]->message(), "That table is gone.");
}

TEST_F(GridMenus, APagedTableShowsItsPagePickerOnTheCurrentPage)
{
    auto record = pagedRecord();
    record->buttonBits = std::make_shared<BitManager>(BitManager::createButtonVector({ 7 }));
    auto* screen = open(record);
    PagedController* controller = paged(screen);
    controller->setTable(pages(5, 3));
    screen->displayPageNumber();
    HorizontalPickerView* picker = screen->pagePicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItem()->customView(), picker);
    EXPECT_EQ(picker->frame().size(), QSizeF(60, 25));
    EXPECT_EQ(picker->dataSource(), controller);
    EXPECT_EQ(picker->selectedItem(), 2);
    // The same picker follows the page.
    controller->setTable(pages(5, 5));
    screen->displayPageNumber();
    EXPECT_EQ(screen->pagePicker(), picker);
    EXPECT_EQ(picker->selectedItem(), 4);

    controller->setTable(pages(0));
    screen->displayPageNumber();
    EXPECT_EQ(screen->pagePicker(), nullptr);
    EXPECT_EQ(screen->navigationItem()->rightBarButtonItem(), nullptr);
}

TEST_F(GridMenus, TheColumnsMenuOffersOneToFourTilesPerRowOnTilesOnly)
{
    auto* screen = open(pagedRecord());
    PagedController* controller = paged(screen);
    controller->columns(nullptr);
    settle();
    VerticalMenuViewController* menu = shownMenu(screen);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(texts(menu), QStringList({ "1 Column", "2 Column", "3 Column", "4 Column" }));
    EXPECT_EQ(images(menu), QStringList(4, "columnselect"));
    EXPECT_EQ(menu->menuBar(), screen);
    expectMenuPopover(screen, menu);
    tapEntry(menu, 2);
    EXPECT_EQ(controller->ipadColumns(), 3u);
    // The grid closed the menu it owns.
    EXPECT_EQ(screen->popupController(), nullptr);

    // A column grid has no tiles to count.
    controller->columnRows = true;
    controller->columns(nullptr);
    settle();
    EXPECT_EQ(screen->popupController(), nullptr);
}

// The read-only row form as registered by the layer that draws server rows.
struct RowForms {
    QStringList titles;
    QPointer<BaseViewController> form;
};

TEST_F(GridMenus, ARowsDetailIsTitledByItsFirstKeyField)
{
    auto record = pagedRecord();
    record->keyFields = QStringList { "Name", "City" };
    auto* screen = open(record, "tablet");
    PagedController* controller = paged(screen);
    auto table = pages(1);
    table->Columns = { ResponseColumn { "City", "City", 10, 0, "N" },
        ResponseColumn { "Name", "Name", 10, 1, "N" } };
    controller->setTable(table);
    QVariantList rows;
    for (const char* name : { "Alpha", "Beta" }) {
        auto row = std::make_shared<ResponseRow>();
        row->Columns = { { 0, QStringLiteral("Oslo") }, { 1, QString::fromLatin1(name) } };
        rows << RowObject::fromRecord(row);
    }
    controller->setRows(rows);

    screen->setSelectedRow(-1);
    EXPECT_EQ(screen->rowDetailTitle(), "Detail");
    screen->setSelectedRow(1);
    EXPECT_EQ(screen->rowDetailTitle(), "Beta");
    record->keyFields.clear();
    EXPECT_EQ(screen->rowDetailTitle(), "Detail");
    record->keyFields = QStringList { "Name" };

    RowForms forms;
    DetailFormRegistry::registerForm("ResponseRowDetailViewController",
        { [&forms](const QString& title) {
             forms.titles << title;
             return std::make_shared<QObject>();
         },
            [&forms](const std::shared_ptr<QObject>&) -> BaseViewController* {
                forms.form = new BaseViewController();
                return forms.form;
            } });
    screen->ShowRowDetail(rows[1]);
    ASSERT_TRUE(testsupport::waitUntil([&] { return navigation->topViewController() != screen; }));
    EXPECT_EQ(forms.titles, QStringList { "Beta" });
    // Pushed, also on a tablet.
    EXPECT_EQ(navigation->topViewController(), forms.form);
    EXPECT_EQ(screen->popupController(), nullptr);
    DetailFormRegistry::unregisterForm("ResponseRowDetailViewController");
}

TEST_F(GridMenus, APopupLeftOpenUnderAnotherIsClosedWithTheScreensPopups)
{
    auto* screen = open(pagedRecord());
    QPointer<SimplePopupViewController> first;
    QPointer<SimplePopupViewController> second;
    screen->showSimplePopupcontroller(
        new platform::ui::ViewController(), QSizeF(300, 300), QPointF(0, 0), true);
    first = screen->simplepopupController();
    screen->showSimplePopupcontroller(
        new platform::ui::ViewController(), QSizeF(200, 200), QPointF(40, 40), true);
    second = screen->simplepopupController();
    settle();
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.data(), second.data());
    EXPECT_TRUE(first->isPresented());

    // The newer one closing leaves the older one the screen's.
    second->dismissPopoverAnimated(false);
    settle();
    EXPECT_EQ(screen->simplepopupController(), first.data());
    screen->showSimplePopupcontroller(
        new platform::ui::ViewController(), QSizeF(200, 200), QPointF(40, 40), true);
    settle();
    screen->dismissPopup();
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(screen->simplepopupController(), nullptr);
    // Nothing is left catching the clicks meant for the grid.
    GestureSynthesizer::tap(cell(screen, 2));
    settle();
    EXPECT_EQ(screen->selectedRow(), 2);
}

} // namespace

#include "GridMenusTest.moc"
