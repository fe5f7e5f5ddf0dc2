#include "screens/StoreCommands.h"

#include "grid/GridScreenProtocol.h"
#include "grid/ScreenData.h"
#include "model/BackupRestore.h"
#include "model/CloudStoreManager.h"
#include "model/KivotabPrefernces.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/ViewController.h"
#include "screens/ApplicationState.h"
#include "screens/CloudTableDataController.h"
#include "screens/ScreenHost.h"
#include "utilities/shell/AlertViewHelper.h"
#include "utilities/shell/FileInfo.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include <QScopeGuard>

#include <atomic>

namespace {

// The confirmation the store manager asks for: given at once.
void confirmed(const CloudStoreManager::Answer& answer)
{
    answer(true);
}

} // namespace

const QString StoreCommands::StoreNotLoaded = QStringLiteral("the store could not be loaded.");

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
    // The archive shows its own reason when it has one, which says more than a generic
    // failure stacked over it; the generic one is left for a failure without a reason.
    const auto failed = [this, &archive] {
        if (archive.errorMessage().isEmpty())
            report(false);
    };
    switch (m_backupRestore) {
    case Backup:
        if (archive.backup(path))
            report(true);
        else
            failed();
        return;
    case Restore:
        if (!archive.unzipArchive(path)) {
            failed();
            return;
        }
        // The restore replaces the store in one go or not at all: until it has, the open
        // database and the screen stay as they are.
        if (!archive.restore(path)) {
            failed();
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

void StoreCommands::report(bool succeeded, const QString& reason)
{
    if (succeeded) {
        MessageHelper::ShowMessage(LocalizedStrings::OperationSuccessful(), false);
        return;
    }
    // Why, where it is known (the archive tells its own reasons): a damaged archive and a
    // wrong password call for different remedies.
    const QString failed = LocalizedStrings::OperationFailed();
    MessageHelper::ShowMessage(reason.isEmpty() ? failed : failed + ": " + reason, true);
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
    const bool enabled = manager->cloudEnabled();
    runStoreCommand(enabled ? LocalizedStrings::Disable() : LocalizedStrings::Enable(),
        [overwrite, enabled](CloudStoreManager& store) {
            if (!overwrite) {
                store.setCloudEnabled(!enabled);
                return Outcome { store.cloudEnabled() == !enabled };
            }
            if (enabled)
                return Outcome { store.setCloudDisabledAndOverwriteLocalWithCloudIfConfirmed(
                    confirmed) };
            return Outcome { store.setCloudEnabledAndOverwriteCloudWithLocalIfConfirmed(
                confirmed) };
        });
}

void StoreCommands::rebuildiCloud()
{
    runStoreCommand(LocalizedStrings::Rebuild(), [](CloudStoreManager& store) {
        store.deleteCloudContainerLocalOnly(true);
        return Outcome { true, store.cloudEnabled() };
    });
}

void StoreCommands::cleariCloud()
{
    if (!ApplicationState::cloudStoreManager())
        return;
    ApplicationState::preferences()->setDefaultTemplatesLoaded(false);
    runStoreCommand(LocalizedStrings::Clear(), [](CloudStoreManager& store) {
        store.deleteCloudContainerLocalOnly(false);
        return Outcome { true, store.cloudEnabled() };
    });
}

void StoreCommands::runStoreCommand(const QString& what, StoreCommand command)
{
    const auto manager = ApplicationState::cloudStoreManager();
    if (!manager)
        return;
    resetDatabaseOniCloudChange();

    // Whether a store loaded since the command started; heard on the manager's queue.
    struct Watch {
        std::atomic<bool> loaded { false };
        platform::NotificationCenter::Token token = 0;
    };
    auto watch = std::make_shared<Watch>();
    auto& center = platform::NotificationCenter::defaultCenter();
    watch->token = center.addObserver(CloudStoreManager::StoreDidChangeNotification, manager.get(),
        [watch](const platform::Notification&) { watch->loaded = true; });

    const std::weak_ptr<CloudStoreManager> weak = manager;
    QPointer<CloudTableDataController> owner = m_owner;
    const auto end = [this, owner, watch, what](Outcome outcome, const QString& reason) {
        platform::NotificationCenter::defaultCenter().removeObserver(watch->token);
        if (!owner)
            return;
        const bool loaded = watch->loaded;
        const bool failed = !outcome.succeeded || (outcome.reloads && !loaded);
        const QString why
            = reason.isEmpty() ? LocalizedStrings::getLocalizedString(StoreNotLoaded) : reason;
        storeCommandEnded(loaded, failed, what + ": " + why);
    };
    manager->enqueue([weak, command, end] {
        const auto store = weak.lock();
        if (!store)
            return;
        Outcome outcome;
        QString reason;
        try {
            outcome = command(*store);
        } catch (const std::exception& exception) {
            outcome.succeeded = false;
            reason = QString::fromUtf8(exception.what());
        }
        // The loads the command started are queued behind it, or behind the looks into a
        // missing identity marker they wait for: the check comes after them.
        store->enqueueWhenMarkerSettled([end, outcome, reason] {
            platform::dispatch::asyncMain([end, outcome, reason] { end(outcome, reason); });
        });
    });
}

void StoreCommands::storeCommandEnded(bool loaded, bool failed, const QString& reason)
{
    if (!m_owner)
        return;
    if (!loaded) {
        // No store came to end the wait: the screen shows what is there now, without the
        // overlay, even when that is nothing.
        m_owner->refreshView();
        m_owner->forceHideHud();
        if (platform::ui::ViewController* screen = m_owner->viewController();
            screen && screen->title() == LocalizedStrings::PleaseWait()) {
            const auto record = m_owner->mainGridViewController()
                ? m_owner->mainGridViewController()->screen()
                : nullptr;
            m_owner->setScreenTitle(record ? record->title : QString());
        }
    }
    if (failed)
        report(false, reason);
}
