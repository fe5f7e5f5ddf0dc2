#include "grid/TableDataController.h"

#include "grid/BridgeResponse.h"
#include "grid/BridgeScreenData.h"
#include "grid/BridgeServices.h"
#include "grid/ClassRegistry.h"
#include "grid/CollectionViewController.h"
#include "grid/ContainsPredicate.h"
#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/MainCollectionViewController.h"
#include "grid/MatrixResponse.h"
#include "grid/Parent.h"
#include "grid/RequestTable.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "grid/RowViewContollerProtocol.h"
#include "grid/ServerTableCsv.h"
#include "platform/Dispatch.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Control.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "style/Theme.h"
#include "utilities/data/BitManager.h"
#include "utilities/data/OrderedDictionary.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MailHelper.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"
#include "widgets/MenuItem.h"
#include "widgets/VerticalMenuViewController.h"

#include <QScopeGuard>

#include <algorithm>
#include <limits>
#include <stdexcept>

const QString TableDataController::QueryStudioSegue = QStringLiteral("QUERY_STUDIO");
const QString TableDataController::OrderingDetailViewController
    = QStringLiteral("OrderingDetailViewController");
const QString TableDataController::PlaceholderParameter = QStringLiteral("PLACEHOLDER_PARAM");
// The user fills in the recipient in the composer.
const QString TableDataController::MailRecipient = QStringLiteral("recipient@example.com");
const QString TableDataController::MailSubject = QStringLiteral("Result");

