#pragma once

#include "platform/Error.h"

#include <QList>
#include <QRecursiveMutex>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace platform::coredata {

class EntityDescription;
class ManagedObjectModel;
class Predicate;
class PersistentStore;
class StoredTextScan;

// Joins a model to its stores. Contexts reach the stores only through it and hold its
// lock for each fetch and save; the store-loading jobs take the same lock (lock/unlock)
// so that no context uses a store while stores are being added, removed or migrated.
// Every operation may be called from any thread; the lock is recursive.
//
// A store added with PersistentStoreUbiquitousContentNameKey is a cloud store: its saves
// also go to the cloud container and other machines' saves come back into it (see
// UbiquitousContent); the coordinator then posts DidImportUbiquitousContentChangesNotification.
// The cloud side reaches the coordinator weakly, so a coordinator of cloud stores is owned
// by a shared_ptr.
class PersistentStoreCoordinator : public std::enable_shared_from_this<PersistentStoreCoordinator> {
public:
    explicit PersistentStoreCoordinator(std::shared_ptr<const ManagedObjectModel> model);
    ~PersistentStoreCoordinator();
    PersistentStoreCoordinator(const PersistentStoreCoordinator&) = delete;
    PersistentStoreCoordinator& operator=(const PersistentStoreCoordinator&) = delete;

    const std::shared_ptr<const ManagedObjectModel>& managedObjectModel() const { return m_model; }

    // Opens (creating when missing) the store file at the URL and adds it. Options: see
    // StoreOptions.h. Fails for a URL already added, a file that is no store, a store
    // whose tables lack model attributes unless both migration options are on, and a
    // read-only store that does not exist. The configuration name is kept, not used.
    [[nodiscard]] std::shared_ptr<PersistentStore> addPersistentStore(const QString& type,
        const QString& configuration, const QUrl& url, const QVariantMap& options,
        Error* error = nullptr);
    // Closes the store and takes it out. Objects of its rows stay in their contexts but
    // can no longer be saved.
    [[nodiscard]] bool removePersistentStore(
        const std::shared_ptr<PersistentStore>& store, Error* error = nullptr);
    // Copies the store, whole and consistent, to a new file at the URL (anything there is
    // replaced), adds that file with the options in place of the store and removes the
    // store. The copy keeps the store's identity, so objects of the old store belong to
    // the new one. On failure the store stays and no file is left at the URL.
    [[nodiscard]] std::shared_ptr<PersistentStore> migratePersistentStore(
        const std::shared_ptr<PersistentStore>& store, const QUrl& url, const QVariantMap& options,
        const QString& type, Error* error = nullptr);

    QList<std::shared_ptr<PersistentStore>> persistentStores() const;
    std::shared_ptr<PersistentStore> persistentStoreForURL(const QUrl& url) const;
    QUrl URLForPersistentStore(const std::shared_ptr<PersistentStore>& store) const;

    QVariantMap metadataForPersistentStore(const std::shared_ptr<PersistentStore>& store) const;
    // Replaces the store's metadata at once (its identity and type keys are kept).
    [[nodiscard]] bool setMetadata(const QVariantMap& metadata,
        const std::shared_ptr<PersistentStore>& store, Error* error = nullptr);
    // The metadata of a store file that no coordinator needs to hold.
    [[nodiscard]] static std::optional<QVariantMap> metadataForPersistentStoreOfType(
        const QString& type, const QUrl& url, Error* error = nullptr);

    // What a caller compares to learn whether anything stored may have changed since it
    // last looked: it differs after every row written through this coordinator's stores and
    // after every store added, removed or migrated, and no other coordinator ever gives
    // the same. Writes by other processes to the same files are not seen.
    struct ChangeCount {
        quint64 stores = 0;
        qint64 rows = 0;
        bool operator==(const ChangeCount&) const = default;
    };
    ChangeCount changeCount() const;

    // The attributes' stored values (in the order named) of the entity's rows of those
    // keys in the store with the identifier, in key order; rows no longer there are left
    // out. Read straight from the store (no context's unsaved changes count, no object is
    // made): for a reader of many rows off the main thread. nullopt, and the error, when
    // the store is gone, the entity lacks an attribute or the read fails.
    [[nodiscard]] std::optional<std::vector<std::pair<qint64, QList<QVariant>>>> storedValues(
        const EntityDescription& entity, const QString& storeIdentifier, QList<qint64> keys,
        const QStringList& attributes, Error* error = nullptr) const;

    // The keys of the entity's rows in the store with the identifier that the predicate
    // selects, in key order, read straight from the store as storedValues reads.
    [[nodiscard]] std::optional<std::vector<qint64>> storedKeys(const EntityDescription& entity,
        const QString& storeIdentifier, const Predicate& predicate, Error* error = nullptr) const;

    // A reader of the attribute's stored texts of the entity's rows in the store with the
    // identifier that the predicate (without variables) selects, on connections of its
    // own; null, and the error, when the store is gone or the entity lacks an attribute
    // named.
    [[nodiscard]] std::shared_ptr<StoredTextScan> storedTextScan(const EntityDescription& entity,
        const QString& storeIdentifier, const Predicate& predicate, const QString& attribute,
        Error* error = nullptr) const;

    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    bool tryLock() { return m_mutex.tryLock(); }

private:
    friend class ManagedObjectContext;
    friend class FaultReader;

    std::shared_ptr<PersistentStore> storeWithIdentifier(const QString& identifier) const;
    void postStoresDidChange(const QList<QUrl>& added, const QList<QUrl>& removed);

    std::shared_ptr<const ManagedObjectModel> m_model;
    QList<std::shared_ptr<PersistentStore>> m_stores;
    quint64 m_storesGeneration; // unique among all coordinators; changes with m_stores
    mutable QRecursiveMutex m_mutex;
};

} // namespace platform::coredata
