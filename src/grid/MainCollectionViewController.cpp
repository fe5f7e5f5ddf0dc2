#include "grid/MainCollectionViewController.h"

#include "grid/BaseDataController.h"
#include "grid/BridgeScreenData.h"
#include "grid/DetailFormRegistry.h"
#include "grid/FileBrowserViewController.h"
#include "grid/GridData.h"
#include "grid/Parent.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "grid/ScreenData.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Control.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Storyboard.h"
#include "style/Theme.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/HorizontalPickerView.h"
#include "widgets/MenuItem.h"
#include "widgets/VerticalMenuViewController.h"

#include <QScopeGuard>

const QString MainCollectionViewController::StoryboardIdentifier
    = QStringLiteral("MainCollectionViewController");
const QString MainCollectionViewController::RootScreenId = QStringLiteral("SCREEN_BRIDGE");
const QString MainCollectionViewController::MenuSegue = QStringLiteral("Menu");
const QString MainCollectionViewController::Menus1Segue = QStringLiteral("Menus1");
const QString MainCollectionViewController::QuerySegue = QStringLiteral("Query");
const QString MainCollectionViewController::QueryStudioSegue = QStringLiteral("QUERY_STUDIO");
const QString MainCollectionViewController::QueryDatabaseScreenId
    = QStringLiteral("SCREEN_QUERY_DATABASE");
const QString MainCollectionViewController::QueryStudioScreenId
    = QStringLiteral("SCREEN_QUERY_STUDIO");

const QString MainCollectionViewController::FilterPopup = QStringLiteral("InQuery");
const QString MainCollectionViewController::SortPopup = QStringLiteral("Sort");
const QString MainCollectionViewController::FilterScreenId
    = QStringLiteral("SCREEN_INQUERY_GENERAL");
const QString MainCollectionViewController::SortScreenId = QStringLiteral("SCREEN_SORT_GENERA");
const QString MainCollectionViewController::FirstPage = QStringLiteral("First");
const QString MainCollectionViewController::PreviousPage = QStringLiteral("Previous");
const QString MainCollectionViewController::NextPage = QStringLiteral("Next");
const QString MainCollectionViewController::LastPage = QStringLiteral("Laset");
const QString MainCollectionViewController::RowDetailFormClass
    = QStringLiteral("ResponseRowDetailViewController");

namespace {

// The size the icon menus are shown at: the menu's own, with room for the popover's
// margins so the last entry is not cut off.
QSizeF menuContentSize(const VerticalMenuViewController* menu)
{
    return menu->menuSize() + QSizeF(30, 10);
}

const Theme* styleOf(const OrietnationViewController* screen)
{
    const Theme* style = screen->currentStyle();
    return style ? style : Theme::current();
}

} // namespace

MainCollectionViewController::MainCollectionViewController(QObject* parent)
    : CollectionViewController(parent)
{
}

MainCollectionViewController::~MainCollectionViewController() = default;

void MainCollectionViewController::registerStoryboard(platform::ui::Storyboard& storyboard)
{
    // The application may have registered its own kind of grid screen under the name.
    if (!storyboard.hasController(StoryboardIdentifier))
        storyboard.registerController(
            StoryboardIdentifier, [] { return new MainCollectionViewController(); });
    for (const QString& segue : { MenuSegue, Menus1Segue, QuerySegue, QueryStudioSegue })
        storyboard.registerSegue(segue, StoryboardIdentifier);
}

platform::ui::NavigationController* MainCollectionViewController::createRootNavigation()
{
    platform::ui::Storyboard& storyboard = platform::ui::Storyboard::main();
    registerStoryboard(storyboard);
    // The layers above may make their own screen the file browser.
    if (!storyboard.hasController(FileBrowserScreenProtocol::StoryboardIdentifier))
        FileBrowserViewController::registerStoryboard(storyboard);
    auto* navigation = new platform::ui::NavigationController();
    navigation->pushViewController(
        storyboard.instantiateViewControllerWithIdentifier(StoryboardIdentifier), false);
    return navigation;
}

