#include "grid/TableDataController.h"

#include "grid/BridgeScreenData.h"
#include "grid/ClassRegistry.h"
#include "grid/CollectionViewController.h"
#include "grid/ContainsPredicate.h"
#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/Parent.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Control.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/MenuItem.h"
#include "widgets/VerticalMenuViewController.h"

#include <QScopeGuard>

#include <algorithm>

const QString TableDataController::QueryStudioSegue = QStringLiteral("QUERY_STUDIO");
const QString TableDataController::OrderingDetailViewController
    = QStringLiteral("OrderingDetailViewController");

namespace {

const char* const TileRowViewClass = "GenericRowViewController";

void rollbackContext()
{
    KivoAppDelegate::ApplicationDelegate()->rollbackContext();
}

// A value as a title or tile text; no value gives an empty text.
QString textOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return {};
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return ContainsPredicate::numberText(value);
    default:
        return value.toString();
    }
}

} // namespace

TableDataController::TableDataController()
{
    setLastClickedButton(0);
}

TableDataController::~TableDataController() = default;

bool TableDataController::isRowSelected()
{
    GridScreenProtocol* grid = mainGridViewController();
    const qint64 selected = grid ? grid->selectedRow() : -1;
    if (selected >= 0 && count() > 0 && selected < count())
        return true;
    MessageHelper::ShowMessage(LocalizedStrings::PleaseSelectRow(), false);
    return false;
}

void TableDataController::addTouched(platform::ui::Control*)
{
    rollbackContext();
    addRow();
}

void TableDataController::editTouched(platform::ui::Control*)
{
    if (isRowSelected())
        editRow();
}

void TableDataController::editRow()
{
    rollbackContext();
    GridScreenProtocol* grid = mainGridViewController();
    if (!grid)
        return;
    const QVariant row = getRowData(grid->selectedRow());
    beforeEdit(row);
    grid->ShowDetail(row);
}

void TableDataController::removeTouched(platform::ui::Control*)
{
    confirmDelete();
}

void TableDataController::confirmDelete()
{
    if (!isRowSelected())
        return;
    if (!canDelete())
        return;
    auto* alert = new platform::ui::AlertView(LocalizedStrings::Confirmation(), deleteMessage(),
        this, LocalizedStrings::Cancel(), { LocalizedStrings::OK() });
    alert->setTag(DeleteConfirmationTag);
    alert->show();
}

