#include "screens/GenericTemplateDataController.h"

#include "forms/QuickDetailViewController.h"
#include "grid/ContainsPredicate.h"
#include "grid/ExportMenuHost.h"
#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "grid/ScreenData.h"
#include "model/Sort.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/TypeConstants.h"
#include "model/UserTemplate.h"
#include "platform/Dispatch.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ViewController.h"
#include "reports/GenericTemplateReportController.h"
#include "reports/GenericTemplateReportDataSource.h"
#include "reports/charts/ChartDataController.h"
#include "screens/ApplicationState.h"
#include "screens/MainDataController.h"
#include "screens/ReminderScheduler.h"
#include "screens/ScreenFactory.h"
#include "screens/ScreenHost.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/shell/DeviceHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/LocalizedStrings.h"

#include <QLineEdit>
#include <QSet>

#include <algorithm>
#include <utility>

const QString GenericTemplateDataController::HiddenValue
    = QStringLiteral("\u25CF\u25CF\u25CF\u25CF\u25CF\u25CF\u25CF\u25CF\u25CF");
const QString GenericTemplateDataController::UnreadableRow
    = QStringLiteral("This row could not be read.");
const QString GenericTemplateDataController::UnreadableRowRefused = QStringLiteral(
    "This row could not be read with the table's password, so it is neither opened nor changed.");
const QString GenericTemplateDataController::ProtectedMeanwhile
    = QStringLiteral("This table has been protected on another device. Its rows show again "
                     "once you enter its password; what you typed in an open form is kept.");
const QString GenericTemplateDataController::ChartDetailViewController
    = QStringLiteral("ChartDetailViewController");
const QString GenericTemplateDataController::SearchColumnSelectorDetailViewController
    = QStringLiteral("SearchColumnSelectorDetailViewController");

namespace {

const QString kUnknownImage = QStringLiteral("unknown");
const QString kFilterPopup = QStringLiteral("InQuery");
const QString kSortPopup = QStringLiteral("Sort");
constexpr double kQueryPopupSide = 500;

QString idOf(const TemplateColumn* column)
{
    return column->id().toString();
}

bool isProtectedColumn(const TemplateColumn* column)
{
    return TypeConstants::isProtected(column->typeName());
}

bool hasValue(const QVariant& value)
{
    return value.isValid() && !value.isNull();
}

void rollbackContext()
{
    KivoAppDelegate::ApplicationDelegate()->rollbackContext();
}

// The one definition kept for the whole process: tables of one definition are opened
// one after another.
QPointer<Template>& cachedTemplate()
{
    static QPointer<Template> shared;
    return shared;
}

} // namespace

GenericTemplateDataController::GenericTemplateDataController() = default;

GenericTemplateDataController::~GenericTemplateDataController()
{
    // The prompt may outlive its screen: it must not answer to a controller gone.
    if (m_passwordPrompt)
        m_passwordPrompt->setDelegate(nullptr);
}

UserTemplate* GenericTemplateDataController::userTemplate() const
{
    if (m_userTemplate && m_userTemplate->managedObjectContext())
        return m_userTemplate;
    GridScreenProtocol* grid = mainGridViewController();
    const auto link = grid ? grid->parentLink() : nullptr;
    return link ? qobject_cast<UserTemplate*>(RowObject::object(link->data)) : nullptr;
}

Template* GenericTemplateDataController::getTemplate() const
{
    UserTemplate* table = userTemplate();
    if (!table)
        return nullptr;
    const QString templateId = table->template_id().toString();
    QPointer<Template>& cached = cachedTemplate();
    if (cached && cached->managedObjectContext() && cached->id().toString() == templateId)
        return cached;
    cached = Template::getTemplate(templateId);
    return cached;
}

unsigned GenericTemplateDataController::tilesPerRow(const QVariant& stored)
{
    if (!hasValue(stored))
        return 1;
    return unsigned(std::clamp(stored.toLongLong(), 1LL, 4LL));
}

