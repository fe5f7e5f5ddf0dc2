#include "screens/MainDataController.h"

#include "grid/BaseViewController.h"
#include "grid/BridgeScreenFactory.h"
#include "grid/BrowserViewController.h"
#include "grid/GridData.h"
#include "grid/GridScreenProtocol.h"
#include "grid/KivoPreviewController.h"
#include "grid/Parent.h"
#include "grid/RowObject.h"
#include "grid/ScreenData.h"
#include "grid/YoutubeViewController.h"
#include "model/Database.h"
#include "model/KivotabPrefernces.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "platform/Dispatch.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/NavigationController.h"
#include "screens/ApplicationState.h"
#include "screens/ReminderScheduler.h"
#include "screens/ScreenFactory.h"
#include "screens/ScreenHost.h"
#include "utilities/shell/AlertViewHelper.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/text/LocalizedStrings.h"

#include <QHash>
#include <QLineEdit>
#include <QPointer>

#include <algorithm>
#include <cmath>

const QString MainDataController::OnlineHelpPage = QStringLiteral("Products/Kivotab/Kivotab.aspx");
const QString MainDataController::VideoTitle = QStringLiteral("Kivotab");

namespace {

const QString kUnknownImage = QStringLiteral("unknown");
const QString kPreferencesForm = QStringLiteral("PreferencesDetailViewController");

// What the process keeps: the image of each definition, looked up once; whether the
// reminder reset has started; how long it waits.
struct ProcessState {
    QHash<QString, QString> templateImages;
    bool reminderResetStarted = false;
    int reminderResetDelayMs = 120 * 1000;
};

ProcessState& processState()
{
    static ProcessState shared;
    return shared;
}

QString text(const QObject* object, const char* key)
{
    return object ? object->property(key).toString() : QString();
}

void rollbackContext()
{
    KivoAppDelegate::ApplicationDelegate()->rollbackContext();
}

// A database the store still holds: the object itself, or its fresh copy after a reload.
Database* live(Database* database)
{
    if (!database)
        return nullptr;
    if (database->managedObjectContext())
        return database;
    return Database::getDatabase(database->id().toString());
}

} // namespace

MainDataController::MainDataController()
    : m_commands(this)
{
}

MainDataController::~MainDataController() = default;

void MainDataController::setReminderResetDelay(int milliseconds)
{
    processState().reminderResetDelayMs = milliseconds;
}

void MainDataController::resetProcessState()
{
    processState() = ProcessState();
}

UserTemplate* MainDataController::rowAt(qint64 index) const
{
    return qobject_cast<UserTemplate*>(RowObject::object(getRowData(index)));
}

UserTemplate* MainDataController::selectedTable() const
{
    GridScreenProtocol* grid = mainGridViewController();
    return grid ? rowAt(grid->selectedRow()) : nullptr;
}

Database* MainDataController::currentDatabase() const
{
    Database* database = ApplicationState::database();
    if (!database || database->id().toString().isEmpty())
        database
            = Database::getDatabase(ApplicationState::preferences()->defaultDatabase().toString());
    return database;
}

void MainDataController::loadData(const std::shared_ptr<Parent>& parent)
{
    // The database tapped on the screen below, else the open one, else the default one.
    Database* database
        = live(parent ? qobject_cast<Database*>(RowObject::object(parent->data)) : nullptr);
    if (!database)
        database = currentDatabase();
    if (!database) {
        // The store is still opening: its load brings the rows.
        setScreenTitle(LocalizedStrings::PleaseWait());
        showHud();
        setRows({});
        return;
    }
    ApplicationState::setDatabase(database);
    forceHideHud();
    setScreenTitle(database->name().toString());
    QVariantList tables;
    for (UserTemplate* table : UserTemplate::getUserTemplates(database->id().toString()))
        tables.append(RowObject::fromObject(table));
    setRows(tables);
    KivotabPrefernces* preferences = ApplicationState::preferences();
    preferences->setDefaultDatabase(database->id());
    if (preferences->resetReminders() && !processState().reminderResetStarted) {
        processState().reminderResetStarted = true;
        rebuildNotfications();
    }
}

void MainDataController::rebuildNotfications()
{
    // The reminders are read from the store, which belongs to the main thread.
    platform::dispatch::afterMain(processState().reminderResetDelayMs, [] {
        ReminderScheduler* reminders = ApplicationState::reminders();
        if (!reminders)
            return;
        try {
            reminders->rebuildAllNotifications();
        } catch (const std::exception& exception) {
            DebugHelper::singleton().logException(exception, false);
        }
    });
}

