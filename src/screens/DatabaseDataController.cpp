#include "screens/DatabaseDataController.h"

#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/RowObject.h"
#include "grid/ScreenData.h"
#include "model/CloudStoreManager.h"
#include "model/Database.h"
#include "model/KivotabPrefernces.h"
#include "model/Rows.h"
#include "model/UserTemplate.h"
#include "platform/ui/AlertView.h"
#include "screens/ApplicationState.h"
#include "screens/ScreenHost.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/store/KivoLibObject.h"
#include "utilities/text/LocalizedStrings.h"

#include <algorithm>
#include <cmath>

namespace {

const QString kICloudFormat = QStringLiteral("%1 iCloud");
const QString kPreferencesForm = QStringLiteral("PreferencesDetailViewController");
const QString kLocalFileBrowser = QStringLiteral("SCREEN_GENERAL_LOCAL_FILE_BROWSER_ID");
const QString kCloudFileBrowser = QStringLiteral("SCREEN_GENERAL_CLOUD_FILE_BROWSER_ID");

QString text(Database* database, const char* key)
{
    return database ? database->value(QString::fromLatin1(key)).toString() : QString();
}

void rollbackContext()
{
    KivoAppDelegate::ApplicationDelegate()->rollbackContext();
}

} // namespace

DatabaseDataController::DatabaseDataController()
    : m_commands(this)
{
}

DatabaseDataController::~DatabaseDataController() = default;

Database* DatabaseDataController::rowAt(qint64 index) const
{
    return qobject_cast<Database*>(RowObject::object(getRowData(index)));
}

Database* DatabaseDataController::selectedDatabase() const
{
    GridScreenProtocol* grid = mainGridViewController();
    return grid ? rowAt(grid->selectedRow()) : nullptr;
}

void DatabaseDataController::loadData(const std::shared_ptr<Parent>&)
{
    QVariantList databases;
    for (Database* database : Database::getDatabases())
        databases.append(RowObject::fromObject(database));
    if (databases.isEmpty()) {
        // The store is still opening: its load brings the rows.
        setScreenTitle(LocalizedStrings::PleaseWait());
        showHud();
        setRows({});
        return;
    }
    forceHideHud();
    GridScreenProtocol* grid = mainGridViewController();
    if (const auto record = grid ? grid->screen() : nullptr)
        setScreenTitle(record->title);
    setRows(databases);
}

std::shared_ptr<GridData> DatabaseDataController::getGridData(qint64 index)
{
    const QVariant row = getRowData(index);
    auto* database = qobject_cast<Database*>(RowObject::object(row));
    if (!database)
        return nullptr;
    auto item = std::make_shared<GridData>(row);
    item->Menu = text(database, "name");
    item->Image = QStringLiteral("database");
    return item;
}

QStringList DatabaseDataController::columnHeaders() const
{
    return { LocalizedStrings::Name(), LocalizedStrings::Descr() };
}

QList<double> DatabaseDataController::columnWidths() const
{
    return { 100, 100 };
}

QStringList DatabaseDataController::columnValues(qint64 index)
{
    Database* database = rowAt(index);
    return { text(database, "name"), text(database, "descr") };
}

void DatabaseDataController::searchData(const QString& searchText)
{
    filterRows(searchText, getNameSearchBlock(searchText));
}

void DatabaseDataController::tapOnDisclosure(qint64 index)
{
    // The tapped database is the one open from now on, also at the next start.
    if (Database* database = selectedDatabase()) {
        ApplicationState::setDatabase(database);
        ApplicationState::preferences()->setDefaultDatabase(database->id());
    }
    CloudTableDataController::tapOnDisclosure(index);
}

void DatabaseDataController::addRow()
{
    Database* database = Database::add();
    if (!database)
        return;
    setDetailRowInAction(RowObject::fromObject(database));
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(RowObject::fromObject(database));
}

void DatabaseDataController::editTouched(platform::ui::Control* sender)
{
    if (!isRowSelected())
        return;
    if (selectedDatabase()->issystem().toBool()) {
        MessageHelper::ShowMessage(LocalizedStrings::SystemDefinedItemsCantBeEdited(), false);
        return;
    }
    CloudTableDataController::editTouched(sender);
}

void DatabaseDataController::removeTouched(platform::ui::Control* sender)
{
    if (!isRowSelected())
        return;
    if (selectedDatabase()->issystem().toBool()) {
        MessageHelper::ShowMessage(LocalizedStrings::SystemDefinedItemsCantBeDeleted(), false);
        return;
    }
    CloudTableDataController::removeTouched(sender);
}

bool DatabaseDataController::saveRow(const QVariant& row)
{
    auto* database = qobject_cast<Database*>(RowObject::object(row));
    if (!database)
        return false;
    QStringList messages;
    const QString name = text(database, "name");
    if (name.isEmpty()) {
        messages << LocalizedStrings::InvalidName();
    } else {
        // Saving a database under its own name is no duplicate; another one's is.
        const auto all = Database::getDatabases();
        if (std::any_of(all.cbegin(), all.cend(),
                [&](Database* other) { return other != database && text(other, "name") == name; }))
            messages << LocalizedStrings::DuplicateEntry();
    }
    if (text(database, "descr").isEmpty())
        messages << LocalizedStrings::InvalidDescription();
    if (messages.isEmpty() && database->saveDatabase())
        return true;
    if (!messages.isEmpty())
        MessageHelper::ShowMultipleMessage(messages, false);
    // What was refused must not ride along with a later commit.
    rollbackContext();
    return false;
}