void TableDataController::alertViewDidDismissWithButtonIndex(
    platform::ui::AlertView* alert, int buttonIndex)
{
    if (!alert || alert->tag() != DeleteConfirmationTag || buttonIndex != 1)
        return;
    try {
        rollbackContext();
        if (deleteRow())
            refreshView();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void TableDataController::detailTouched(platform::ui::Control*)
{
    if (!isRowSelected())
        return;
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowRowDetail(getRowData(grid->selectedRow()));
}

void TableDataController::orderTouched(platform::ui::Control*)
{
    if (rows().isEmpty())
        return;
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(QVariant(QVariantMap()), OrderingDetailViewController, QString());
}

void TableDataController::refresh(platform::ui::Control*)
{
    try {
        refreshView();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void TableDataController::query(platform::ui::Control*)
{
    setExtraData({});
    if (GridScreenProtocol* grid = mainGridViewController()) {
        platform::ui::ViewController* screen = grid->gridViewController();
        screen->performSegueWithIdentifier(QueryStudioSegue, screen);
    }
}

void TableDataController::refreshGrid()
{
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->refreshGrid();
}

void TableDataController::refreshView()
{
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->refreshView();
}

void TableDataController::searchData(const QString& text)
{
    filterRows(text, getTableSearchBlock(text));
}

void TableDataController::filterRows(const QString&, SearchBlock block)
{
    applySearch(std::move(block));
    refreshGrid();
}

TableDataController::SearchBlock TableDataController::getTableSearchBlock(const QString& text)
{
    return [predicate = ContainsPredicate(text)](const QVariant& row) {
        const auto responseRow = RowObject::record<ResponseRow>(row);
        if (!responseRow)
            return false;
        return std::any_of(responseRow->Columns.cbegin(), responseRow->Columns.cend(),
            [&](const ResponseRowColumn& cell) { return predicate.evaluate(cell.Value); });
    };
}

TableDataController::SearchBlock TableDataController::getMenuSearchBlock(const QString& text)
{
    return [predicate = ContainsPredicate(text)](const QVariant& row) {
        const auto item = RowObject::record<GridData>(row);
        return item && predicate.evaluate(item->Menu);
    };
}

QString TableDataController::getTitle()
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto record = grid ? grid->screen() : nullptr;
    if (!record)
        return {};
    const auto bridge = std::dynamic_pointer_cast<BridgeScreenData>(record);
    const auto link = grid->parentLink();
    if (!bridge || bridge->titleField.isEmpty() || !link)
        return record->title;
    // Under a menu screen the row was chosen on the screen above the menu.
    const auto linkScreen = link->screen.lock();
    const auto chosen = linkScreen && linkScreen->contentismenu ? link->parent.lock() : link;
    if (!chosen)
        return record->title;
    if (platform::coredata::ManagedObject* entity = RowObject::entity(chosen->data))
        return textOf(entity->value(bridge->titleField));
    const auto row = RowObject::record<ResponseRow>(chosen->data);
    const auto source = link->dataController.lock();
    const auto table = source ? source->table() : nullptr;
    if (!row)
        return {};
    return textOf(
        row->GetColumnValue(bridge->titleField, table ? table->Columns : QList<ResponseColumn>()));
}

std::shared_ptr<GridData> TableDataController::getGridData(qint64 index)
{
    const QVariant row = getRowData(index);
    if (auto item = RowObject::record<GridData>(row))
        return item;
    const auto responseRow = RowObject::record<ResponseRow>(row);
    if (!responseRow)
        return nullptr;
    auto item = std::make_shared<GridData>(row);
    GridScreenProtocol* grid = mainGridViewController();
    QObject* rowView = grid ? grid->rowViewContoller() : nullptr;
    if (rowView && isTileRowView(rowView)) {
        const auto bridge = std::dynamic_pointer_cast<BridgeScreenData>(grid->screen());
        const auto table = this->table();
        if (bridge && !bridge->keyFields.isEmpty())
            item->Menu = textOf(responseRow->GetColumnValue(
                bridge->keyFields.first(), table ? table->Columns : QList<ResponseColumn>()));
        item->Image = getImage();
    }
    return item;
}

bool TableDataController::isTileRowView(const QObject* rowView) const
{
    return rowView && rowView->inherits(TileRowViewClass);
}

QString TableDataController::getImage()
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto record = grid ? grid->screen() : nullptr;
    if (!record)
        return {};
    if (!record->childscreen.isEmpty()) {
        const auto child = ScreenData::GetScreen(record->childscreen, grid->createParent());
        if (child && (!record->childScreens.isEmpty() || !child->childScreens.isEmpty())
            && !child->image.isEmpty())
            return child->image;
    }
    return record->image;
}

QVariantList TableDataController::buildContentMenu(
    const QStringList& screenIds, const std::shared_ptr<Parent>& parent)
{
    QVariantList items;
    for (const QString& screenId : screenIds) {
        const auto record = ScreenData::GetScreen(screenId, parent);
        auto item = std::make_shared<GridData>();
        if (record) {
            item->Menu = record->title;
            item->Image = record->image;
            item->Data = RowObject::fromRecord(record);
        }
        items.append(RowObject::fromRecord(item));
    }
    return items;
}

QVariantList TableDataController::buildContentMenu(const QStringList& texts, const QString& image)
{
    QVariantList items;
    for (const QString& text : texts)
        items.append(RowObject::fromRecord(std::make_shared<GridData>(text, image)));
    return items;
}

QVariantList TableDataController::buildContentMenuWithImage(
    const QStringList& texts, const QStringList& images)
{
    QVariantList items;
    for (qsizetype i = 0; i < texts.size(); ++i)
        items.append(RowObject::fromRecord(std::make_shared<GridData>(texts[i], images.value(i))));
    return items;
}

void TableDataController::tapOnDisclosure(qint64)
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto record = grid ? grid->screen() : nullptr;
    if (!record)
        return;
    const auto link = grid->createParent();
    if (record->contentismenu) {
        const auto item = RowObject::record<GridData>(link ? link->data : QVariant());
        const auto child = item ? RowObject::screenRecord(item->Data) : nullptr;
        if (child && !child->id.isEmpty())
            openChild(record, child->id, link);
        return;
    }
    // A child chosen per row serves this opening only.
    const auto restore
        = qScopeGuard([record, childscreen = record->childscreen, toSegue = record->toSegue] {
              record->childscreen = childscreen;
              record->toSegue = toSegue;
          });
    if (const auto bridge = std::dynamic_pointer_cast<BridgeScreenData>(record)) {
        if (auto child = BridgeScreenData::invokeForText(this, bridge->determineChildScreen))
            record->childscreen = *child;
    }
    if (!record->childscreen.isEmpty())
        openChild(record, record->childscreen, link);
}

void TableDataController::openChild(const std::shared_ptr<ScreenData>& record,
    const QString& childId, const std::shared_ptr<Parent>& link)
{
    const auto child
        = std::dynamic_pointer_cast<BridgeScreenData>(ScreenData::GetScreen(childId, link));
    if (child && !child->selectMethod.isEmpty()) {
        BridgeScreenData::invoke(this, child->selectMethod);
        return;
    }
    GridScreenProtocol* grid = mainGridViewController();
    if (!grid)
        return;
    platform::ui::ViewController* screen = grid->gridViewController();
    screen->performSegueWithIdentifier(record->toSegue, screen);
}

void TableDataController::homeTouched(platform::ui::Control*)
{
    GridScreenProtocol* grid = mainGridViewController();
    gotoHome(grid ? grid->gridViewController() : viewController());
}

void TableDataController::gotoHome(platform::ui::ViewController* controller)
{
    if (!controller)
        return;
    if (platform::ui::NavigationController* navigation = controller->navigationController())
        navigation->popToRootViewController(true);
}

void TableDataController::addeditdeleteTouched(platform::ui::Control*)
{
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->showAddEditDeletePopup();
}

void TableDataController::searchTouched(platform::ui::Control* sender)
{
    GridScreenProtocol* grid = mainGridViewController();
    if (!grid)
        return;
    if (grid->isButtonInTopBar(sender))
        grid->showHideSearchBar();
    else
        grid->showPagerPopup();
}

void TableDataController::startTouched(platform::ui::Control* sender)
{
    toolbarAction(sender);
}

void TableDataController::stopTouched(platform::ui::Control* sender)
{
    toolbarAction(sender);
}

void TableDataController::pauseTouched(platform::ui::Control* sender)
{
    toolbarAction(sender);
}

void TableDataController::restartTouched(platform::ui::Control* sender)
{
    toolbarAction(sender);
}

void TableDataController::suspendTouched(platform::ui::Control* sender)
{
    toolbarAction(sender);
}

void TableDataController::toolbarAction(platform::ui::Control* sender)
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto bridge
        = std::dynamic_pointer_cast<BridgeScreenData>(grid ? grid->screen() : nullptr);
    if (bridge)
        BridgeScreenData::invoke(this, bridge->toolbarMethod, sender);
}

