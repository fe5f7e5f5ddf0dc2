#pragma once

#include "model/CloudStoreErrorCause.h"
#include "model/CloudStoreManagerDelegate.h"
#include "platform/Error.h"
#include "platform/NotificationCenter.h"
#include "platform/coredata/FileCoordinator.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace platform::dispatch {
class SerialQueue;
}
namespace platform::coredata {
class ManagedObject;
class ManagedObjectContext;
class ManagedObjectModel;
class PersistentStore;
class PersistentStoreCoordinator;
struct ObjectID;
} // namespace platform::coredata

class CSMCorruptedUUIDPresenter;
class CSMLifetime;
class CSMLocalStoreFilePresenter;
class CSMStoreUUIDPresenter;

// Keeps the application's one store either as a local SQLite file or as a cloud store
// (a local replica whose saves travel through the cloud folder to the user's other
// machines), loads it, seeds one from the other, switches between them, deletes and
// rebuilds cloud content, and watches the cloud store's identity and corruption markers.
//
// All store work runs on one serial persistence queue ("CloudStoreManagerPersistenceQueue"),
// each job holding the coordinator's lock, so the application's context never uses the
// coordinator while stores change; a public operation called elsewhere re-submits itself
// there and returns at once. The manager never raises to its callers: failures go to the
// delegate with a cause (CloudStoreErrorCause) and a context object, or to the log.
//
// Made with initStoreNamed (its first load under way), it lives as long as the application;
// its destruction clears the stores and waits for that and for its jobs under way on other
// threads, which reach it through its lifetime and never own it. The delegate must outlive it.
//
// The cloud store belongs to the account whose token the cloud folder held when it was
// loaded: the manager writes into the cloud folder (the markers, the store's change sets,
// its conflict versions) only while the folder holds that token, and knows the identity
// of each account apart. A new identity is made only when the StoreUUID is confirmed
// missing (two looks, as for a deletion); one being written is waited for.
class CloudStoreManager {
public:
    using Coordinator = platform::coredata::PersistentStoreCoordinator;
    using Block = std::function<void()>;
    // The confirmation the user gives: call the answer once, on any thread (true: overwrite).
    using Answer = std::function<void(bool)>;
    using Confirmation = std::function<void(Answer)>;
    using Completion = std::function<void(const platform::Error&)>;

    enum EnabledStore : quint64 {
        EnabledStoreNone = 0,
        EnabledStoreLocal = 1,
        EnabledStoreCloud = 2
    };

    // Notifications (object: the manager; did-import: the user info of the import).
    static const QString StoreWillChangeNotification; // "CSMStoreWillChangeNotification"
    static const QString StoreDidChangeNotification; // "CSMStoreDidChangeNotification"
    static const QString
        StoreDidImportChangesNotification; // "CSMStoreDidImportChangesNotification"
    // Posted by the error detection; user info NSUnderlyingError and StoreURLsErrorKey.
    static const QString
        DidDetectCorruptionNotification; // "CloudManagedStoreDidDetectCorruptionNotification"
    static const QString StoreURLsErrorKey; // "CSMStoreURLsErrorKey"
    static const QString CloudEnabledKey; // "CSMCloudEnabledKey"
    // The token of the account this machine has used last; absent on a machine that never
    // had one.
    static const QString IdentityTokenKey; // "CSMIdentityTokenKey"
    // Keys of the cloud-store descriptions of enumerateCloudStores.
    static const QString CloudVersionKey; // "CSMCloudVersionKey"
    static const QString CloudCurrentKey; // "CSMCloudCurrentKey"
    static const QString CloudUUIDKey; // "CSMCloudUUIDKey"
    // Names of the files and folders.
    static const QString DefaultContentName; // "CloudStoreManager"
    static const QString StoreExtension; // "sqlite"
    static const QString CloudStoreDirectoryName; // "CloudStore"
    static const QString NoSyncExtension; // "nosync"
    static const QString CloudLogsDirectoryName; // "CloudLogs"
    static const QString StoreUUIDMarkerName; // "StoreUUID"
    static const QString CorruptedUUIDMarkerName; // "CorruptedUUID"
    static const QString MigrationSourceName; // "MigrationSource.sqlite"
    static const QString CopyMigrationStoreName; // "CopyMigrationStore"