bool GenericTemplateDataController::columnsAreLive() const
{
    // Columns go with the store they came from (a reload, a switch to iCloud).
    if (m_columns.isEmpty())
        return false;
    return std::all_of(
        m_columnGuards.cbegin(), m_columnGuards.cend(), [](const QPointer<TemplateColumn>& column) {
            return column && column->managedObjectContext() == KivoLib::currentContext();
        });
}

void GenericTemplateDataController::loadColumns(const QString& templateId)
{
    // Columns added or taken away on another machine come with an import; Refresh reads
    // them again as well.
    if (std::exchange(m_columnsStale, false) || !columnsAreLive()) {
        stopFollowingColumns();
        m_columns = TemplateColumn::getColumns(templateId);
        for (TemplateColumn* column : std::as_const(m_columns)) {
            m_columnGuards.append(column);
            // The columns go with their store: whatever runs before this screen hears
            // of it (a paint, a delayed rebuild) finds none.
            connect(column, &QObject::destroyed, this,
                &GenericTemplateDataController::forgetColumns, Qt::UniqueConnection);
        }
        m_tableColumns = TemplateColumn::getTableColumns(m_columns);
        m_tilesColumns = TemplateColumn::getTilesColumns(m_columns);
        m_booleanColumn = TemplateColumn::getTilesBooleanColumn(m_columns);
        // What the user chose since (sorts, tiles per row) outlives a reload.
        if (!m_columnsLoaded && !m_columns.isEmpty()) {
            m_columnsLoaded = true;
            if (Template* definition = getTemplate())
                setIpadColumns(tilesPerRow(definition->tilescolumns()));
            sorts().clear();
            for (TemplateColumn* column : std::as_const(m_columns)) {
                if (!column->sortfield().toBool())
                    continue;
                auto sort = std::make_shared<Sort>();
                sort->setHeader(column->name().toString());
                sort->setColumn(idOf(column));
                sort->setAscending(column->sortascending().toBool());
                sorts().append(sort);
            }
        }
    }
    // A column is searched as its tile shows it until the person chooses otherwise.
    for (TemplateColumn* column : std::as_const(m_columns)) {
        if (!isProtectedColumn(column) && !searchColumns().contains(idOf(column)))
            searchColumns().insert(idOf(column), hasValue(column->intiles()));
    }
}

void GenericTemplateDataController::stopFollowingColumns()
{
    for (const QPointer<TemplateColumn>& column : std::as_const(m_columnGuards)) {
        if (column)
            disconnect(column, &QObject::destroyed, this, nullptr);
    }
    m_columnGuards.clear();
}

void GenericTemplateDataController::forgetColumns()
{
    stopFollowingColumns();
    m_columns.clear();
    m_tableColumns.clear();
    m_tilesColumns.clear();
    m_booleanColumn = nullptr;
    // The rows' decoding and search texts were made with them.
    m_tableRows.setTable(m_tableRows.userTemplateId(), {}, m_tableRows.password());
}

void GenericTemplateDataController::takePassword(
    const std::shared_ptr<Parent>& parent, UserTemplate* table)
{
    m_passwordTaken = true;
    if (!table->isprotected().toBool())
        return;
    // Home verified the password just before opening this table.
    const auto home = parent
        ? std::dynamic_pointer_cast<MainDataController>(parent->dataController.lock())
        : nullptr;
    const Rows::Password typed = home ? home->verifiedSecret(table) : std::nullopt;
    if (typed) {
        m_password = typed;
        m_verifiedCheck = table->protectioncheck().toString();
    } else {
        m_locked = true;
    }
}

bool GenericTemplateDataController::followProtection(UserTemplate* table)
{
    if (!table->isprotected().toBool()) {
        m_locked = false;
        return true;
    }
    const QString check = table->protectioncheck().toString();
    if (m_password && !check.isEmpty() && check != m_verifiedCheck
        && table->isPasswordValid(*m_password))
        m_verifiedCheck = check;
    m_locked = !m_password || check.isEmpty() || check != m_verifiedCheck;
    return !m_locked;
}