namespace {

const char* const TileRowViewClass = "GenericRowViewController";

void rollbackContext()
{
    KivoAppDelegate::ApplicationDelegate()->rollbackContext();
}

// A value as a title or tile text, as the mailed CSV writes it; no value gives an empty
// text.
QString textOf(const QVariant& value)
{
    return ServerTableCsv::valueText(value);
}

// The rows of a reply's table as the grid's row objects.
QVariantList rowsOf(const ResponseTable& table)
{
    QVariantList rows;
    rows.reserve(table.Rows.size());
    for (const auto& row : table.Rows)
        rows.append(RowObject::fromRecord(row));
    return rows;
}

BaseViewController* baseScreenOf(GridScreenProtocol* grid)
{
    return grid ? dynamic_cast<BaseViewController*>(grid->gridViewController()) : nullptr;
}

qint32 toPage(qint64 page)
{
    return qint32(std::clamp<qint64>(
        page, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
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

TableDataController::SearchBlock TableDataController::getNameSearchBlock(const QString& text)
{
    return [predicate = ContainsPredicate(text)](const QVariant& row) {
        const QObject* object = RowObject::object(row);
        return object && predicate.evaluate(object->property("name").toString());
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

void TableDataController::loadData(const std::shared_ptr<Parent>& parent)
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto record = grid ? grid->screen() : nullptr;
    if (!record || !record->contentismenu) {
        navigatePage(MainCollectionViewController::FirstPage);
        return;
    }
    if (!record->childScreens.isEmpty())
        setRows(buildContentMenu(record->childScreens, parent));
}

bool TableDataController::navigatePage(const QString& command)
{
    const auto shown = table();
    const qint64 current = shown ? qint64(shown->CurrentPage) : -1;
    const qint64 total = shown ? qint64(shown->TotalPages) : 0;
    qint64 page = current;
    if (command == MainCollectionViewController::FirstPage)
        page = 1;
    else if (command == MainCollectionViewController::LastPage)
        page = total;
    else if (command == MainCollectionViewController::NextPage && page < total)
        ++page;
    else if (command == MainCollectionViewController::PreviousPage && page > 1)
        --page;
    if (page == current && !queryChanged()) {
        BaseViewController* screen = baseScreenOf(mainGridViewController());
        if (!screen || !screen->refresh())
            return false;
    }
    navigateToPageNumber(page);
    setQueryChanged(false);
    return true;
}

void TableDataController::navigateToPageNumber(qint64 page)
{
    // A screen the server does not feed has no page to ask for (nor a row view to ask).
    GridScreenProtocol* grid = mainGridViewController();
    const auto bridge
        = std::dynamic_pointer_cast<BridgeScreenData>(grid ? grid->screen() : nullptr);
    if (!bridge || bridge->bridgeMethod.isEmpty())
        return;
    loadPageData(pageRequestProperties(page));
}

QVariantMap TableDataController::pageRequestProperties(qint64 page)
{
    GridScreenProtocol* grid = mainGridViewController();
    auto* rowView
        = dynamic_cast<RowViewContollerProtocol*>(grid ? grid->rowViewContoller() : nullptr);
    const QVariant pageSize = rowView ? rowView->pageSize() : QVariant(-1);
    QVariantMap properties;
    if (const auto shown = table()) {
        RequestTable request;
        request.Name = shown->Name;
        request.Page = toPage(page);
        request.PageSize = toPage(pageSize.toLongLong());
        request.Filters = filters();
        request.Sorts = sorts();
        properties.insert(
            QStringLiteral("Tables"), QVariant::fromValue(QList<RequestTable> { request }));
    }
    properties.insert(QStringLiteral("PageSize"), pageSize);
    const auto matrix = matrixResponse();
    BaseViewController* screen = baseScreenOf(grid);
    if (matrix && !matrix->Id.isEmpty() && !(screen && screen->refresh()) && !queryChanged())
        properties.insert(QStringLiteral("Id"), matrix->Id);
    return properties;
}

QVariantList TableDataController::getBridgeParameters()
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto bridge
        = std::dynamic_pointer_cast<BridgeScreenData>(grid ? grid->screen() : nullptr);
    if (!bridge)
        return {};
    if (auto answer = BridgeScreenData::invokeForParameters(this, bridge->determinBridgeParameters))
        return *answer;
    return buildParameters(bridge->bridgeParameters);
}

QVariantList TableDataController::buildParameters(const OrderedDictionary& parameters)
{
    QVariantList built;
    GridScreenProtocol* grid = mainGridViewController();
    const auto link = grid ? grid->parentLink() : nullptr;
    for (const QString& column : parameters.keyEnumerator()) {
        if (column == PlaceholderParameter) {
            built.append(PlaceholderParameter);
            continue;
        }
        const QVariant value
            = getColumnValueInScreen(parameters.objectForKey(column).toString(), column, link);
        if (value.isValid() && !value.isNull())
            built.append(value);
    }
    return built;
}

void TableDataController::loadPageData(const QVariantMap& properties)
{
    GridScreenProtocol* grid = mainGridViewController();
    const auto bridge
        = std::dynamic_pointer_cast<BridgeScreenData>(grid ? grid->screen() : nullptr);
    if (!bridge || bridge->bridgeMethod.isEmpty())
        return;
    BridgeServices* services = BridgeServices::instance();
    if (!services) {
        MessageHelper::ShowMessage(BridgeServices::NotAvailableMessage, true);
        return;
    }
    QPointer<TableDataController> self(this);
    services->InvokeAppMatrix(
        bridge->brigeType, bridge->bridgeMethod, properties, getBridgeParameters(),
        grid->gridViewController(),
        [self](const BridgeResponse& response) {
            if (self)
                self->takeResponse(response);
        },
        0);
}

void TableDataController::takeResponse(const BridgeResponse& response)
{
    const auto matrix = response.matrixResponse;
    if (!matrix || !matrix->Success)
        return;
    setResponse(matrix);
    GridScreenProtocol* grid = mainGridViewController();
    if (!matrix->Tables.isEmpty() && matrix->Tables.first()) {
        setTable(matrix->Tables.first());
        setRows(rowsOf(*matrix->Tables.first()));
        const auto record = grid ? grid->screen() : nullptr;
        const bool hasSearch = record && record->buttonBits
            && record->buttonBits->getBit(MainCollectionViewController::SearchButton);
        if (!hasSearch && matrix->Tables.size() >= 2) {
            initTablePickerData();
            // The reply comes after the grid's own load has cleared its refresh flag, so
            // the grid would not make the picker for these titles itself.
            if (auto* screen = grid
                    ? qobject_cast<MainCollectionViewController*>(grid->gridViewController())
                    : nullptr)
                screen->initPickerView();
        }
    }
    if (auto* screen
        = grid ? dynamic_cast<CollectionViewController*>(grid->gridViewController()) : nullptr)
        screen->afterLoad();
}

void TableDataController::initTablePickerData()
{
    const auto matrix = matrixResponse();
    if (!matrix || matrix->Tables.size() < 2)
        return;
    QStringList titles;
    for (qsizetype i = 1; i <= matrix->Tables.size(); ++i)
        titles << QStringLiteral("T%1").arg(i);
    pickerData() = titles;
}

void TableDataController::selectTable(int index)
{
    const auto matrix = matrixResponse();
    if (!matrix || index < 0 || index >= matrix->Tables.size() || !matrix->Tables[index])
        return;
    setTable(matrix->Tables[index]);
    setRows(rowsOf(*matrix->Tables[index]));
}

int TableDataController::numberOfItemsInPickerView(HorizontalPickerView*)
{
    const auto shown = table();
    return shown ? int(std::min<unsigned>(shown->TotalPages, std::numeric_limits<int>::max())) : 0;
}

QString TableDataController::pickerViewTitleForItem(HorizontalPickerView*, int item)
{
    const auto shown = table();
    return QStringLiteral("%1/%2").arg(qint64(item) + 1).arg(shown ? shown->TotalPages : 0u);
}

void TableDataController::pickerViewDidSelectItem(HorizontalPickerView*, int item)
{
    try {
        const qint64 page = qint64(item) + 1;
        const auto shown = table();
        GridScreenProtocol* grid = mainGridViewController();
        BaseViewController* screen = baseScreenOf(grid);
        if (!queryChanged() && shown && shown->TotalPages == 1 && !(screen && screen->refresh()))
            return;
        if (grid)
            grid->setSelectedRow(-1);
        navigateToPageNumber(page);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void TableDataController::mailTouched(platform::ui::Control*)
{
    GridScreenProtocol* grid = mainGridViewController();
    QPointer<BaseViewController> screen = baseScreenOf(grid);
    const auto matrix = matrixResponse();
    // Taken here: the worker must not read a reply that the next page may replace.
    ServerTableCsv::Snapshot snapshot
        = matrix ? ServerTableCsv::snapshot(*matrix) : ServerTableCsv::Snapshot();
    if (screen)
        screen->showHud();
    QPointer<TableDataController> self(this);
    platform::dispatch::asyncGlobal(
        [self, screen, snapshot = std::move(snapshot)] {
            QString text;
            try {
                text = ServerTableCsv::text(snapshot);
            } catch (const std::exception& exception) {
                text.clear();
                const QString reason = QString::fromUtf8(exception.what());
                platform::dispatch::asyncMain([reason] {
                    MessageHelper::ShowException(std::runtime_error(reason.toStdString()));
                });
            }
            platform::dispatch::asyncMain([self, screen, text = std::move(text)] {
                if (screen)
                    screen->hideHud();
                if (!self)
                    return;
                if (text.isEmpty()) {
                    MessageHelper::ShowMessage(LocalizedStrings::NoDataEmail(), false);
                    return;
                }
                MailHelper::sendEmailToWithAttachment(MailRecipient, MailSubject, text, screen);
            });
        },
        platform::dispatch::Priority::High);
}
