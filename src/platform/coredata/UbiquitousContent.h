#pragma once

#include "platform/Error.h"
#include "platform/coredata/ObjectID.h"
#include "platform/coredata/StoreSaveHook.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

namespace platform::dispatch {
class SerialQueue;
}

namespace platform::coredata {

struct ChangeSet;
class FolderWatch;
class PersistentStore;
class PersistentStoreCoordinator;

// The cloud side of a store added with PersistentStoreUbiquitousContentNameKey: the store
// file is this machine's replica, and the store's content in the cloud is the change sets
// of every replica (peer), kept in the cloud container under the content URL:
//
//   <container>/<content URL>/<peer>/<content name>/<sequence>.json   (see ChangeSet)
//
// Each save also records its change set in the replica, in the save's own transaction,
// and the set is then written to the peer's folder under a temporary name and renamed into
// place, so a set in the cloud is whole or absent and a save interrupted before its set
// reached the cloud sends it when the store is next opened. Change sets of the other peers
// are applied to the replica, a look's (up to ImportBatch sets) in one transaction, as the
// folders change or at the poll interval. A look reads each peer's next set by its name,
// so its cost does not grow with the history, and reads without the coordinator's lock,
// which it takes only to apply what it read; the coordinator then posts
// DidImportUbiquitousContentChangesNotification with the ids of the inserted, updated and
// deleted objects. When two peers change one object, the change with the later version
// (its "mtimestamp") wins on every peer; a deletion wins over changes made before it.
//
// The content belongs to one cloud account, the one whose token the cloud folder held when
// the store was added (PersistentStoreUbiquitousIdentityTokenOption): nothing is read from
// or written to a cloud folder that holds another token or none (an empty mount point),
// and a set leaves this replica's queue only once it lies whole in the account's folder
// with the token still in place; otherwise it stays queued and is written again, under
// the same name, when the account's folder is back. A replica built for one account is
// never opened in another's folder.
class UbiquitousContent final : public StoreSaveHook,
                                public std::enable_shared_from_this<UbiquitousContent> {
public:
    ~UbiquitousContent() override;

    // User-info keys of the import notification: lists of ObjectID.
    static const QString InsertedObjectsKey; // "inserted"
    static const QString UpdatedObjectsKey; // "updated"
    static const QString DeletedObjectsKey; // "deleted"

    static bool isUbiquitous(const QVariantMap& options);
    // The folder of the content the options name; empty without a cloud account.
    static QString contentPath(const QVariantMap& options);
    // Sets up the cloud side of a store the coordinator has just opened with ubiquitous
    // options (its lock held): a new replica, or one built for other content, sends what it
    // holds as its first change set; one built for this content (the account's store, at
    // whatever path the account's folder lies now) carries on as the same peer. With
    // PersistentStoreRebuildFromUbiquitousContentOption, or after the content was evicted
    // from this machine, the replica is emptied and built again from every change set, once
    // the change sets it has yet to send are in the account's folder (an eviction's rebuild
    // otherwise waits). False, with the error, when that fails.
    static bool attach(PersistentStoreCoordinator& coordinator,
        const std::shared_ptr<PersistentStore>& store, Error* error);
    // A replica to be rebuilt from the cloud's content starts from no file at all (the old
    // one may be what is damaged), but only while the account's folder is in the place and
    // only when nothing waits in it to be sent: one with change sets queued is kept (attach
    // sends them, then rebuilds it), and one that cannot be read is kept aside under a name
    // of its own. Called before the store is opened.
    static void discardReplicaToRebuild(const QUrl& storeURL, const QVariantMap& options);
    // Deletes the content in the cloud and the replica file.
    static bool removeUbiquitousContentAndPersistentStore(
        const QUrl& storeURL, const QVariantMap& options, Error* error);

    const QString& peer() const { return m_peer; }
    // The cloud side of a store, if it has one.
    static std::shared_ptr<UbiquitousContent> contentOf(const PersistentStore& store);
    // Looks for new change sets at once (they are also looked for on their own).
    void importSoon();
    // Sends what waits and looks for new change sets now, on the import queue, and returns
    // once that is done.
    void importNow();

    bool storeWillCommit(
        PersistentStore& store, const QList<Change>& changes, Error* error) override;
    void storeDidCommit(PersistentStore& store) override;
    void storeWillClose(PersistentStore& store) override;

private:
    struct Imported {
        QList<ObjectID> inserted;
        QList<ObjectID> updated;
        QList<ObjectID> deleted;
        bool isEmpty() const
        {
            return inserted.isEmpty() && updated.isEmpty() && deleted.isEmpty();
        }
    };
    struct Tracked;

    UbiquitousContent(std::weak_ptr<PersistentStoreCoordinator> coordinator, PersistentStore* store,
        QString contentPath, QString contentName, QVariant token);

    // The account the options name, else the one signed in now.
    static QVariant accountToken(const QVariantMap& options);
    // Whether the replica's metadata names another account than the token's.
    static bool belongsToAnotherAccount(const QVariantMap& metadata, const QVariant& token);
    // Writes one change set whole into this peer's folder of the account; false when it is
    // not there whole with the account's token in place afterwards.
    bool sendChangeSet(qint64 sequence, const QByteArray& body);
    // Tells, once for each, of a peer whose later sets wait for a missing one.
    void tellGap(const QString& peer, qint64 missing, qint64 later);

    bool prepare(bool rebuild, Error* error);
    // The change sets waiting in a replica file, read aside; none when it cannot be read.
    static std::optional<qint64> queuedChangeSets(const QString& path);
    // Sends what the replica holds queued as the peer it was, before it is built again:
    // true once nothing waits any more.
    bool sendQueued(const QString& peer);
    void startWatching();
    // One look: sends what waits, then applies what the other peers saved (import queue).
    void runImport();
    QStringList watchedPaths() const;

    QString peerFolder(const QString& peer) const;
    bool exec(const QByteArray& sql, Error* error);
    // False on a failure of the store; `found` stays empty for an object not tracked.
    bool tracked(const QString& object, std::optional<Tracked>* found, Error* error);
    bool objectOfRow(
        const QString& entity, qint64 key, std::optional<QString>* object, Error* error);
    bool track(const QString& object, const QString& entity, std::optional<qint64> key,
        double version, const QString& peer, qint64 sequence, Error* error);
    QJsonObject encodedValues(const QString& entity, const QList<QVariant>& values) const;
    double versionOf(const QString& entity, const QList<QVariant>& values, double fallback) const;
    // Keeps the set in the replica until it is in the cloud.
    bool queue(const ChangeSet& set, Error* error);
    // The sequence number of the peer's next set; queue() takes it.
    qint64 nextSequence(Error* error);
    // Writes the change sets waiting in the replica to the cloud; false when one could not be.
    bool flushOutbox();
    // Applies what the other peers saved since the last look (the coordinator's lock held).
    void importLocked(Imported& imported);
    // The sets that follow on what the replica has applied, each peer's in order, at most
    // `limit`; read from the account's folder without the coordinator's lock.
    QList<ChangeSet> readNewSets(int limit);
    // Applies sets read, in one transaction (the coordinator's lock held); false when none
    // was applied.
    bool applyLocked(const QList<ChangeSet>& sets, Imported& imported);
    // The last set applied of every peer, from the replica.
    bool loadApplied();
    // Whether each change names its object in the entity the object has (the one it is
    // tracked in, or that an earlier change of the set gave it); the reason in `refusal`
    // when one does not. False on a failure of the store.
    bool checkObjects(const ChangeSet& set, QString* refusal, Error* error);
    bool apply(const ChangeSet& set, Imported& imported, Error* error);
    void reportImportFailure(
        const QString& reason, const QString& file, int sqliteCode, const Error& underlying);

    std::weak_ptr<PersistentStoreCoordinator> m_coordinator;
    PersistentStore* m_store; // valid while !m_closed, used under the coordinator's lock
    QString m_contentPath;
    QString m_contentName;
    QVariant m_token; // the account's
    QString m_peer;
    std::shared_ptr<dispatch::SerialQueue> m_queue;
    std::unique_ptr<FolderWatch> m_watch;
    std::atomic<bool> m_closed { false };
    std::atomic<bool> m_importScheduled { false };
    // Sets applied in one transaction at most, so that the application's fetches get the
    // store between them while a long history is caught up with.
    static constexpr int ImportBatch = 500;
    // How many sets past a missing one are looked for, to tell of the gap.
    static constexpr int GapProbe = 16;
    std::mutex m_appliedMutex;
    QMap<QString, qint64> m_applied; // the last set applied of each peer, as the replica has it
    // The import's own (the import queue, or the opening before it starts).
    QSet<QString> m_reported; // damaged change sets already reported
    QSet<QString> m_toldGaps; // missing change sets already told
};

} // namespace platform::coredata