Rows::Password GenericTemplateDataController::writePassword() const
{
    UserTemplate* table = userTemplate();
    return table && table->isprotected().toBool() ? m_password : std::nullopt;
}

void GenericTemplateDataController::loadData(const std::shared_ptr<Parent>& parent)
{
    auto* table = parent ? qobject_cast<UserTemplate*>(RowObject::object(parent->data)) : nullptr;
    if (table)
        m_userTemplate = table;
    else
        table = userTemplate();
    if (!table) {
        setRows({});
        return;
    }
    if (!m_passwordTaken) {
        takePassword(parent, table);
        if (m_locked)
            MessageHelper::ShowMessage(LocalizedStrings::PasswordInvalid(), false);
    }
    loadColumns(table->template_id().toString());
    const bool wasOpen = !m_locked;
    if (!followProtection(table)) {
        m_tableRows.forgetDecoded();
        setRows({});
        // Protected meanwhile: the rows are there, under a password not given here yet.
        if (wasOpen)
            askForPassword(true);
        return;
    }
    // Rows another machine wrote before it heard of a protection change made here (or
    // elsewhere) go into the table's form, as far as the password held here allows. They
    // come only with imports: looked for when the table opens and after each import, not
    // at the reloads that follow this screen's own writes.
    if (m_lookForOtherForm && m_password && !m_columns.isEmpty()) {
        m_lookForOtherForm = false;
        (void)table->restoreRowsInItsForm(*m_password, m_columns);
    }

    const QString tableId = table->id().toString();
    m_tableRows.setTable(tableId, m_columns, m_password);
    QVariantList list;
    if (filters().isEmpty() && sorts().isEmpty()) {
        list = m_tableRows.fetch();
    } else {
        // The pass reads every row: a background making of search texts would hold the
        // store and the pool's threads from it. What it made is kept; loads make the rest.
        m_tableRows.stopSearchTexts();
        QList<Rows*> rows = Rows::getRowFaults(tableId);
        if (!filters().isEmpty())
            rows = Rows::applyFilter(rows, m_columns, filters(), m_password);
        if (!sorts().isEmpty())
            rows = m_tableRows.sorted(rows, sorts());
        list.reserve(rows.size());
        for (Rows* row : std::as_const(rows))
            list.append(RowObject::fromObject(row));
    }
    // The search goes on over the new rows; the rows' search texts are made in the
    // background for the searches to come, once the grid has drawn its first rows (it
    // then asks for the rows ahead) or at the latest after a while.
    if (isSearchActive()) {
        m_tableRows.prepareSearchTexts(list);
    } else {
        m_tableRows.startSearchTexts(list, true);
        platform::dispatch::afterMain(
            SearchTextsLatestMs, [self = QPointer<GenericTemplateDataController>(this)] {
                if (self)
                    self->m_tableRows.releaseSearchTexts();
            });
    }
    setRows(std::move(list));

    // A protected table's reminders could not be built without its password: once it is
    // open, and its first tiles are drawn, they are.
    if (!m_rebuildNotifications && table->isprotected().toBool()) {
        m_rebuildNotifications = true;
        rebuildNotifications(ReminderRebuildDelayMs);
    }
}

Rows* GenericTemplateDataController::rowAt(qint64 index) const
{
    return qobject_cast<Rows*>(RowObject::object(getRowData(index)));
}

QVariantMap GenericTemplateDataController::rowValues(qint64 index)
{
    return m_tableRows.values(rowAt(index));
}

bool GenericTemplateDataController::isRowUnreadable(qint64 index)
{
    Rows* row = rowAt(index);
    return row && !m_tableRows.readValues(row);
}