    // Every argument but the delegate may be empty: the content name then is
    // "CloudStoreManager", the model the one among the resources, the local store
    // App Support/<content name>.sqlite. The first load is queued before it returns.
    static std::shared_ptr<CloudStoreManager> initStoreNamed(const QString& contentName,
        std::shared_ptr<const platform::coredata::ManagedObjectModel> model,
        const QUrl& localStoreURL, const QString& containerIdentifier,
        const QString& storeConfiguration, const QVariantMap& storeOptions,
        CloudStoreManagerDelegate* delegate);
    static std::shared_ptr<CloudStoreManager> initWithDelegate(CloudStoreManagerDelegate* delegate);
    ~CloudStoreManager();
    CloudStoreManager(const CloudStoreManager&) = delete;
    CloudStoreManager& operator=(const CloudStoreManager&) = delete;

    // --- State
    std::shared_ptr<Coordinator> persistentStoreCoordinator();
    std::shared_ptr<Coordinator> resetPersistentStoreCoordinator();
    bool attemptCloudRecovery() const { return m_attemptCloudRecovery; }
    qint32 migrationStrategy() const { return m_migrationStrategy; }
    void setMigrationStrategy(qint32 strategy) { m_migrationStrategy = strategy; }
    CloudStoreManagerDelegate* delegate() const { return m_delegate; }
    void setDelegate(CloudStoreManagerDelegate* delegate) { m_delegate = delegate; }
    QUrl localStoreURL() const { return m_localStoreURL; }
    QString storeConfiguration() const { return m_storeConfiguration; }
    QString contentName() const { return m_contentName; }
    std::shared_ptr<const platform::coredata::ManagedObjectModel> model() const { return m_model; }
    QString containerIdentifier() const { return m_containerIdentifier; }
    QVariantMap storeOptions() const { return m_storeOptions; }
    QString tentativeStoreUUID() const;
    QVariant currentIdentityToken() const;
    QUrl migrationStoreURL() const;
    void setMigrationStoreURL(const QUrl& url);
    QString localCloudStoreCorruptedUUID() const;
    QString activeCloudStoreUUID() const;
    quint64 enabledStore() const { return m_enabledStore; }
    void setEnabledStore(quint64 store);
    bool cloudAvailable() const;
    bool cloudEnabled() const;
    void setCloudEnabled(bool enabled);
    std::shared_ptr<CSMLocalStoreFilePresenter> storeFilePresenter() const;
    std::shared_ptr<CSMStoreUUIDPresenter> storeUUIDPresenter() const;
    std::shared_ptr<CSMCorruptedUUIDPresenter> corruptedUUIDPresenter() const;
    std::shared_ptr<CSMLifetime> lifetime() const { return m_lifetime; }

    // How long after a cloud load its health is checked (milliseconds; 30 seconds).
    void setHealthCheckDelay(int milliseconds) { m_healthCheckDelayMs = milliseconds; }
    // How long apart the two looks are that find the StoreUUID gone before the cloud data
    // counts as deleted, or a new identity is made (milliseconds; a second).
    void setDeletionCheckDelay(int milliseconds) { m_deletionCheckDelayMs = milliseconds; }
    // How long the StoreUUID may stay empty or unreadable, past what any writer takes,
    // before this machine writes the identity it has loaded into it again.
    static constexpr int MarkerMendDelayMs = 30000;
    void setMarkerMendDelay(int milliseconds) { m_markerMendDelayMs = milliseconds; }
    // Runs as the mend has found the StoreUUID still empty, before it writes (tests: another
    // machine writing the marker meanwhile).
    using MarkerMendHook = std::function<void(const QString& path)>;
    void setMarkerMendHook(MarkerMendHook hook);
    // The account whose cloud folder the manager reads and writes: the one the cloud store
    // was loaded (or is being loaded) from, else the one signed in.
    QVariant loadedAccountToken() const;