void MainCollectionViewController::initProperties()
{
    platform::ui::NavigationController* navigation = navigationController();
    if (!BaseViewController::screen() && navigation
        && navigation->viewControllers() == QList<platform::ui::ViewController*> { this })
        setScreen(ScreenData::GetScreen(RootScreenId, nullptr));
    CollectionViewController::initProperties();
    const auto controller = dataController();
    if (controller && controller->respondsToGetTitle())
        setTitle(controller->getTitle());
}

void MainCollectionViewController::loadData()
{
    showHud();
    try {
        if (const auto controller = dataController())
            controller->loadData(parentLink());
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
    hideHud();
}

void MainCollectionViewController::afterLoad()
{
    const auto controller = dataController();
    if (refresh() && controller && !controller->pickerData().isEmpty())
        initPickerView();
    CollectionViewController::afterLoad();
}

std::shared_ptr<GridData> MainCollectionViewController::getGridData(qint64 index)
{
    const auto controller = dataController();
    return controller ? controller->getGridData(index) : nullptr;
}

void MainCollectionViewController::tapOnDisclosure(qint64 index)
{
    if (const auto controller = dataController())
        controller->tapOnDisclosure(index);
}

void MainCollectionViewController::tapOnItem(qint64 index)
{
    if (const auto controller = dataController())
        controller->tapOnItem(index);
}

std::shared_ptr<Parent> MainCollectionViewController::createParent()
{
    auto link = std::make_shared<Parent>();
    link->parent = parentLink();
    link->screen = BaseViewController::screen();
    const auto controller = dataController();
    if (controller && CollectionViewController::selectedRow() != -1)
        link->data = controller->getRowData(CollectionViewController::selectedRow());
    link->dataController = controller;
    return link;
}

void MainCollectionViewController::prepareForSegue(platform::ui::StoryboardSegue& segue, QObject*)
{
    try {
        auto* destination = dynamic_cast<BaseViewController*>(segue.destinationViewController());
        if (!destination)
            return;
        const auto link = createParent();
        destination->setParentLink(link);
        const auto record = BaseViewController::screen();
        QString childId;
        if (segue.identifier() == QuerySegue) {
            childId = QueryDatabaseScreenId;
        } else if (segue.identifier() == QueryStudioSegue) {
            childId = QueryStudioScreenId;
        } else if (record && record->contentismenu) {
            // A menu's rows are items whose data is the record of the screen they open.
            const auto item = RowObject::record<GridData>(link->data);
            const auto child = item ? RowObject::screenRecord(item->Data) : nullptr;
            childId = child ? child->id : QString();
        } else if (record) {
            childId = record->childscreen;
        }
        destination->setScreen(ScreenData::GetScreen(childId, link));
        destination->setCallingViewController(this);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void MainCollectionViewController::showScreen(const QString& childScreen, const QString& segue)
{
    const auto record = BaseViewController::screen();
    if (!record)
        return;
    const auto restore = qScopeGuard(
        [record, childscreen = record->childscreen, contentismenu = record->contentismenu] {
            record->childscreen = childscreen;
            record->contentismenu = contentismenu;
        });
    record->childscreen = childScreen;
    record->contentismenu = false;
    performSegueWithIdentifier(segue, this);
}

void MainCollectionViewController::closebuttonClicked(PopoverController*)
{
    const auto controller = dataController();
    const unsigned last = controller ? controller->lastClickedButton() : 0;
    if (last == BaseDataController::AddAction || last == BaseDataController::EditAction)
        KivoAppDelegate::ApplicationDelegate()->rollbackContext();
}

void MainCollectionViewController::ShowDetail(const QVariant& row)
{
    const auto record = BaseViewController::screen();
    if (record && !record->detailViewController.isEmpty())
        BaseViewController::ShowDetail(row, record->detailViewController, QString(), false);
}

void MainCollectionViewController::ShowDetail(
    const QVariant& row, const QString& detailType, const QString& title)
{
    BaseViewController::ShowDetail(row, detailType, title, false);
}

QString MainCollectionViewController::rowDetailTitle() const
{
    const auto record = std::dynamic_pointer_cast<BridgeScreenData>(BaseViewController::screen());
    const auto controller = dataController();
    if (!record || record->keyFields.isEmpty() || !controller)
        return LocalizedStrings::Detail();
    const QVariant value
        = controller->getColumnValueInScreen(record->id, record->keyFields.first(), parentLink());
    if (!value.isValid() || value.isNull())
        return LocalizedStrings::Detail();
    return value.toString();
}

void MainCollectionViewController::ShowRowDetail(const QVariant& row)
{
    try {
        const QString title = rowDetailTitle();
        // The read-only form is registered by the layer that draws desktop-server rows.
        if (DetailFormRegistry::formClass(RowDetailFormClass))
            BaseViewController::ShowDetail(row, RowDetailFormClass, title, true);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void MainCollectionViewController::showMenu(VerticalMenuViewController* menu, int button)
{
    showPopupController(
        menu, menuContentSize(menu), NoArrow, viewForButton(button), false, 0, false);
}

void MainCollectionViewController::showAddEditDeletePopup()
{
    QPointer<MainCollectionViewController> self(this);
    const auto action = [self](int code) {
        return [self, code](MenuItem*) {
            if (self)
                self->AddEditDeleteAction(code);
        };
    };
    const QList<MenuItem*> items {
        new MenuItem(LocalizedStrings::Add(), QStringLiteral("add"), action(1)),
        new MenuItem(LocalizedStrings::Edit(), QStringLiteral("edit"), action(2)),
        new MenuItem(LocalizedStrings::Delete(), QStringLiteral("delete"), action(3)),
    };
    showMenu(
        new VerticalMenuViewController(items, nullptr, styleOf(this)->toolbarColor().toQColor()),
        AddEditDeleteButton);
}

void MainCollectionViewController::showPagerPopup()
{
    QPointer<MainCollectionViewController> self(this);
    const auto page = [self](const QString& direction) {
        return [self, direction](MenuItem*) {
            if (self)
                self->navigatePage(direction);
        };
    };
    const auto popup = [self](const QString& name) {
        return [self, name](MenuItem*) {
            if (self)
                self->showPopup(name);
        };
    };
    const QList<MenuItem*> items {
        new MenuItem(LocalizedStrings::Last(), QStringLiteral("last"), page(LastPage)),
        new MenuItem(LocalizedStrings::Next(), QStringLiteral("next"), page(NextPage)),
        new MenuItem(LocalizedStrings::Previous(), QStringLiteral("prev"), page(PreviousPage)),
        new MenuItem(LocalizedStrings::First(), QStringLiteral("first"), page(FirstPage)),
        new MenuItem(LocalizedStrings::Sort(), QStringLiteral("sort"), popup(SortPopup)),
        new MenuItem(LocalizedStrings::Filter(), QStringLiteral("filter"), popup(FilterPopup)),
    };
    showMenu(
        new VerticalMenuViewController(items, nullptr, styleOf(this)->toolbarColor().toQColor()),
        SearchButton);
}

void MainCollectionViewController::AddEditDeleteAction(int action)
{
    QPointer<MainCollectionViewController> self(this);
    // The data controller is told once the menu has gone, so what it opens is not
    // closed with the menu.
    dismissPopup([self, action] {
        const auto controller = self ? self->dataController() : nullptr;
        if (!controller)
            return;
        switch (action) {
        case BaseDataController::AddAction:
            controller->add(nullptr);
            break;
        case BaseDataController::EditAction:
            controller->edit(nullptr);
            break;
        case BaseDataController::RemoveAction:
            controller->remove(nullptr);
            break;
        default:
            break;
        }
    });
}

void MainCollectionViewController::navigatePage(const QString& direction)
{
    dismissPopup();
    const auto controller = dataController();
    if (!controller)
        return;
    // No table counts as no pages, so it is asked for.
    const auto table = controller->table();
    const quint64 totalPages = table ? table->TotalPages : 0;
    if (!controller->queryChanged() && totalPages == 1 && !refresh())
        return;
    setSelectedRow(-1);
    controller->navigatePage(direction);
}

void MainCollectionViewController::showPopup(const QString& name, const QString& segue)
{
    try {
        dismissPopup();
        QString chosen = segue;
        if (chosen.isEmpty()) {
            const auto link = parentLink();
            chosen = link ? link->nextSegue() : QString();
        }
        if (!DeviceHelper::isIPHONE()) {
            if (name == FilterPopup) {
                showFilterInPopup();
                return;
            }
            if (name == SortPopup) {
                showSortInPopup();
                return;
            }
        }
        const auto record = BaseViewController::screen();
        if (!record)
            return;
        const auto restore = qScopeGuard(
            [record, childscreen = record->childscreen] { record->childscreen = childscreen; });
        record->childscreen = name == FilterPopup ? FilterScreenId
            : name == SortPopup                   ? SortScreenId
                                                  : QString();
        performSegueWithIdentifier(chosen, this);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void MainCollectionViewController::showFilterInPopup()
{
    showQueryPopup(FilterScreenId);
}

void MainCollectionViewController::showSortInPopup()
{
    showQueryPopup(SortScreenId);
}

void MainCollectionViewController::showQueryPopup(const QString& screenId)
{
    auto* content = dynamic_cast<BaseViewController*>(
        platform::ui::Storyboard::main().instantiateViewControllerWithIdentifier(
            StoryboardIdentifier));
    if (!content)
        return;
    const auto link = createParent();
    content->setScreen(ScreenData::GetScreen(screenId, link));
    content->setParentLink(link);
    content->setCallingViewController(this);
    auto* navigation = new platform::ui::NavigationController();
    navigation->pushViewController(content, false);
    showSimplePopupcontroller(
        navigation, QSizeF(QueryPopupSide, QueryPopupSide), QPointF(0, 0), true);
}

void MainCollectionViewController::initPickerView()
{
    if (!m_tablePicker) {
        const Theme* style = styleOf(this);
        auto* picker = new HorizontalPickerView(QRectF(0, 0, 100, 25));
        picker->setItemFont(style->buttonTitleFont());
        picker->setItemColor(style->buttonTitleColor().toQColor());
        picker->setShowGlass(true);
        picker->setDelegate(this);
        picker->setDataSource(this);
        m_tablePicker = picker;
        navigationItem()->setRightBarButtonItem(new platform::ui::BarButtonItem(picker, this));
    }
    m_tablePicker->reloadData();
}

int MainCollectionViewController::numberOfItemsInPickerView(HorizontalPickerView*)
{
    const auto controller = dataController();
    return controller ? int(controller->pickerData().size()) : 0;
}

QString MainCollectionViewController::pickerViewTitleForItem(HorizontalPickerView*, int item)
{
    const auto controller = dataController();
    return controller ? controller->pickerData().value(item) : QString();
}

void MainCollectionViewController::pickerViewDidSelectItem(HorizontalPickerView*, int item)
{
    try {
        const auto controller = dataController();
        if (!controller)
            return;
        controller->selectTable(item);
        setSelectedRow(-1);
        const auto record = BaseViewController::screen();
        CollectionViewController::changeRowViewController(record ? record->rowView : QString());
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

bool MainCollectionViewController::isButtonInTopBar(platform::ui::Control* sender)
{
    return BaseViewController::isButtonInTopBar(static_cast<platform::ui::View*>(sender));
}

void MainCollectionViewController::changeRowViewController(const QString& rowViewClass)
{
    CollectionViewController::changeRowViewController(rowViewClass);
}

void MainCollectionViewController::changeRowViewController()
{
    const QObject* current = CollectionViewController::rowViewContoller();
    CollectionViewController::changeRowViewController(
        current ? QString::fromLatin1(current->metaObject()->className()) : QString());
}