std::shared_ptr<GridData> GenericTemplateDataController::getGridData(qint64 index)
{
    Rows* row = rowAt(index);
    if (!row)
        return nullptr;
    const std::optional<QVariantMap> read = m_tableRows.readValues(row);
    const QVariantMap values = read.value_or(QVariantMap());
    auto item = std::make_shared<GridData>(QVariant(values));
    if (!read) {
        item->Menu = LocalizedStrings::getLocalizedString(UnreadableRow);
    } else if (!m_tilesColumns.isEmpty()) {
        TemplateColumn* title = m_tilesColumns.first();
        item->Menu = title->getStringValue(values.value(idOf(title)));
    }
    item->Image = getImage();
    return item;
}

void GenericTemplateDataController::prefetchRows(qint64 first, qint64 count)
{
    QList<Rows*> ahead;
    ahead.reserve(qsizetype(std::max<qint64>(0, count)));
    for (qint64 index = first; index < first + count; ++index) {
        if (Rows* row = rowAt(index))
            ahead.append(row);
    }
    m_tableRows.prefetch(ahead);
    m_tableRows.releaseSearchTexts();
}

QString GenericTemplateDataController::getImage()
{
    Template* definition = getTemplate();
    const QString image = definition ? definition->image().toString() : QString();
    return image.isEmpty() ? kUnknownImage : image;
}

QString GenericTemplateDataController::getTitle()
{
    UserTemplate* table = userTemplate();
    return table ? table->name().toString() : QString();
}

QStringList GenericTemplateDataController::columnHeaders() const
{
    QStringList headers;
    for (TemplateColumn* column : m_tableColumns)
        headers << column->name().toString();
    return headers;
}

QList<double> GenericTemplateDataController::columnWidths() const
{
    QList<double> widths;
    for (TemplateColumn* column : m_tableColumns)
        widths << column->getColumnWidth();
    return widths;
}

QStringList GenericTemplateDataController::columnValues(qint64 index)
{
    const std::optional<QVariantMap> read = m_tableRows.readValues(rowAt(index));
    if (!read && rowAt(index)) {
        // The first cell says so; an empty row would pass for one without values.
        QStringList texts(m_tableColumns.size(), QString());
        if (!texts.isEmpty())
            texts.first() = LocalizedStrings::getLocalizedString(UnreadableRow);
        return texts;
    }
    const QVariantMap values = read.value_or(QVariantMap());
    QStringList texts;
    for (TemplateColumn* column : std::as_const(m_tableColumns))
        texts << (isProtectedColumn(column) ? HiddenValue
                                            : column->getStringValue(values.value(idOf(column))));
    return texts;
}

QStringList GenericTemplateDataController::searchbarBookmarkImage()
{
    return { QStringLiteral("searchcolumnselect"), QStringLiteral("searchcolumnselect") };
}

void GenericTemplateDataController::searchBarBookmarkClicked()
{
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(QVariant(), SearchColumnSelectorDetailViewController, QString());
}

void GenericTemplateDataController::tapOnDisclosure(qint64)
{
    edit(nullptr);
}

void GenericTemplateDataController::searchData(const QString& text)
{
    // The columns chosen for searching, never a Protected one; every row's search text is
    // made once and kept for the searches after.
    QList<int> searched;
    const Rows::Columns& searchable = m_tableRows.searchableColumns();
    for (qsizetype i = 0; i < searchable.size(); ++i) {
        if (searchColumns().value(idOf(searchable[i])).toBool())
            searched << int(i);
    }
    const QString folded = ContainsPredicate(text).folded();
    if (!folded.isEmpty() && !searched.isEmpty())
        m_tableRows.prepareSearchTexts(rows());
    filterRows(text, RowSearch { &m_tableRows, folded, searched });
}

bool GenericTemplateDataController::RowSearch::operator()(const QVariant& row) const
{
    return rows->searchMatches(qobject_cast<Rows*>(RowObject::object(row)), folded, positions);
}

QVariantList GenericTemplateDataController::matchingRows(
    const QVariantList& rows, const SearchBlock& block)
{
    // A search of this table tests many rows at once.
    if (const auto* search = block.target<RowSearch>(); search && search->rows == &m_tableRows)
        return m_tableRows.matchingRows(rows, search->folded, search->positions);
    return CloudTableDataController::matchingRows(rows, block);
}

