#pragma once

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class CloudStoreManager;
class CloudTableDataController;
class FileBrowserProtocol;
class FileInfo;

namespace platform::ui {
class AlertViewDelegate;
}

// The commands a screen's options offer on the whole data set: backup to and restore
// from an archive chosen in the local file browser, and switching, rebuilding and
// clearing the iCloud store. Each confirmation is an alert whose delegate is the owning
// data controller, which hands the answer back (alertAnswered). Owned by that data
// controller; main thread.
class StoreCommands {
public:
    explicit StoreCommands(CloudTableDataController* owner);

    // The file operation the browser was opened for: 500 backup, 501 restore.
    int backupRestore() const { return m_backupRestore; }

    // Opens the local file browser to name the backup ("Backup_<date>.zip") or to pick
    // the archive to restore ("backup.zip"); the delegate hears of the choice.
    void backup(FileBrowserProtocol* delegate);
    void restore(FileBrowserProtocol* delegate);
    // The browser's choice: in a later turn of the main queue, under the overlay, the
    // backup or restore with the chosen file's path.
    void fileBrowseCompleted(const std::shared_ptr<FileInfo>& entry);
    // Backs up to, or restores from, the archive at the path, and says how it went. A
    // failed restore leaves the data as it was; only a whole restore reports success.
    void backupRestore(const QString& path);

    // No database open any more: the system database becomes the default one, the screen
    // is emptied and waits for the store.
    void resetDatabase();
    // The same under the overlay, which stays until the store has loaded again.
    void resetDatabaseOniCloudChange();

    // The confirmations: switching iCloud on or off (400, 401), rebuilding (403) and
    // clearing (404); nothing happens without iCloud.
    void askiCloudSwitch(platform::ui::AlertViewDelegate* delegate);
    void askRebuildiCloud(platform::ui::AlertViewDelegate* delegate);
    void askCleariCloud(platform::ui::AlertViewDelegate* delegate);
    // Carries out the answer of one of those alerts; false for an alert of another tag.
    bool alertAnswered(int tag, int buttonIndex);

    // Each ends the wait and shows why when the store manager fails to load a store.
    void enableDisableiCloud(bool overwrite);
    void rebuildiCloud();
    void cleariCloud();

    static constexpr int Backup = 500;
    static constexpr int Restore = 501;
    static constexpr int DisableiCloudTag = 400;
    static constexpr int EnableiCloudTag = 401;
    static constexpr int RebuildiCloudTag = 403;
    static constexpr int CleariCloudTag = 404;
    // Why a store command failed when the store manager gives no reason of its own.
    static const QString StoreNotLoaded; // "the store could not be loaded."

private:
    // What a store command run on the store manager's queue says of itself: whether it
    // went through, and whether it left a store to load (a rebuild or clear with the cloud
    // off has none).
    struct Outcome {
        bool succeeded = true;
        bool reloads = true;
    };
    using StoreCommand = std::function<Outcome(CloudStoreManager& manager)>;

    void report(bool succeeded, const QString& reason = {});
    // Empties the screen under the overlay and runs the command. The store it loads ends
    // the wait; when it loads none, the overlay and "Please Wait" go at once, and unless
    // it had nothing to reload, a failure is shown. A failure is shown even when the
    // manager went back to the store it had.
    void runStoreCommand(const QString& what, StoreCommand command);
    void storeCommandEnded(bool loaded, bool failed, const QString& reason);

    QPointer<CloudTableDataController> m_owner;
    int m_backupRestore = 0;
};