void TableDataController::expandcollapseTouched(platform::ui::Control*)
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto record = grid ? grid->screen() : nullptr;
    if (!record || record->alternateRowView.isEmpty())
        return;
    const QObject* current = grid->rowViewContoller();
    const QMetaObject* rowViewClass = ClassRegistry::metaObject(record->rowView);
    const bool showsRowView
        = current && rowViewClass && current->metaObject()->inherits(rowViewClass);
    grid->changeRowViewController(showsRowView ? record->alternateRowView : record->rowView);
}

void TableDataController::columnsTouched(platform::ui::Control*)
{
    GridScreenProtocol* grid = mainGridViewController();
    if (!grid || !isTileRowView(grid->rowViewContoller()))
        return;
    auto* screen = dynamic_cast<CollectionViewController*>(grid->gridViewController());
    if (!screen)
        return;
    QPointer<TableDataController> self(this);
    QList<MenuItem*> items;
    for (unsigned columns = 1; columns <= 4; ++columns)
        items << new MenuItem(QStringLiteral("%1 %2").arg(columns).arg(LocalizedStrings::Column()),
            QStringLiteral("columnselect"), [self, columns](MenuItem*) {
                if (self)
                    self->columnsHandler(columns);
            });
    const Theme* style = screen->currentStyle() ? screen->currentStyle() : Theme::current();
    auto* menu = new VerticalMenuViewController(items, screen, style->toolbarColor().toQColor());
    screen->showPopupController(menu, menu->menuSize() + QSizeF(30, 10),
        BaseViewController::NoArrow, screen->viewForButton(ColumnsAction), false, 0, false);
}

void TableDataController::columnsHandler(unsigned columns)
{
    setIpadColumns(columns);
    refreshGrid();
}

void TableDataController::shareTouched(platform::ui::Control*)
{
    KivoAppDelegate::ApplicationDelegate()->showShareMenu(this);
}