void GenericTemplateDataController::cloudStoreUnloaded()
{
    m_tableRows.forgetDecoded();
    CloudTableDataController::cloudStoreUnloaded();
}

void GenericTemplateDataController::refresh(platform::ui::Control* sender)
{
    m_columnsStale = true;
    CloudTableDataController::refresh(sender);
}

void GenericTemplateDataController::cloudStoreLoaded()
{
    m_columnsStale = true;
    m_lookForOtherForm = true;
    CloudTableDataController::cloudStoreLoaded();
    rebuildNotifications();
}

bool GenericTemplateDataController::refuseLocked()
{
    // A write goes by the protection the table has now, which another machine may have
    // changed since the last load.
    const bool wasOpen = !m_locked;
    if (UserTemplate* table = userTemplate())
        followProtection(table);
    if (!m_locked)
        return false;
    askForPassword(wasOpen);
    return true;
}

void GenericTemplateDataController::askForPassword(bool sayProtected)
{
    UserTemplate* table = userTemplate();
    // Without a check value no password can be verified here: Home makes one first.
    if (!table || table->protectioncheck().toString().isEmpty()) {
        MessageHelper::ShowMessage(LocalizedStrings::PasswordInvalid(), false);
        return;
    }
    if (!m_passwordPrompt || !m_passwordPrompt->isVisible()) {
        m_passwordPrompt = MainDataController::passwordPrompt(MainDataController::OpenPasswordTag);
        m_passwordPrompt->setDelegate(this);
        m_passwordPrompt->show();
    }
    // The message comes over the prompt, which waits below it.
    if (sayProtected)
        MessageHelper::ShowMessage(LocalizedStrings::getLocalizedString(ProtectedMeanwhile), false);
}