    // --- Locations
    QUrl URLForApplicationContainer() const;
    QUrl URLForCloudContainer() const;
    QUrl URLForCloudStoreDirectoryForCloudVersion(qint32 version) const;
    QUrl URLForCloudStoreDirectory() const;
    QUrl URLForCloudStoreWithUUID(const QString& uuid) const;
    QUrl URLForCloudStore();
    QUrl URLForCloudContentDirectory() const;
    // Relative paths: "CloudLogs/<name>".
    QString URLForCloudContentForStoreURL(const QUrl& storeURL);
    QString URLForCloudContent();
    QString URLForCloudContent_ThreadSafe() const;
    QUrl URLForCloudStoreUUID() const;
    QUrl URLForCloudStoreUUIDForVersion(qint32 version) const;
    QUrl URLForCloudCorruptedUUID() const;
    QUrl URLForCloudCorruptedUUIDForVersion(qint32 version) const;
    QUrl URLForLocalStoreDirectory() const;
    QUrl URLForLocalStore() const;
    QString localContentName() const { return m_contentName; }
    static qint32 desiredCloudVersion() { return 1; }
    qint32 cloudVersionForStoreURL(const QUrl& storeURL) const;
    QString cloudVersionedIdentifier(const QString& identifier, const QUrl& storeURL) const;
    static QString versionedIdentifier(const QString& identifier, qint32 version);
    QString cloudContentNameForStoreURL(const QUrl& storeURL);
    QString cloudContentNameForStoreURL(const QUrl& storeURL, qint32 version);
    // Cloud store URL -> one description per content found for it; none without content.
    std::optional<QMap<QUrl, QList<QVariantMap>>> enumerateCloudStores();
    void switchToCloudStoreWithOptions(const QVariantMap& cloudStoreOptions);

    // --- Reporting
    void log(const QString& message);
    void error(const platform::Error& error, qint32 cause, const QVariant& context);
    void logError(const QString& message, qint32 cause, const QVariant& context);

    // --- Queue
    void enqueue(Block block);
    // Waits for the job when asked to (at once when called from the queue itself).
    void enqueue(Block block, bool waitUntilFinished);
    void enqueue(Block block, bool waitUntilFinished, bool lock);
    // True on the persistence queue; elsewhere queues the block and answers false.
    bool ensureQueued(Block block);
    // Queues the block once a missing StoreUUID being looked into is settled, behind what
    // the looks end in (a load, a deletion); at once when nothing is looked into.
    void enqueueWhenMarkerSettled(Block block);
    void assertQueued() const;

    // --- Loading
    void reloadStore();
    void clearStore();
    bool tryLoadCloudStore();
    bool tryLoadLocalStore();
    void fireBeginLoadingLogReason(const QString& reason);
    void fireFinishedLoadingLogReason(const QString& reason, qint32 cause, const QVariant& context);
    QVariantMap optionsForLocalStore() const;
    QVariantMap optionsForCloudStoreURL(const QUrl& storeURL);
    std::optional<QVariantMap> optionsForMigrationStoreURL(const QUrl& url);

    // --- Migration
    void loadStoreAtURL(const QUrl& storeURL, const QVariantMap& options, const QUrl& seedURL,
        const std::optional<QVariantMap>& seedOptions, qint32 strategy, qint32* cause,
        QVariant* context);
    bool migrateStore(const QUrl& seedURL, std::optional<QVariantMap> seedOptions,
        const QUrl& targetURL, QVariantMap targetOptions, qint32 strategy, platform::Error* error,
        qint32* cause, QVariant* context);
    bool copyMigrateStore(const QUrl& seedURL, const QVariantMap& seedOptions,
        const QUrl& targetURL, const QVariantMap& targetOptions, platform::Error* error,
        qint32* cause, QVariant* context);
    // The copy of the source in the target context; the cache maps each copied source to
    // its copy (new objects share one temporary id until saved, so copies are kept by
    // address).
    platform::coredata::ManagedObject* copyMigrateObject(platform::coredata::ManagedObject* source,
        platform::coredata::ManagedObjectContext& targetContext,
        QHash<const platform::coredata::ManagedObject*, platform::coredata::ManagedObject*>& cache);

    // --- Switching, deletion and rebuild
    bool cloudSafeForSeeding() const;
    bool setCloudEnabledAndOverwriteCloudWithLocalIfConfirmed(Confirmation confirmation);
    bool setCloudDisabledAndOverwriteLocalWithCloudIfConfirmed(Confirmation confirmation);
    bool dispatchAndWaitFor(const Confirmation& confirmation);
    bool migrateLocalToCloud();
    bool migrateCloudToLocal();
    void revertMigration(bool enableCloud);
    // Loads the cloud store under a new identity and deletes the old one's; when the load
    // fails, the migration is reverted.
    bool loadCloudStoreUnderNewUUID(bool wasEnabled);
    bool rebuildCloudContentFromCloudStoreOrLocalStore(bool allowRebuildFromLocalStore);
    void deleteCloudContainerLocalOnly(bool localOnly);
    void deleteCloudStoreLocalOnly(bool localOnly);
    bool deleteCloudStoreUUID(const QString& uuid, bool localOnly);
    void deleteLocalStore();
    // True when the item is gone (or evicted); false, reported, when it could not be.
    bool removeItemAtURL(const QUrl& url, bool localOnly);

