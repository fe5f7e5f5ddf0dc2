#include "grid/BaseDataController.h"

#include "grid/BridgeScreenData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/MatrixResponse.h"
#include "grid/Parent.h"
#include "grid/ResponseTable.h"
#include "grid/RowObject.h"
#include "model/FilterExtended.h"
#include "model/Sort.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ViewController.h"
#include "utilities/shell/MessageHelper.h"

BaseDataController::BaseDataController() = default;

BaseDataController::~BaseDataController()
{
    // An alert still up must not call back into a controller that is gone.
    for (platform::ui::AlertView* alert : platform::ui::AlertView::visibleAlerts()) {
        if (alert->delegate() == this)
            alert->setDelegate(nullptr);
    }
}

std::shared_ptr<MatrixResponse> BaseDataController::matrixResponse() const
{
    return std::dynamic_pointer_cast<MatrixResponse>(m_response);
}

void BaseDataController::setRows(QVariantList rows)
{
    m_rows = std::move(rows);
    if (m_isSearchActive && m_searchBlock)
        applySearch(m_searchBlock);
}

bool BaseDataController::moveRow(qint64 from, qint64 to)
{
    if (m_isSearchActive || from < 0 || to < 0 || from >= m_rows.size() || to >= m_rows.size())
        return false;
    m_rows.move(from, to);
    return true;
}

void BaseDataController::setIsSearchActive(bool active)
{
    m_isSearchActive = active;
    if (!active)
        m_searchBlock = {};
}

QVariantList BaseDataController::matchingRows(const QVariantList& rows, const SearchBlock& block)
{
    QVariantList matches;
    for (const QVariant& row : rows) {
        if (block(row))
            matches.append(row);
    }
    return matches;
}

void BaseDataController::applySearch(SearchBlock block)
{
    QVariantList matches;
    if (block)
        matches = matchingRows(m_rows, block);
    m_searchBlock = std::move(block);
    m_searchRows = std::move(matches);
    m_isSearchActive = true;
}

qint64 BaseDataController::endSearch(qint64 selectedRow)
{
    const QVariant selected = getRowData(selectedRow);
    setIsSearchActive(false);
    if (!selected.isValid())
        return -1;
    return m_rows.indexOf(selected);
}

platform::ui::ViewController* BaseDataController::viewController() const
{
    return m_viewController.data();
}

platform::ui::ViewController* BaseDataController::lastDetailViewController() const
{
    return m_lastDetailViewController.data();
}

bool BaseDataController::isDetailFormOpenOrComing() const
{
    return m_detailFormsComing > 0 || m_lastDetailViewController;
}

void BaseDataController::setViewController(platform::ui::ViewController* controller)
{
    m_viewController = controller;
}

GridScreenProtocol* BaseDataController::mainGridViewController() const
{
    return dynamic_cast<GridScreenProtocol*>(m_viewController.data());
}

void BaseDataController::setLastDetailViewController(platform::ui::ViewController* controller)
{
    m_lastDetailViewController = controller;
}

qint64 BaseDataController::count() const
{
    return activeRows().size();
}

QVariant BaseDataController::getRowData(qint64 index) const
{
    const QVariantList& active = activeRows();
    if (index < 0 || index >= active.size())
        return {};
    return active.at(index);
}

const QVariantList& BaseDataController::activeRows() const
{
    return m_isSearchActive ? m_searchRows : m_rows;
}

bool BaseDataController::doesRowExist() const
{
    return !activeRows().isEmpty();
}

void BaseDataController::tapOnItem(qint64 index)
{
    m_detailRowInAction = getRowData(index);
}

QVariant BaseDataController::getColumnValueInScreen(
    const QString& screenId, const QString& column, const std::shared_ptr<Parent>& parent)
{
    QVariant row;
    std::shared_ptr<ResponseTable> table;
    bool found = false;
    if (GridScreenProtocol* grid = mainGridViewController()) {
        const auto record = grid->screen();
        if (record && record->id == screenId) {
            // This screen answers for itself, selection or not.
            found = true;
            if (grid->selectedRow() != -1) {
                row = getRowData(grid->selectedRow());
                table = m_table;
            }
        }
    }
    for (std::shared_ptr<Parent> link = parent; link && !found; link = link->parent.lock()) {
        const auto record = link->screen.lock();
        if (record && record->id == screenId) {
            found = true;
            row = link->data;
            if (const auto source = link->dataController.lock())
                table = source->table();
        }
    }
    const auto responseRow = RowObject::record<ResponseRow>(row);
    if (!responseRow)
        return {};
    return responseRow->GetColumnValue(column, table ? table->Columns : QList<ResponseColumn>());
}

