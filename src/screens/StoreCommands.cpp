#include "screens/StoreCommands.h"

#include "model/BackupRestore.h"
#include "model/CloudStoreManager.h"
#include "model/KivotabPrefernces.h"
#include "platform/Dispatch.h"
#include "platform/ui/AlertView.h"
#include "screens/ApplicationState.h"
#include "screens/CloudTableDataController.h"
#include "screens/ScreenHost.h"
#include "utilities/shell/AlertViewHelper.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include <QScopeGuard>

namespace {

// The confirmation the store manager asks for: given at once.
void confirmed(const CloudStoreManager::Answer& answer)
{
    answer(true);
}

} // namespace

StoreCommands::StoreCommands(CloudTableDataController* owner)
    : m_owner(owner)
{
}

void StoreCommands::backup(FileBrowserProtocol* delegate)
{
    m_backupRestore = Backup;
    if (ScreenHost* host = m_owner ? m_owner->screenHost() : nullptr)
        host->showLocalFileBrowser(true, BackupRestore::backupFileName(),
            BackupRestore::ArchiveFileType, QString(), LocalizedStrings::Backup(), delegate);
}

void StoreCommands::restore(FileBrowserProtocol* delegate)
{
    m_backupRestore = Restore;
    if (ScreenHost* host = m_owner ? m_owner->screenHost() : nullptr)
        host->showLocalFileBrowser(false, BackupRestore::RestoreFileName,
            BackupRestore::ArchiveFileType, QString(), LocalizedStrings::Restore(), delegate);
}

void StoreCommands::fileBrowseCompleted(const std::shared_ptr<FileInfo>& entry)
{
    const QString path = entry ? entry->fullName : QString();
    // In a later turn, so the browser has gone and the overlay is on screen first.
    platform::dispatch::asyncMain([owner = m_owner, this, path] {
        if (!owner)
            return;
        owner->showHud();
        const auto hide = qScopeGuard([owner] {
            if (owner)
                owner->hideHud();
        });
        backupRestore(path);
    });
}

void StoreCommands::backupRestore(const QString& path)
{
    BackupRestore archive;
    switch (m_backupRestore) {
    case Backup:
        report(archive.backup(path));
        return;
    case Restore:
        if (!archive.unzipArchive(path)) {
            report(false);
            return;
        }
        // The restore replaces the store in one go or not at all: until it has, the open
        // database and the screen stay as they are.
        if (!archive.restore(path)) {
            report(false);
            return;
        }
        resetDatabase();
        if (m_owner)
            m_owner->refreshView();
        report(true);
        return;
    default:
        report(false);
    }
}

void StoreCommands::report(bool succeeded)
{
    if (succeeded)
        MessageHelper::ShowMessage(LocalizedStrings::OperationSuccessful(), false);
    else
        MessageHelper::ShowMessage(LocalizedStrings::OperationFailed(), true);
}

void StoreCommands::resetDatabase()
{
    ApplicationState::setDatabase(nullptr);
    ApplicationState::preferences()->setDefaultDatabase(ApplicationState::SystemDatabaseId);
    if (!m_owner)
        return;
    m_owner->setRows({});
    m_owner->refreshGrid();
    m_owner->setScreenTitle(LocalizedStrings::PleaseWait());
}

void StoreCommands::resetDatabaseOniCloudChange()
{
    resetDatabase();
    if (m_owner)
        m_owner->showHud();
}

void StoreCommands::askiCloudSwitch(platform::ui::AlertViewDelegate* delegate)
{
    const auto manager = ApplicationState::cloudStoreManager();
    if (!manager || !manager->cloudAvailable())
        return;
    const bool enabled = manager->cloudEnabled();
    auto* alert = new platform::ui::AlertView(LocalizedStrings::Confirmation(),
        enabled ? LocalizedStrings::DisableiCloud() : LocalizedStrings::EnableiCloud(), delegate,
        LocalizedStrings::Cancel(),
        { enabled ? LocalizedStrings::Disable() : LocalizedStrings::Enable(),
            LocalizedStrings::Overwrite() });
    alert->setTag(enabled ? DisableiCloudTag : EnableiCloudTag);
    alert->show();
}

void StoreCommands::askRebuildiCloud(platform::ui::AlertViewDelegate* delegate)
{
    AlertViewHelper::showAlertWithTitle(LocalizedStrings::Confirmation(),
        LocalizedStrings::DoYouWantToRebuildiCloud(), delegate, RebuildiCloudTag);
}

void StoreCommands::askCleariCloud(platform::ui::AlertViewDelegate* delegate)
{
    AlertViewHelper::showAlertWithTitle(LocalizedStrings::Confirmation(),
        LocalizedStrings::DoYouWantToCleariCloud(), delegate, CleariCloudTag);
}

bool StoreCommands::alertAnswered(int tag, int buttonIndex)
{
    switch (tag) {
    case DisableiCloudTag:
    case EnableiCloudTag:
        if (buttonIndex != 0)
            enableDisableiCloud(buttonIndex == 2);
        return true;
    case RebuildiCloudTag:
        if (buttonIndex != 0)
            rebuildiCloud();
        return true;
    case CleariCloudTag:
        if (buttonIndex != 0)
            cleariCloud();
        return true;
    default:
        return false;
    }
}

void StoreCommands::enableDisableiCloud(bool overwrite)
{
    const auto manager = ApplicationState::cloudStoreManager();
    if (!manager || !manager->cloudAvailable())
        return;
    try {
        resetDatabaseOniCloudChange();
        const bool enabled = manager->cloudEnabled();
        if (!overwrite)
            manager->setCloudEnabled(!enabled);
        else if (enabled)
            manager->setCloudDisabledAndOverwriteLocalWithCloudIfConfirmed(confirmed);
        else
            manager->setCloudEnabledAndOverwriteCloudWithLocalIfConfirmed(confirmed);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

void StoreCommands::rebuildiCloud()
{
    const auto manager = ApplicationState::cloudStoreManager();
    if (!manager)
        return;
    resetDatabaseOniCloudChange();
    manager->deleteCloudContainerLocalOnly(true);
}

void StoreCommands::cleariCloud()
{
    const auto manager = ApplicationState::cloudStoreManager();
    if (!manager)
        return;
    resetDatabaseOniCloudChange();
    ApplicationState::preferences()->setDefaultTemplatesLoaded(false);
    manager->deleteCloudContainerLocalOnly(false);
}