    // --- Identity, change notifications and corruption
    QString storeUUID();
    QString storeUUID_ThreadSafe() const;
    QString storeUUIDForLog() const;
    QString readStoreUUID() const;
    void updateStoreUUIDAsynchronously(bool asynchronously);
    void setStoreUUID(const QString& uuid);
    void setStoreUUID(const QString& uuid, qint32 version);
    QString createTentativeStoreUUID();
    void confirmTentativeStoreUUID();
    void unsetTentativeStoreUUID();
    void markCloudStoreCorrupted();
    // Writes the loaded identity again into a StoreUUID left empty or unreadable for the
    // mend delay; one that names an identity by then, or is gone, is left to its own paths.
    void mendLeftEmptyStoreUUID();
    bool handleCloudContentCorruption();
    void storeUUIDDidChange();
    void corruptedUUIDDidChange();
    void accommodateLocalDeletionWithCompletionHandler(const Completion& completion);
    void accommodateCloudDeletionWithCompletionHandler(const Completion& completion);
    void cloudStoreChanged(const platform::Notification& notification);
    void userDefaultsDidChange(const platform::Notification& notification);
    void applicationDidBecomeActive(const platform::Notification& notification);
    void cloudStoreManagerDidDetectCorruption(const platform::Notification& notification);
    void didImportChanges(const platform::Notification& notification);
    void storesWillChange(const platform::Notification& notification);
    void storesDidChange(const platform::Notification& notification);

private:
    struct Operation;

    CloudStoreManager(const QString& contentName,
        std::shared_ptr<const platform::coredata::ManagedObjectModel> model,
        const QUrl& localStoreURL, const QString& containerIdentifier,
        const QString& storeConfiguration, const QVariantMap& storeOptions,
        CloudStoreManagerDelegate* delegate);
    static void initialize();
    void observe();
    // An observer that calls the method while the manager lives.
    platform::NotificationCenter::Observer observer(
        void (CloudStoreManager::*method)(const platform::Notification&));
    // A copy of a field read under m_mutex.
    template<class T> T locked(const T& field) const
    {
        std::lock_guard lock(m_mutex);
        return field;
    }
    // What a look at a marker found: a marker being written (empty, or unreadable) is
    // neither there nor gone, and nothing is known of one whose cloud folder is away or
    // changed hands during the look.
    struct MarkerRead {
        enum State { Missing, BeingWritten, Present, OutOfReach };
        State state = Missing;
        QString uuid;
    };
    // What a cloud load may open: its identity is settled, or it waits for a marker being
    // written (the local store meanwhile), for the looks into a missing one (nothing
    // meanwhile), or for the account's change to be told.
    enum class IdentityForLoad { Settled, AwaitMarker, LookIntoAbsence, OutOfReach };

    void runJob(const Block& block, bool lock);
    // On the main queue: merges an import into the context the delegate names, then tells
    // the application.
    void mergeImport(const platform::Notification& notification);
    // The local store in the cloud store's place while the cloud account is away: the
    // choice of the cloud is kept, so that its store loads again when the account is back.
    bool tryLoadLocalStoreKeepingCloudChoice(bool keepCloudChoice);
    // The account's token as the checks see it: read, never made, on a machine that has had
    // an account; on one that never had one, a folder without a token is signed in to.
    QVariant accountToken();
    bool hasHadAnAccount() const;
    IdentityForLoad identityForLoad(const QVariant& token);
    // The identity cache's key: one entry per marker and account.
    static QString identityCacheKey(const QUrl& marker, const QVariant& token);
    void scheduleMarkerMend(int delayMs);
    // Tells the delegate and the application how a load ended (on the queue, after it).
    void notifyFinishedLoading(const QString& reason, qint32 cause, const QVariant& context);
    void scheduleHealthCheck();
    void checkHealth();
    void setActiveCloudStoreUUID(const QString& uuid);
    void stopPresenters();
    // Reads the marker again and reloads when it names another store; false when the
    // marker is being written, or missing and being looked into as a deletion.
    bool rereadStoreUUID();
    // The coordinated read behind readStoreUUID: the identity cache of the account follows
    // a marker there or missing, and is left as it is while the marker is being written.
    MarkerRead readStoreUUIDMarker() const;
    // The marker's content in the account's folder, read without touching the cache.
    MarkerRead readMarkerContent(const QVariant& token) const;
    // A marker this run saw, found missing while a cloud store is active, may mean the cloud
    // data was deleted elsewhere: it is looked into as the presenter's report is. True when
    // the missing marker is being looked into, or is a deletion already handled.
    bool accommodateMissingStoreUUID();
    // The cloud data counts as deleted only when the marker is missing on two looks a
    // moment apart, while the cloud folder is there and is the account the store was
    // loaded from; a marker there or being written ends the looking, and so does a cloud
    // away (a sign-out, handled as one). A marker confirmed missing that this run had seen
    // in the account is a deletion; one it never saw leaves room for a new identity. One
    // looking at a time.
    void checkCloudDeletion();
    void lookForCloudDeletion(int look);
    // Ends the looking: the blocks that waited for it.
    QList<Block> stopLooking();
    void settleLooking(QList<Block> waiting);
    bool cloudIsTheLoadedAccount() const;
    void accommodateSignOut();
    void handleConfirmedCloudDeletion();
    // True for the first deletion of an identity (the active one, else the one the marker
    // named, else the last one active), which it gives; the later ones change nothing.
    bool claimCloudDeletion(QString* identity);
    // Deletes the marker while it is missing or names the identity deleted; one that names
    // another store by now is another machine's new identity and stays.
    void deleteMarkerOfIdentity(const QUrl& marker, const QString& identity, bool corrupted);
    // Where the manager reads and writes the markers: through the presenters, so that
    // they do not hear of it.
    platform::coredata::FileCoordinator markerCoordinator(bool corrupted) const;
    bool writeMarker(const QUrl& marker, const QString& uuid, qint32 cause, bool corrupted);