void BaseDataController::runAction(unsigned code, const std::function<void()>& hook)
{
    try {
        m_lastClickedButton = code;
        hook();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void BaseDataController::popToRoot()
{
    if (!m_viewController)
        return;
    if (platform::ui::NavigationController* navigation = m_viewController->navigationController())
        navigation->popToRootViewController(true);
}

void BaseDataController::add(platform::ui::Control* sender)
{
    runAction(AddAction, [&] { addTouched(sender); });
}

void BaseDataController::edit(platform::ui::Control* sender)
{
    runAction(EditAction, [&] { editTouched(sender); });
}

void BaseDataController::remove(platform::ui::Control* sender)
{
    runAction(RemoveAction, [&] { removeTouched(sender); });
}

void BaseDataController::search(platform::ui::Control* sender)
{
    runAction(SearchAction, [&] { searchTouched(sender); });
}

void BaseDataController::script(platform::ui::Control* sender)
{
    runAction(ScriptAction, [&] { scriptTouched(sender); });
}

void BaseDataController::dependent(platform::ui::Control* sender)
{
    runAction(DependentAction, [&] { dependentTouched(sender); });
}

void BaseDataController::reference(platform::ui::Control* sender)
{
    runAction(ReferenceAction, [&] { referenceTouched(sender); });
}

void BaseDataController::size(platform::ui::Control* sender)
{
    runAction(SizeAction, [&] { sizeTouched(sender); });
}

void BaseDataController::start(platform::ui::Control* sender)
{
    runAction(StartAction, [&] { startTouched(sender); });
}

void BaseDataController::stop(platform::ui::Control* sender)
{
    runAction(StopAction, [&] { stopTouched(sender); });
}

void BaseDataController::note(platform::ui::Control* sender)
{
    runAction(NoteAction, [&] { noteTouched(sender); });
}

void BaseDataController::history(platform::ui::Control* sender)
{
    runAction(HistoryAction, [&] { historyTouched(sender); });
}

void BaseDataController::unlock(platform::ui::Control* sender)
{
    runAction(UnlockAction, [&] { unlockTouched(sender); });
}

void BaseDataController::undo(platform::ui::Control* sender)
{
    runAction(UndoAction, [&] { undoTouched(sender); });
}

void BaseDataController::checkout(platform::ui::Control* sender)
{
    runAction(CheckoutAction, [&] { checkoutTouched(sender); });
}

void BaseDataController::pause(platform::ui::Control* sender)
{
    runAction(PauseAction, [&] { pauseTouched(sender); });
}

void BaseDataController::restart(platform::ui::Control* sender)
{
    runAction(RestartAction, [&] { restartTouched(sender); });
}

void BaseDataController::suspend(platform::ui::Control* sender)
{
    runAction(SuspendAction, [&] { suspendTouched(sender); });
}

void BaseDataController::help(platform::ui::Control* sender)
{
    runAction(HelpAction, [&] { helpTouched(sender); });
}

void BaseDataController::calendar(platform::ui::Control* sender)
{
    runAction(CalendarAction, [&] { calendarTouched(sender); });
}

void BaseDataController::detail(platform::ui::Control* sender)
{
    runAction(DetailAction, [&] { detailTouched(sender); });
}

void BaseDataController::settings(platform::ui::Control* sender)
{
    runAction(SettingsAction, [&] { settingsTouched(sender); });
}

void BaseDataController::addeditdelete(platform::ui::Control* sender)
{
    runAction(AddeditdeleteAction, [&] { addeditdeleteTouched(sender); });
}

void BaseDataController::save(platform::ui::Control* sender)
{
    runAction(SaveAction, [&] { saveTouched(sender); });
}

void BaseDataController::open(platform::ui::Control* sender)
{
    runAction(OpenAction, [&] { openTouched(sender); });
}

void BaseDataController::video(platform::ui::Control* sender)
{
    runAction(VideoAction, [&] { videoTouched(sender); });
}

void BaseDataController::quickstart(platform::ui::Control* sender)
{
    runAction(QuickstartAction, [&] { quickstartTouched(sender); });
}

void BaseDataController::expandcollapse(platform::ui::Control* sender)
{
    runAction(ExpandcollapseAction, [&] { expandcollapseTouched(sender); });
}

void BaseDataController::sort(platform::ui::Control* sender)
{
    runAction(SortAction, [&] { sortTouched(sender); });
}

void BaseDataController::columns(platform::ui::Control* sender)
{
    runAction(ColumnsAction, [&] { columnsTouched(sender); });
}

void BaseDataController::order(platform::ui::Control* sender)
{
    runAction(OrderAction, [&] { orderTouched(sender); });
}

void BaseDataController::chart(platform::ui::Control* sender)
{
    runAction(ChartAction, [&] { chartTouched(sender); });
}

void BaseDataController::mail(platform::ui::Control* sender)
{
    runAction(MailAction, [&] { mailTouched(sender); });
}

void BaseDataController::share(platform::ui::Control* sender)
{
    runAction(ShareAction, [&] { shareTouched(sender); });
}

void BaseDataController::filter(platform::ui::Control* sender)
{
    runAction(FilterAction, [&] { filterTouched(sender); });
}

void BaseDataController::apply(platform::ui::Control* sender)
{
    runAction(ApplyAction, [&] { applyTouched(sender); });
}

void BaseDataController::sendicloud(platform::ui::Control* sender)
{
    runAction(SendicloudAction, [&] { sendicloudTouched(sender); });
}

void BaseDataController::database(platform::ui::Control* sender)
{
    runAction(DatabaseAction, [&] { databaseTouched(sender); });
}

void BaseDataController::home(platform::ui::Control* sender)
{
    m_lastClickedButton = HomeAction;
    homeTouched(sender);
}

void BaseDataController::homeTouched(platform::ui::Control*)
{
    popToRoot();
}
