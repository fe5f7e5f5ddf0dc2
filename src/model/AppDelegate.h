#pragma once

#include "model/CloudStoreManagerDelegate.h"
#include "platform/LocalNotification.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/AlertView.h"
#include "utilities/shell/KivoAppDelegate.h"

#include <QList>
#include <QPointer>

#include <functional>
#include <memory>

class CloudStoreManager;
class Database;
class KivotabPrefernces;
class StoreStack;

namespace platform::ui {
class Window;
}

// The application's delegate: runs start-up, owns the store manager, keeps the one
// main-queue context of the loaded store (made through the store stack when a store has
// loaded, saved and dropped before one goes away), loads the default content on the first
// load, answers the store's failure and corruption with alerts and routes their buttons
// back to the manager, and tells the screens on the navigation stack when the store
// changes. It also gives the palette colours from the settings, and takes the files and
// local notifications handed to the application.
//
// Start-up never blocks the main thread: it waits for the store (at most 6 seconds with
// the cloud store enabled, else 3) while the event loop runs, then says launchFinished,
// after which the first screen is shown.
class AppDelegate : public KivoAppDelegate,
                    public CloudStoreManagerDelegate,
                    public platform::ui::AlertViewDelegate {
    Q_OBJECT
public:
    // Waits up to the time without blocking the main thread, then calls `done` once on
    // the main thread. The default ends earlier, as soon as the first load of the store
    // is over.
    using LaunchWait = std::function<void(int milliseconds, std::function<void()> done)>;

    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    // The application's delegate when it is one of this class, else null.
    static AppDelegate* ApplicationDelegate();

    // --- Application
    // The launch sequence; the wait for the store goes on after it returns (true).
    bool didFinishLaunching() override;
    // A file handed to the application: says it was saved. Nothing for an empty address.
    bool openURL(const QUrl& url) override;
    // Shows the notification's text, then lowers the icon's badge by one.
    void didReceiveLocalNotification(const platform::LocalNotification& notification);
    void setLaunchWait(LaunchWait wait) { m_launchWait = std::move(wait); }
    bool isLaunched() const { return m_launched; }
    // True once the first load of the store is over, loaded or failed.
    bool isStoreReady() const { return m_storeReady; }
    // Stops hearing of the store, saves the context and lets the store manager go (the
    // stores close). Called by the destructor; the application calls it when its event
    // loop has ended, while the main queue still runs.
    void shutdown();

    // --- Store stack and settings
    std::shared_ptr<const platform::coredata::ManagedObjectModel>
    managedObjectModel() const override;
    // The coordinator belongs to the store manager: none here.
    std::shared_ptr<platform::coredata::PersistentStoreCoordinator>
    persistentStoreCoordinator() const override;
    // False without a context; a failed save is shown and answers false, the changes
    // staying in the context.
    [[nodiscard]] bool saveContext() override;
    KivotabPrefernces* kivotabPreferences() const;
    static QString getAppid();
    // "http(s)://<host>/kivotab/<path>".
    static QString getKivotabUrl(const QString& path, bool isSecure);

    // --- Colours and screens
    // The colour stored as text under the colour-value column id in the settings' bar,
    // image or tiles colour dictionary; invalid when missing or malformed.
    QVariant barColor() const override;
    QVariant imageColor() const override;
    QVariant tilesColor() const override;
    // The store manager's cloud is available and enabled.
    bool cloudAvailable() const override;
    // The store manager's cloud store is switched on.
    bool cloudEnabled() const override;
    // Ends one busy period of the current screen when it has a busy overlay.
    void hideHud();

    // --- Store manager
    const std::shared_ptr<CloudStoreManager>& cloudStoreManager() const
    {
        return m_cloudStoreManager;
    }
    void setCloudStoreManager(std::shared_ptr<CloudStoreManager> manager);
    // The database the screens have open; null once the store it came from is unloaded.
    Database* database() const;
    void setDatabase(Database* database);
    platform::ui::Window* window() const;

    void cloudStoreManagerDidLoadStoreForCoordinator(CloudStoreManager& manager,
        const std::shared_ptr<platform::coredata::PersistentStoreCoordinator>& coordinator,
        bool isCloud) override;
    // The main context: the manager merges and saves every import into it, so what the
    // screens hold shows the other machines' changes and is not written back over them.
    platform::coredata::ManagedObjectContext*
    cloudStoreManagerManagedObjectContextForUbiquityChanges(
        CloudStoreManager& manager, const platform::Notification& notification) override;
    platform::coredata::ManagedObjectContext* managedObjectContextForUbiquityChangesInManager(
        CloudStoreManager& manager) override;
    void cloudStoreManagerWillLoadStoreIsCloud(CloudStoreManager& manager, bool isCloud) override;
    void cloudStoreManagerFailedLoadingStoreWithCause(
        CloudStoreManager& manager, qint32 cause, const QVariant& context, bool wasCloud) override;
    bool cloudStoreManagerHandleCloudContentCorruptionWithHealthyStore(
        CloudStoreManager& manager, bool healthy) override;
    bool respondsToLog() const override { return true; }
    void cloudStoreManagerLog(CloudStoreManager& manager, const QString& message) override;

    // Store notifications: the screens on the navigation stack that take part are told,
    // each in its own main-queue call, bottom to top.
    void resetFetchedResults(const platform::Notification& notification);
    void reloadFetchedResults(const platform::Notification& notification);

    // --- Alerts
    void alertViewClickedButtonAtIndex(platform::ui::AlertView* alert, int buttonIndex) override;
    platform::ui::AlertView* cloudContentCorruptedAlert() const { return m_corruptedAlert; }
    platform::ui::AlertView* cloudContentHealingAlert() const { return m_healingAlert; }
    platform::ui::AlertView* handleCloudContentWarningAlert() const { return m_warningAlert; }
    platform::ui::AlertView* handleLocalStoreAlert() const { return m_localStoreAlert; }

    // Constants.
    static const QString StoreName; // "Kivotab", also the model's name
    static constexpr double DaysUntilPrompt = 15.0;
    static constexpr int UsesUntilPrompt = 10;
    static constexpr int SignificantEventsUntilPrompt = -1;
    static constexpr double TimeBeforeReminding = 2.0;
    static constexpr int CloudLaunchWaitMs = 6000;
    static constexpr int LocalLaunchWaitMs = 3000;
    // Alert texts.
    static const QString LocalStoreTitle; // "Local Store Problem"
    static const QString LocalStoreMessage;
    static const QString RecreateButton; // "Recreate"
    static const QString CorruptionTitle; // "iCloud Store Corruption"
    static const QString HealingMessage;
    static const QString CorruptedMessage;
    static const QString DisableCloudButton; // "Disable iCloud"
    static const QString FixNowButton; // "Fix Now"
    static const QString WarningTitle; // "Fix iCloud Now"
    static const QString WarningMessage;
    static const QString BackButton; // "Back"
    static const QString FixAnywayButton; // "Fix Anyway"
    // A save that failed before the store changed: the changes are kept in a file.
    static const QString UnsavedChangesFile; // "Unsaved changes %1.json"
    static const QString UnsavedChangesKept;
    static const QString UnsavedChangesLost;

signals:
    // Start-up is over: the first screen may be shown.
    void launchFinished();
    // The first load of the store is over (loaded or failed).
    void storeReady();

protected:
    // The launch steps, in the order didFinishLaunching takes them.
    virtual void installCrashHandler();
    virtual void configureRatePrompt();
    virtual void makeSettings();
    virtual void makeStyle();
    virtual void tellRatePromptLaunched();
    virtual void applyStatusBarStyle();
    virtual void writeVersion();
    virtual void redirectDebugLog();
    virtual void makeStoreManager();
    virtual void observeStore();
    virtual void waitForStore();

private:
    void finishLaunching();
    // Main thread: the context of the store that goes away, saved first.
    void unloadContext();
    void makeContext(const std::shared_ptr<platform::coredata::PersistentStoreCoordinator>&);
    void storeDidLoad();
    void markStoreReady();
    // Writes what the failed save would have stored into Documents, and says so.
    void keepUnsavedChanges(
        platform::coredata::ManagedObjectContext& context, const platform::Error& error);
    void tellScreens(bool loaded);
    platform::ui::AlertView* showAlert(const QString& title, const QString& message,
        const QString& cancel, const QStringList& others, bool spinner);
    platform::ui::AlertView* showCorruptedAlert();
    StoreStack* stack() const;

    mutable std::shared_ptr<const platform::coredata::ManagedObjectModel> m_model;
    std::shared_ptr<CloudStoreManager> m_cloudStoreManager;
    // The person's choice when launching began: the store manager may fall back to the
    // local store on its own thread before the wait is chosen.
    bool m_cloudChosenAtLaunch = false;
    StoreStack* m_stack = nullptr; // installed by this delegate, while it is
    QPointer<Database> m_database;
    QList<platform::NotificationCenter::Token> m_observers;
    QPointer<platform::ui::AlertView> m_corruptedAlert;
    QPointer<platform::ui::AlertView> m_healingAlert;
    QPointer<platform::ui::AlertView> m_warningAlert;
    QPointer<platform::ui::AlertView> m_localStoreAlert;
    LaunchWait m_launchWait;
    bool m_launched = false;
    bool m_storeReady = false;
    bool m_shutDown = false;
};