    std::atomic<bool> m_attemptCloudRecovery { false };
    std::atomic<qint32> m_migrationStrategy { CloudStoreMigrationStrategyIOS };
    std::atomic<CloudStoreManagerDelegate*> m_delegate;
    const QUrl m_localStoreURL;
    const QString m_storeConfiguration;
    const QString m_contentName;
    const std::shared_ptr<const platform::coredata::ManagedObjectModel> m_model;
    const QString m_containerIdentifier;
    const QVariantMap m_storeOptions;
    const std::shared_ptr<platform::dispatch::SerialQueue> m_queue;
    const std::shared_ptr<CSMLifetime> m_lifetime;
    std::atomic<quint64> m_enabledStore { EnabledStoreNone };
    std::atomic<int> m_healthCheckDelayMs { 30000 };
    std::atomic<int> m_deletionCheckDelayMs { 1000 };
    std::atomic<int> m_markerMendDelayMs { MarkerMendDelayMs };
    MarkerMendHook m_markerMendHook; // under m_mutex

    // Fields read off the queue, under m_mutex.
    mutable std::mutex m_mutex;
    std::shared_ptr<Coordinator> m_coordinator;
    QList<platform::NotificationCenter::Token> m_coordinatorObservers;
    QString m_tentativeStoreUUID;
    QVariant m_currentIdentityToken;
    QUrl m_migrationStoreURL;
    QString m_localCloudStoreCorruptedUUID;
    QString m_activeCloudStoreUUID;
    // The last identity that was active, the marker content this run last saw and in which
    // account, and the identity whose deletion was handled.
    QString m_lastCloudStoreUUID;
    mutable QString m_seenStoreUUID;
    mutable QVariant m_seenToken;
    QString m_deletedCloudStoreUUID;
    // The account the cloud store was last loaded (or is being loaded) from, whether this
    // run has had one, whether a missing marker is being looked into and what waits for
    // that, and the account whose marker was confirmed missing with no identity of its own.
    QVariant m_cloudStoreToken;
    bool m_accountSeen = false;
    bool m_lookingForDeletion = false;
    QList<Block> m_afterLooks;
    QVariant m_absenceConfirmedToken;
    // Since when the marker has been found empty or unreadable, and whether its mend is due.
    mutable std::optional<std::chrono::steady_clock::time_point> m_markerEmptySince;
    bool m_mendScheduled = false;
    std::shared_ptr<CSMLocalStoreFilePresenter> m_storeFilePresenter;
    std::shared_ptr<CSMStoreUUIDPresenter> m_storeUUIDPresenter;
    std::shared_ptr<CSMCorruptedUUIDPresenter> m_corruptedUUIDPresenter;
    std::shared_ptr<Operation> m_finishedLoadingOperation;

    QList<platform::NotificationCenter::Token> m_observers;
};

Q_DECLARE_METATYPE(std::shared_ptr<platform::coredata::PersistentStore>)
Q_DECLARE_METATYPE(platform::Notification)