std::shared_ptr<GridData> MainDataController::getGridData(qint64 index)
{
    const QVariant row = getRowData(index);
    auto* table = qobject_cast<UserTemplate*>(RowObject::object(row));
    if (!table)
        return nullptr;
    auto item = std::make_shared<GridData>(row);
    item->Menu = table->name().toString();
    const QString templateId = table->template_id().toString();
    auto& images = processState().templateImages;
    auto found = images.constFind(templateId);
    if (found == images.constEnd()) {
        if (Template* definition = Template::getTemplate(templateId))
            found = images.insert(templateId, definition->image().toString());
    }
    item->Image = found == images.constEnd() || found->isEmpty() ? kUnknownImage : found.value();
    return item;
}

void MainDataController::searchData(const QString& searchText)
{
    filterRows(searchText, getNameSearchBlock(searchText));
}

QStringList MainDataController::columnHeaders() const
{
    return { LocalizedStrings::Name(), LocalizedStrings::Descr() };
}

QList<double> MainDataController::columnWidths() const
{
    return { 100, 100, 0 };
}

QStringList MainDataController::columnValues(qint64 index)
{
    UserTemplate* table = rowAt(index);
    return { text(table, "name"), text(table, "descr") };
}

void MainDataController::tapOnDisclosure(qint64 index)
{
    m_password.reset();
    m_protectionChanged.clear();
    m_verifiedTable.clear();
    m_verifiedCheck.clear();
    UserTemplate* table = selectedTable();
    if (table && table->isprotected().toBool()) {
        const bool hasCheck = !table->protectioncheck().toString().isEmpty();
        promptPassword(hasCheck ? OpenPasswordTag : CreatePasswordTag);
        return;
    }
    CloudTableDataController::tapOnDisclosure(index);
}

void MainDataController::cloudStoreLoaded()
{
    CloudTableDataController::cloudStoreLoaded();
    if (m_protectionChanged.isEmpty() || !m_password)
        return;
    for (UserTemplate* table : UserTemplate::getUserTemplatesAll()) {
        if (table->id().toString() != m_protectionChanged)
            continue;
        const auto columns = TemplateColumn::getColumns(table->template_id().toString());
        if (!columns.isEmpty())
            (void)table->restoreRowsInItsForm(*m_password, columns);
        return;
    }
}

void MainDataController::openSelectedTable()
{
    GridScreenProtocol* grid = mainGridViewController();
    CloudTableDataController::tapOnDisclosure(grid ? grid->selectedRow() : -1);
}

void MainDataController::addRow()
{
    // Without a table definition there is nothing to make a table from.
    if (Template::getTemplatesCount() == 0)
        return;
    Database* database = currentDatabase();
    if (!database)
        return;
    UserTemplate* table = UserTemplate::add(database->id().toString());
    if (!table)
        return;
    setDetailRowInAction(RowObject::fromObject(table));
    if (GridScreenProtocol* grid = mainGridViewController())
        grid->ShowDetail(RowObject::fromObject(table));
}

bool MainDataController::saveRow(const QVariant& row)
{
    auto* table = qobject_cast<UserTemplate*>(RowObject::object(row));
    if (!table)
        return false;
    QStringList messages;
    const QString name = table->name().toString();
    if (name.isEmpty()) {
        messages << LocalizedStrings::InvalidName();
    } else {
        // Saving a table under its own name is no duplicate; another one's is.
        const auto& all = rows();
        if (std::any_of(all.cbegin(), all.cend(), [&](const QVariant& other) {
                auto* otherTable = qobject_cast<UserTemplate*>(RowObject::object(other));
                return otherTable && otherTable != table && otherTable->name().toString() == name;
            }))
            messages << LocalizedStrings::DuplicateEntry();
    }
    if (table->descr().toString().isEmpty())
        messages << LocalizedStrings::InvalidDescription();
    const QString templateId = table->template_id().toString();
    if (templateId.isEmpty() || TemplateColumn::getColumnsCount(templateId) == 0)
        messages << LocalizedStrings::InvalidTemplate();
    if (messages.isEmpty() && table->saveUserTemplate())
        return true;
    if (!messages.isEmpty())
        MessageHelper::ShowMultipleMessage(messages, false);
    // What was refused must not ride along with a later commit (a reorder, say).
    rollbackContext();
    return false;
}