void GenericTemplateDataController::alertViewDidDismissWithButtonIndex(
    platform::ui::AlertView* alert, int buttonIndex)
{
    if (!alert || alert->tag() != MainDataController::OpenPasswordTag) {
        CloudTableDataController::alertViewDidDismissWithButtonIndex(alert, buttonIndex);
        return;
    }
    if (alert == m_passwordPrompt)
        m_passwordPrompt.clear();
    if (buttonIndex == 0) {
        // Cancel: the table stays locked; a form's next Save asks again.
        m_saveAwaitsPassword = false;
        return;
    }
    try {
        QLineEdit* field = alert->textFieldAtIndex(0);
        passwordAnswered(field ? field->text() : QString());
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void GenericTemplateDataController::passwordAnswered(const QString& typed)
{
    UserTemplate* table = userTemplate();
    if (!table)
        return;
    if (typed.isEmpty() || !table->isPasswordValid(typed)) {
        askForPassword(false);
        MessageHelper::ShowMessage(LocalizedStrings::PasswordInvalid(), false);
        return;
    }
    m_password = typed;
    m_verifiedCheck = table->protectioncheck().toString();
    m_locked = false;
    // Rows written elsewhere before the protection came are put in its form.
    m_lookForOtherForm = true;
    refreshView();
    if (!std::exchange(m_saveAwaitsPassword, false))
        return;
    // The Save that was refused, with what the form holds now.
    if (auto* form = qobject_cast<QuickDetailViewController*>(lastDetailViewController()))
        form->onSave();
}

bool GenericTemplateDataController::refuseUnreadable(Rows* row)
{
    // A row never given values, or not yet stored, reads as its defaults.
    if (!row || row->storedJson().isNull() || m_tableRows.readValues(row))
        return false;
    MessageHelper::ShowMessage(LocalizedStrings::getLocalizedString(UnreadableRowRefused), false);
    return true;
}

Rows* GenericTemplateDataController::detailRow() const
{
    return qobject_cast<Rows*>(RowObject::object(detailRowInAction()));
}

Rows* GenericTemplateDataController::rowBeingAddedAgain()
{
    // The new row of an Add form went with the store it was made in. The store in use has
    // it when it was saved as that store went; otherwise it is made again, under its id.
    if (lastClickedButton() != AddAction || m_addingRowId.isEmpty()
        || !RowObject::isGone(detailRowInAction()))
        return nullptr;
    UserTemplate* table = userTemplate();
    if (!table || !columnsAreLive())
        return nullptr;
    const QString tableId = table->id().toString();
    Rows* row = nullptr;
    for (Rows* stored : Rows::getRowFaults(tableId)) {
        if (stored->id().toString() == m_addingRowId) {
            row = stored;
            break;
        }
    }
    if (!row) {
        row = Rows::add(tableId);
        if (!row)
            return nullptr;
        row->setId(m_addingRowId);
    }
    setDetailRowInAction(RowObject::fromObject(row));
    return row;
}

void GenericTemplateDataController::addRow()
{
    UserTemplate* table = userTemplate();
    if (!table || refuseLocked())
        return;
    Rows* row = Rows::add(table->id().toString());
    if (!row)
        return;
    m_addingRowId = row->id().toString();
    setDetailRowInAction(RowObject::fromObject(row));
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(QVariant(row->getData(m_columns, m_password)));
}

void GenericTemplateDataController::editRow()
{
    rollbackContext();
    GridScreenProtocol* grid = mainGridViewController();
    if (!grid || refuseLocked())
        return;
    const QVariant row = getRowData(grid->selectedRow());
    if (refuseUnreadable(qobject_cast<Rows*>(RowObject::object(row))))
        return;
    setDetailRowInAction(row);
    beforeEdit(row);
    grid->ShowDetail(QVariant(m_tableRows.values(detailRow())));
}

bool GenericTemplateDataController::saveRow(const QVariant& values)
{
    if (lastClickedButton() == ChartAction)
        return plotChart(values.toMap());
    Rows* row = detailRow();
    if (!row)
        row = rowBeingAddedAgain();
    if (!row)
        return false;
    if (refuseLocked()) {
        m_saveAwaitsPassword = true;
        return false;
    }
    if (!KivoLib::isDataOK(row))
        return false;
    // The row may have changed since its form opened (another machine's edit under a
    // password this screen does not hold): the form's values must not replace it.
    m_tableRows.invalidate(row);
    if (refuseUnreadable(row))
        return false;
    if (!isRowValid(values.toMap()))
        return false;
    return updateAndSaveRow(values.toMap());
}

bool GenericTemplateDataController::updateAndSaveRow(const QVariantMap& values)
{
    Rows* row = detailRow();
    if (!row || refuseLocked())
        return false;
    // What the form did not show (a column added since it opened, on this machine or
    // another) keeps its stored value.
    QVariantMap merged = values;
    if (!row->json().isNull()) {
        if (const auto stored = row->decodeData(m_columns, m_password)) {
            for (auto it = stored->cbegin(); it != stored->cend(); ++it) {
                if (!merged.contains(it.key()))
                    merged.insert(it.key(), it.value());
            }
        }
    }
    m_tableRows.invalidate(row);
    const auto before = m_tableRows.storeChanges();
    try {
        row->updateData(merged, m_columns, writePassword());
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
        rollbackContext();
        return false;
    }
    if (!row->saveRows()) {
        // The refused values must not ride along with a later commit.
        rollbackContext();
        m_tableRows.invalidate(row);
        return false;
    }
    m_tableRows.wrote(row, before);
    scheduleNotifications();
    return true;
}

bool GenericTemplateDataController::deleteRow()
{
    GridScreenProtocol* grid = mainGridViewController();
    Rows* row = grid ? rowAt(grid->selectedRow()) : nullptr;
    if (!row || refuseLocked())
        return false;
    const QString rowId = row->id().toString();
    m_tableRows.invalidate(row);
    const auto before = m_tableRows.storeChanges();
    if (!Rows::deleteRows(row)) {
        rollbackContext();
        return false;
    }
    m_tableRows.wrote(row, before);
    deleteNotifications(rowId);
    return true;
}

QStringList GenericTemplateDataController::validateRow(const QVariantMap& values)
{
    QStringList names;
    for (TemplateColumn* column : m_columns) {
        const QString type = column->typeName();
        const QVariant value = values.value(idOf(column));
        const bool missing = !hasValue(value)
            || (TypeConstants::isText(type) && value.typeId() == QMetaType::QString
                && value.toString().isEmpty());
        if (column->mandatory().toBool() && missing) {
            names << column->name().toString();
            continue;
        }
        if (type == TypeConstants::Text || type == TypeConstants::BigText) {
            const qsizetype length = hasValue(value) ? value.toString().size() : 0;
            if (length > column->length().toLongLong())
                names << column->name().toString();
        }
    }
    return names;
}

bool GenericTemplateDataController::isRowValid(const QVariantMap& values)
{
    const QStringList names = validateRow(values);
    if (names.isEmpty())
        return true;
    MessageHelper::ShowMessage(
        QStringLiteral("%1 %2").arg(LocalizedStrings::EnterValidValuesFor(), names.join(u',')),
        false);
    return false;
}

void GenericTemplateDataController::detailTouched(platform::ui::Control*)
{
    if (!isRowSelected() || refuseLocked())
        return;
    GridScreenProtocol* grid = mainGridViewController();
    if (refuseUnreadable(rowAt(grid->selectedRow())))
        return;
    setDetailRowInAction(getRowData(grid->selectedRow()));
    const QVariantMap values = m_tableRows.values(detailRow());
    setExtraData(values);
    if (ScreenHost* host = screenHost())
        host->showRowDetail(values);
}

bool GenericTemplateDataController::checkMarkTouched(qint64 index, bool checked)
{
    Rows* row = rowAt(index);
    if (!row || !m_booleanColumn || refuseLocked())
        return false;
    // A row that does not read must not be written back as an empty one.
    auto values = row->decodeData(m_columns, m_password);
    if (!values)
        return false;
    values->insert(idOf(m_booleanColumn), checked);
    m_tableRows.invalidate(row);
    const auto before = m_tableRows.storeChanges();
    try {
        row->updateData(*values, m_columns, writePassword());
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
        rollbackContext();
        return false;
    }
    if (!row->saveRows()) {
        rollbackContext();
        m_tableRows.invalidate(row);
        return false;
    }
    m_tableRows.wrote(row, before);
    return true;
}

void GenericTemplateDataController::headerLabelTouched(qint64 column)
{
    if (isSearchActive())
        return;
    const QStringList headers = columnHeaders();
    if (column < 0 || column >= headers.size())
        return;
    const QString header = headers.at(column);
    const auto same = std::find_if(sorts().begin(), sorts().end(),
        [&](const std::shared_ptr<Sort>& sort) { return sort->Header() == header; });
    if (same != sorts().end()) {
        (*same)->setAscending(!(*same)->Ascending());
    } else {
        TemplateColumn* tableColumn = m_tableColumns.at(column);
        if (isProtectedColumn(tableColumn))
            return;
        auto sort = std::make_shared<Sort>();
        sort->setHeader(header);
        sort->setColumn(idOf(tableColumn));
        sort->setAscending(false);
        sorts() = { sort };
    }
    setLastClickedButton(SortAction);
    refreshView();
}

void GenericTemplateDataController::filterTouched(platform::ui::Control*)
{
    ScreenHost* host = screenHost();
    GridScreenProtocol* grid = mainGridViewController();
    if (!host || !grid)
        return;
    if (DeviceHelper::isIPAD())
        host->showScreenInPopup(
            ScreenFactory::InQueryGeneral, QSizeF(kQueryPopupSide, kQueryPopupSide));
    else
        host->showPopup(kFilterPopup, grid->screen() ? grid->screen()->toSegue : QString());
}

void GenericTemplateDataController::sortTouched(platform::ui::Control*)
{
    ScreenHost* host = screenHost();
    GridScreenProtocol* grid = mainGridViewController();
    if (!host || !grid)
        return;
    if (DeviceHelper::isIPAD())
        host->showScreenInPopup(
            ScreenFactory::SortGeneral, QSizeF(kQueryPopupSide, kQueryPopupSide));
    else
        host->showPopup(kSortPopup, grid->screen() ? grid->screen()->toSegue : QString());
}

void GenericTemplateDataController::chartTouched(platform::ui::Control*)
{
    const bool numbers = std::any_of(m_columns.cbegin(), m_columns.cend(),
        [](TemplateColumn* column) { return TypeConstants::isNumber(column->typeName()); });
    if (rows().isEmpty() || !numbers)
        return;
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(QVariant(QVariantMap()), ChartDetailViewController, QString());
}

bool GenericTemplateDataController::plotChart(const QVariantMap& definition)
{
    if (!m_chartDataController)
        m_chartDataController = std::make_shared<ChartDataController>(this);
    m_chartDataController->plotChart(definition);
    return true;
}

QVariantList GenericTemplateDataController::getAutoCompleteValues(const QString& columnId)
{
    TemplateColumn* column = TemplateColumn::getColumnForId(columnId, m_columns);
    if (!column || isProtectedColumn(column) || m_locked)
        return {};
    QVariantList values;
    QSet<QString> seen;
    for (const QVariant& row : rows()) {
        const QVariant value
            = m_tableRows.decode(qobject_cast<Rows*>(RowObject::object(row))).value(columnId);
        if (!hasValue(value))
            continue;
        const QString key = QString::number(value.typeId()) + u':' + value.toString();
        if (!seen.contains(key)) {
            seen.insert(key);
            values.append(value);
        }
    }
    return values;
}

void GenericTemplateDataController::scheduleNotifications()
{
    Rows* row = detailRow();
    ReminderScheduler* reminders = ApplicationState::reminders();
    if (!row || !reminders)
        return;
    if (lastClickedButton() == EditAction)
        deleteNotifications(row->id().toString());
    reminders->scheduleNotification(row, m_columns, m_password, userTemplate());
}

void GenericTemplateDataController::deleteNotifications(const QString& rowId)
{
    if (ReminderScheduler* reminders = ApplicationState::reminders())
        reminders->deleteNotifications(rowId);
}

void GenericTemplateDataController::rebuildAllNotifications()
{
    ReminderScheduler* reminders = ApplicationState::reminders();
    UserTemplate* table = userTemplate();
    if (!reminders || !table || m_locked || !columnsAreLive())
        return;
    // Reset Reminders says it is done once this returns: not a rebuild still under way.
    reminders->rebuildNotificationsNow(m_columns, table, m_password);
}

void GenericTemplateDataController::shareTouched(platform::ui::Control*)
{
    auto* host = dynamic_cast<ExportMenuHost*>(viewController());
    if (!host)
        return;
    m_reportDataSource = std::make_shared<GenericTemplateReportDataSource>(this);
    m_reportController = GenericTemplateReportController::create(host, m_reportDataSource);
    m_reportController->showMenu();
}

void GenericTemplateDataController::rebuildNotifications(int delayMs)
{
    platform::dispatch::afterMain(delayMs, [self = QPointer(this)] {
        ReminderScheduler* reminders = ApplicationState::reminders();
        UserTemplate* table = self ? self->userTemplate() : nullptr;
        // The store may have changed since this was asked for: the table and its columns
        // must be the ones of the store in use.
        if (!table || !reminders || self->m_locked || !self->columnsAreLive())
            return;
        // The scheduler reads every row of the table: the rows shown may be a search's
        // matches.
        try {
            reminders->rebuildNotifications(self->m_columns, table, self->m_password);
        } catch (const std::exception& exception) {
            DebugHelper::singleton().logException(exception, false);
        }
    });
}