bool DatabaseDataController::deleteRow()
{
    Database* database = selectedDatabase();
    if (!database || database->issystem().toBool())
        return false;
    const QString id = database->id().toString();
    // Decided before anything changes: an empty table may go with its database, rows or a
    // second table keep the database.
    const QList<UserTemplate*> tables = UserTemplate::getUserTemplates(id);
    if (tables.size() > 1
        || (tables.size() == 1 && Rows::doesRowExists(tables.first()->id().toString()))) {
        MessageHelper::ShowMessage(LocalizedStrings::DatabaseInUse(), false);
        return false;
    }
    KivotabPrefernces* preferences = ApplicationState::preferences();
    const bool wasOpen = ApplicationState::database() == database
        || preferences->defaultDatabase().toString() == id;
    QList<platform::coredata::ManagedObject*> doomed;
    if (!tables.isEmpty())
        doomed << tables.first();
    doomed << database;
    if (!KivoLib::DeleteObjects(doomed)) {
        rollbackContext();
        return false;
    }
    if (wasOpen) {
        ApplicationState::setDatabase(nullptr);
        preferences->setDefaultDatabase(ApplicationState::SystemDatabaseId);
    }
    return true;
}

DatabaseDataController::Options DatabaseDataController::options(
    bool cloudAvailable, bool cloudEnabled)
{
    Options made;
    made.texts << LocalizedStrings::Preferences() << LocalizedStrings::FileBrowser()
               << LocalizedStrings::Backup() << LocalizedStrings::Restore();
    made.images << QStringLiteral("settingsmetro") << QStringLiteral("filebrowser")
                << QStringLiteral("backup") << QStringLiteral("restore");
    if (!cloudAvailable)
        return made;
    made.texts << kICloudFormat.arg(
        cloudEnabled ? LocalizedStrings::Disable() : LocalizedStrings::Enable());
    made.images << (cloudEnabled ? QStringLiteral("disableicloud")
                                 : QStringLiteral("enableicloud"));
    if (!cloudEnabled)
        return made;
    made.texts << kICloudFormat.arg(LocalizedStrings::Rebuild())
               << kICloudFormat.arg(LocalizedStrings::Clear())
               << kICloudFormat.arg(LocalizedStrings::FileBrowser());
    made.images << QStringLiteral("rebuildicloud") << QStringLiteral("clearicloud")
                << QStringLiteral("filebrowser");
    return made;
}

QSizeF DatabaseDataController::optionsPopupSize(qsizetype entries)
{
    // Two entries to a row, a remainder taking a row of its own.
    const double rows = std::ceil(double(entries) / 2.0);
    return { 645, 50 * (rows + 1) + 15 * (rows + 2) + 25 };
}

void DatabaseDataController::settingsTouched(platform::ui::Control*)
{
    const auto manager = ApplicationState::cloudStoreManager();
    const bool available = manager && manager->cloudAvailable();
    const Options list = options(available, available && manager->cloudEnabled());
    presentOptions(list.texts, list.images, optionsPopupSize(list.texts.size()),
        [this](qint64 index) { handleSettingsSelection(index); });
}

void DatabaseDataController::handleSettingsSelection(qint64 index)
{
    // The iCloud commands answer with an alert over this screen; the others open a screen
    // of their own above the list.
    closeOptions(index >= 4 && index <= 6);
    GridScreenProtocol* grid = mainGridViewController();
    ScreenHost* host = screenHost();
    const QString segue = grid && grid->screen() ? grid->screen()->toSegue : QString();
    switch (index) {
    case 0:
        if (grid)
            grid->ShowDetail(
                RowObject::fromObject(ApplicationState::preferences()), kPreferencesForm, {});
        break;
    case 1:
        if (host)
            host->showScreen(kLocalFileBrowser, segue, {});
        break;
    case 2:
        backup();
        break;
    case 3:
        restore();
        break;
    case 4:
        m_commands.askiCloudSwitch(this);
        break;
    case 5:
        m_commands.askRebuildiCloud(this);
        break;
    case 6:
        m_commands.askCleariCloud(this);
        break;
    case 7:
        if (host)
            host->showScreen(kCloudFileBrowser, segue, {});
        break;
    default:
        break;
    }
}

void DatabaseDataController::backup()
{
    m_commands.backup(this);
}

void DatabaseDataController::restore()
{
    m_commands.restore(this);
}

void DatabaseDataController::backupRestore(const QString& path)
{
    m_commands.backupRestore(path);
}

void DatabaseDataController::fileBrowseCompleted(
    const std::shared_ptr<FileInfo>& entry, platform::ui::ViewController*)
{
    m_commands.fileBrowseCompleted(entry);
}

void DatabaseDataController::resetDatabase()
{
    m_commands.resetDatabase();
}

void DatabaseDataController::resetDatabaseOniCloudChange()
{
    m_commands.resetDatabaseOniCloudChange();
}

void DatabaseDataController::enableDisableiCloud(bool overwrite)
{
    m_commands.enableDisableiCloud(overwrite);
}

void DatabaseDataController::rebuildiCloud()
{
    m_commands.rebuildiCloud();
}

void DatabaseDataController::cleariCloud()
{
    m_commands.cleariCloud();
}

void DatabaseDataController::alertViewDidDismissWithButtonIndex(
    platform::ui::AlertView* alert, int buttonIndex)
{
    if (!alert)
        return;
    if (alert->tag() == DeleteConfirmationTag) {
        CloudTableDataController::alertViewDidDismissWithButtonIndex(alert, buttonIndex);
        return;
    }
    try {
        m_commands.alertAnswered(alert->tag(), buttonIndex);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}