bool MainDataController::deleteRow()
{
    UserTemplate* table = selectedTable();
    if (!table)
        return false;
    if (Rows::doesRowExists(table->id().toString())) {
        MessageHelper::ShowMessage(LocalizedStrings::ListInUse(), false);
        return false;
    }
    if (UserTemplate::deleteUserTemplate(table))
        return true;
    rollbackContext();
    return false;
}

void MainDataController::itemsReorderd()
{
    const QVariantList& tables = rows();
    for (qsizetype i = 0; i < tables.size(); ++i) {
        if (auto* table = qobject_cast<UserTemplate*>(RowObject::object(tables[i])))
            table->setOrder(int(i));
    }
    if (!KivoLib::commit())
        rollbackContext();
}

OrderedDictionary MainDataController::getOrderingData() const
{
    OrderedDictionary ordering;
    for (const QVariant& row : rows()) {
        if (auto* table = qobject_cast<UserTemplate*>(RowObject::object(row)))
            ordering.setObject(table->name(), table->id().toString());
    }
    return ordering;
}

bool MainDataController::onOrderingComplete(const QStringList& ids)
{
    const QVariantList& tables = rows();
    for (qsizetype position = 0; position < ids.size(); ++position) {
        for (const QVariant& row : tables) {
            auto* table = qobject_cast<UserTemplate*>(RowObject::object(row));
            if (!table || table->id().toString() != ids[position])
                continue;
            if (table->order().toLongLong() != position)
                table->setOrder(int(position));
            break;
        }
    }
    if (!KivoLib::commit()) {
        rollbackContext();
        return false;
    }
    refreshView();
    return true;
}

MainDataController::Options MainDataController::options()
{
    Options made;
    made.texts << LocalizedStrings::Notifications() << LocalizedStrings::Preferences()
               << LocalizedStrings::Databases() << LocalizedStrings::Templates()
               << LocalizedStrings::AddDefaultTemplates() << LocalizedStrings::Colors()
               << LocalizedStrings::FileBrowser() << LocalizedStrings::Backup()
               << LocalizedStrings::Restore();
    made.images << QStringLiteral("reminder") << QStringLiteral("settingsmetro")
                << QStringLiteral("databases") << QStringLiteral("definetemplate")
                << QStringLiteral("defaulttemplate") << QStringLiteral("color")
                << QStringLiteral("filebrowser") << QStringLiteral("backup")
                << QStringLiteral("restore");
    return made;
}

QSizeF MainDataController::optionsPopupSize(qsizetype entries)
{
    // Two entries to a row, a remainder taking a row of its own.
    const double rows = std::ceil(double(entries) / 2.0);
    return { 645, (rows + 1) * 50 + (rows + 2) * 15 };
}

void MainDataController::settingsTouched(platform::ui::Control*)
{
    const Options list = options();
    presentOptions(list.texts, list.images, optionsPopupSize(list.texts.size()),
        [this](qint64 index) { handleSettingsSelection(index); });
}

void MainDataController::handleSettingsSelection(qint64 index)
{
    // Choices that answer with an alert close the list; the others open a screen above it.
    closeOptions(index == 4 || (index >= 9 && index <= 11));
    GridScreenProtocol* grid = mainGridViewController();
    ScreenHost* host = screenHost();
    const QString segue = grid && grid->screen() ? grid->screen()->toSegue : QString();
    const auto open = [&](const QString& screenId, const QVariant& data = {}) {
        if (host)
            host->showScreen(screenId, segue, data);
    };
    switch (index) {
    case 0:
        open(ScreenFactory::Reminders);
        break;
    case 1:
        if (grid)
            grid->ShowDetail(
                RowObject::fromObject(ApplicationState::preferences()), kPreferencesForm, {});
        break;
    case 2:
        open(ScreenFactory::Databases);
        break;
    case 3:
        open(ScreenFactory::Templates);
        break;
    case 4:
        AlertViewHelper::showAlertWithTitle(LocalizedStrings::Confirmation(),
            LocalizedStrings::DoYouWantToAddDefaultTemplates(), this, DefaultTemplatesTag);
        break;
    case 5:
        // The colours of the open database.
        open(ScreenFactory::ColorTable, RowObject::fromObject(currentDatabase()));
        break;
    case 6:
        open(BridgeScreenFactory::GeneralLocalFileBrowser);
        break;
    case 7:
        backup();
        break;
    case 8:
        restore();
        break;
    case 9:
        m_commands.askiCloudSwitch(this);
        break;
    case 10:
        m_commands.askRebuildiCloud(this);
        break;
    case 11:
        m_commands.askCleariCloud(this);
        break;
    case 12:
        open(BridgeScreenFactory::GeneralCloudFileBrowser);
        break;
    default:
        break;
    }
}

void MainDataController::addDefaultTemplates()
{
    showHud();
    try {
        Database* database = currentDatabase();
        if (!database || !Database::loadDefaultTemplatesToDatabase(database->id().toString()))
            MessageHelper::ShowMessage(LocalizedStrings::OperationFailed(), true);
        refreshView();
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
    hideHud();
}

void MainDataController::backup()
{
    m_commands.backup(this);
}

void MainDataController::restore()
{
    m_commands.restore(this);
}

void MainDataController::fileBrowseCompleted(
    const std::shared_ptr<FileInfo>& entry, platform::ui::ViewController*)
{
    m_commands.fileBrowseCompleted(entry);
}

void MainDataController::helpTouched(platform::ui::Control*)
{
    showLocalHelp();
}

void MainDataController::showLocalHelp()
{
    if (ScreenHost* host = screenHost())
        host->dismissPopup();
    GridScreenProtocol* grid = mainGridViewController();
    KivoPreviewController::createPreviewController(
        QUrl::fromLocalFile(KivoPreviewController::userGuidePath()),
        grid ? grid->gridViewController() : nullptr);
}

void MainDataController::showOnlineHelp()
{
    if (ScreenHost* host = screenHost())
        host->dismissPopup();
    GridScreenProtocol* grid = mainGridViewController();
    platform::ui::NavigationController* navigation
        = grid ? grid->gridViewController()->navigationController() : nullptr;
    if (navigation)
        navigation->pushViewController(
            new BrowserViewController(KivoAppDelegate::getUrl(OnlineHelpPage)), true);
}

void MainDataController::videoTouched(platform::ui::Control*)
{
    showVideo(KivoAppDelegate::getVideoUrl());
}

void MainDataController::showVideo(const QString& address)
{
    platform::dispatch::afterMain(VideoDelayMs, [self = QPointer(this), address] {
        if (self)
            self->showpopupAfterDely(address);
    });
}

void MainDataController::showpopupAfterDely(const QString& address)
{
    auto* screen = dynamic_cast<BaseViewController*>(viewController());
    if (!screen)
        return;
    const QSizeF size = YoutubeViewController::getHDSize();
    screen->showPopupController(new YoutubeViewController(address, VideoTitle, size),
        QSizeF(size.width() + 20, size.height() + 51), 16, nullptr, true);
}

void MainDataController::promptPassword(int tag)
{
    platform::ui::AlertView* alert = passwordPrompt(tag);
    alert->setDelegate(this);
    alert->show();
}

platform::ui::AlertView* MainDataController::passwordPrompt(int tag)
{
    QString title;
    switch (tag) {
    case CreatePasswordTag:
    case ProtectPasswordTag:
        title = LocalizedStrings::CreatePassword();
        break;
    case RetypePasswordTag:
    case RetypeProtectPasswordTag:
        title = LocalizedStrings::RetypePassword();
        break;
    default:
        title = LocalizedStrings::Password();
        break;
    }
    auto* alert = new platform::ui::AlertView(title, QStringLiteral("\n"), nullptr,
        LocalizedStrings::Cancel(), { LocalizedStrings::OK() });
    alert->setAlertViewStyle(platform::ui::AlertView::Style::SecureTextInput);
    alert->setTag(tag);
    return alert;
}

Rows::Password MainDataController::verifiedSecret(const UserTemplate* table) const
{
    if (!table || !m_password)
        return std::nullopt;
    const QString check = table->protectioncheck().toString();
    if (!check.isEmpty() && table->id().toString() == m_verifiedTable && check == m_verifiedCheck)
        return m_password;
    return table->isPasswordValid(*m_password) ? m_password : std::nullopt;
}

void MainDataController::noteVerified()
{
    UserTemplate* table = selectedTable();
    m_verifiedTable = table ? table->id().toString() : QString();
    m_verifiedCheck = table ? table->protectioncheck().toString() : QString();
}

bool MainDataController::verifyPassword(const QString& typed) const
{
    UserTemplate* table = selectedTable();
    return table && table->isPasswordValid(typed);
}

bool MainDataController::savePassword()
{
    UserTemplate* table = selectedTable();
    if (!table || !m_password)
        return false;
    if (table->setProtectionCheck(*m_password))
        return true;
    rollbackContext();
    return false;
}

void MainDataController::protect()
{
    promptPassword(ProtectPasswordTag);
}

void MainDataController::unprotect()
{
    promptPassword(UnprotectPasswordTag);
}

void MainDataController::passwordAnswered(int tag, const QString& typed)
{
    // The message comes over the prompt, which waits below it for another try.
    const auto again = [this, tag](const QString& message) {
        promptPassword(tag);
        MessageHelper::ShowMessage(message, false);
    };
    if (typed.isEmpty()) {
        again(LocalizedStrings::PasswordInvalid());
        return;
    }
    switch (tag) {
    case CreatePasswordTag:
        m_password = typed;
        promptPassword(RetypePasswordTag);
        break;
    case RetypePasswordTag:
        if (m_password != typed) {
            again(LocalizedStrings::PasswordNotMatch());
        } else if (savePassword()) {
            noteVerified();
            openSelectedTable();
        }
        break;
    case OpenPasswordTag:
        if (!verifyPassword(typed)) {
            again(LocalizedStrings::PasswordInvalid());
            break;
        }
        m_password = typed;
        noteVerified();
        openSelectedTable();
        break;
    case UnprotectPasswordTag:
        if (!verifyPassword(typed)) {
            again(LocalizedStrings::PasswordInvalid());
            break;
        }
        m_password = typed;
        unprotectRowsWithHud();
        break;
    case ProtectPasswordTag:
        m_password = typed;
        promptPassword(RetypeProtectPasswordTag);
        break;
    case RetypeProtectPasswordTag:
        if (m_password != typed)
            again(LocalizedStrings::PasswordNotMatch());
        else
            protectRowsWithHud();
        break;
    default:
        break;
    }
}

void MainDataController::protectRowsWithHud()
{
    reencryptWithHud(true);
}

void MainDataController::unprotectRowsWithHud()
{
    reencryptWithHud(false);
}

void MainDataController::reencryptWithHud(bool protect)
{
    showHud();
    // In a later turn, so the overlay is on screen while the rows are stored.
    platform::dispatch::asyncMain([self = QPointer(this), protect] {
        if (!self)
            return;
        try {
            self->changeProtection(protect);
        } catch (const std::exception& exception) {
            MessageHelper::ShowException(exception);
        }
        if (self)
            self->hideHud();
    });
}

bool MainDataController::protectRows()
{
    return changeProtection(true);
}

bool MainDataController::unprotectRows()
{
    return changeProtection(false);
}

bool MainDataController::changeProtection(bool protect)
{
    UserTemplate* table = selectedTable();
    if (!table || !m_password)
        return false;
    const auto columns = TemplateColumn::getColumns(table->template_id().toString());
    QString message;
    const bool changed = protect
        ? table->changeProtection(std::nullopt, m_password, columns, &message)
        : table->changeProtection(m_password, std::nullopt, columns, &message);
    if (!changed) {
        // Nothing of it may stay behind for a later commit.
        rollbackContext();
        if (!message.isEmpty())
            MessageHelper::ShowMessage(message, true);
        return false;
    }
    m_protectionChanged = table->id().toString();
    MessageHelper::ShowMessage(LocalizedStrings::OperationSuccessful(), false);
    return true;
}

void MainDataController::alertViewDidDismissWithButtonIndex(
    platform::ui::AlertView* alert, int buttonIndex)
{
    if (!alert)
        return;
    const int tag = alert->tag();
    if (tag == DeleteConfirmationTag) {
        CloudTableDataController::alertViewDidDismissWithButtonIndex(alert, buttonIndex);
        return;
    }
    if (buttonIndex == 0)
        return;
    try {
        switch (tag) {
        case DefaultTemplatesTag:
            addDefaultTemplates();
            break;
        case CreatePasswordTag:
        case RetypePasswordTag:
        case OpenPasswordTag:
        case UnprotectPasswordTag:
        case ProtectPasswordTag:
        case RetypeProtectPasswordTag: {
            QLineEdit* field = alert->textFieldAtIndex(0);
            passwordAnswered(tag, field ? field->text() : QString());
            break;
        }
        default:
            m_commands.alertAnswered(tag, buttonIndex);
            break;
        }
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}
