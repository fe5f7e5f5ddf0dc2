#pragma once

#include "platform/Error.h"
#include "platform/coredata/FetchRequest.h"
#include "platform/coredata/ObjectID.h"
#include "platform/coredata/RegisteredObjects.h"
#include "platform/coredata/StoreSaveHook.h"

#include <QHash>
#include <QList>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QThread;

namespace platform::dispatch {
class SerialQueue;
}

namespace platform::coredata {

class EntityDescription;
class ManagedObject;
class PersistentStore;
class PersistentStoreCoordinator;

// A scratch pad of managed objects over a coordinator. It makes objects, keeps each
// stored row as one object (fetching a row twice gives the same object), tracks the
// objects inserted, changed and deleted since the last save, and commits all of them at
// once: a save is one SQLite transaction, so it lands whole or not at all.
//
// A main-queue context is used on the main thread only; a confined one on the serial
// queue (or, off any serial queue, the thread) that made it. The debug build raises
// platform::Exception (internal inconsistency) when either is used elsewhere.
// The context owns every object it makes: they live until the context is destroyed.
class ManagedObjectContext {
public:
    enum class ConcurrencyType { MainQueue, Confinement };
    // How a save writes an object whose row may have changed underneath: only the
    // attributes changed in memory (the in-memory values win, the others keep the
    // store's), or every attribute.
    enum class MergePolicy { PropertyObjectTrump, Overwrite };

    explicit ManagedObjectContext(ConcurrencyType type = ConcurrencyType::MainQueue);
    ~ManagedObjectContext();
    ManagedObjectContext(const ManagedObjectContext&) = delete;
    ManagedObjectContext& operator=(const ManagedObjectContext&) = delete;

    ConcurrencyType concurrencyType() const { return m_type; }
    void setPersistentStoreCoordinator(std::shared_ptr<PersistentStoreCoordinator> coordinator);
    const std::shared_ptr<PersistentStoreCoordinator>& persistentStoreCoordinator() const
    {
        return m_coordinator;
    }
    void setMergePolicy(MergePolicy policy) { m_mergePolicy = policy; }
    MergePolicy mergePolicy() const { return m_mergePolicy; }

    // A new object of the entity, detached: it belongs to this context but is inserted
    // in none. Null when the context has no coordinator or the model no such entity.
    [[nodiscard]] ManagedObject* createObject(const QString& entityName);
    // createObject, then insertObject.
    [[nodiscard]] ManagedObject* insertNewObject(const QString& entityName);
    // Makes and inserts one new object of the entity per list of values, as
    // insertNewObject and a setValue for each value would: a list holds the values in the
    // entity's attribute order, null where unset. A value already of its attribute's type
    // is taken as it is, without a conversion. Raises as setValue does for a value of a
    // kind its attribute cannot hold (the objects before it stay inserted), and for an
    // entity of another model. For loads of many thousand objects.
    void insertNewObjects(const EntityDescription& entity, std::vector<QList<QVariant>>&& records);
    // The new content of one entity for replaceAllObjects.
    struct EntityContent {
        const EntityDescription* entity = nullptr;
        std::vector<QList<QVariant>> records; // as insertNewObjects takes them
    };
    // Replaces every object of each entity, in every store, with the records, in one save
    // of its own: a restore of a whole store. The old rows are deleted without being read
    // and the new ones written without an object each, so a hundred thousand rows cost no
    // memory beyond their values. New rows go to the first store, in the order given.
    // Raises as insertNewObjects does (nothing then stays written), and when the context
    // has unsaved changes. On failure the stores are unchanged and the error is set;
    // after a success the context's objects of the entities are invalid and fetches find
    // the new rows. The notification of the save lists those objects as deleted.
    [[nodiscard]] bool replaceAllObjects(std::vector<EntityContent>&& contents, Error* error);
    // A replacement as replaceAllObjects makes it, with the new records given in steps:
    // records can be written while the next ones are still being read. It holds the
    // coordinator's lock and every store's transaction from its start until it is
    // committed or dropped; dropped uncommitted (or after any failure), it rolls back and
    // the stores are as before. Used on the context's queue, like the context.
    class Replacement {
    public:
        ~Replacement();
        Replacement(const Replacement&) = delete;
        Replacement& operator=(const Replacement&) = delete;
        // Writes records of one of the entities it replaces, after those given before.
        // A text may come as its UTF-8 bytes (a QByteArray), as JSONRecordReader gives a
        // long one: it must be valid UTF-8, and is written as it is.
        // Raises as insertNewObjects does (the replacement then fails). False, and the
        // error, on failure; a failed replacement takes nothing more and cannot commit.
        [[nodiscard]] bool add(
            const EntityDescription& entity, std::vector<QList<QVariant>>&& records, Error* error);
        // For an entity that gets many thousand rows, before its first, given the first
        // ones: its indexes are built once its rows are in, at the commit. An index whose
        // keys come in order in those first rows is kept up as they come instead: each
        // entry then goes at its end, cheaper than sorting them all at the commit.
        void buildIndexesLast(
            const EntityDescription& entity, const std::vector<QList<QVariant>>& first);
        // Builds now the indexes buildIndexesLast left for the commit, so that what must be
        // done before the commit can be done meanwhile on another thread. False, and the
        // error, on failure: the replacement then fails.
        [[nodiscard]] bool buildIndexes(Error* error);
        // Commits every store; on failure all are rolled back. The context's objects of
        // the entities are then invalid and the save notification posted, as
        // replaceAllObjects does.
        [[nodiscard]] bool commit(Error* error);

    private:
        friend class ManagedObjectContext;
        explicit Replacement(ManagedObjectContext* context);
        void rollback();

        ManagedObjectContext* m_context;
        std::shared_ptr<PersistentStoreCoordinator> m_coordinator;
        QList<const EntityDescription*> m_replaced;
        QList<std::shared_ptr<PersistentStore>> m_begun;
        // What each store's save hook is told at the commit.
        QHash<PersistentStore*, QList<StoreSaveHook::Change>> m_changes;
        // The indexes buildIndexesLast dropped in the first store.
        QList<QByteArray> m_lateIndexes;
        // The records written, freed while the commit waits for the disk.
        std::vector<std::vector<QList<QVariant>>> m_written;
        bool m_locked = false;
        bool m_ended = false;
    };
    // Starts replacing every object of the entities: every store's transaction begins and
    // their rows are deleted. Raises when the context has unsaved changes or an entity is
    // of another model. Null, and the error, on failure (nothing then changed).
    [[nodiscard]] std::unique_ptr<Replacement> beginReplacement(
        const QList<const EntityDescription*>& entities, Error* error);
    // Inserts a detached object (or one a rollback or reset let go of); it is stored by
    // the next save. Takes ownership of an object no context made; raises for an object
    // of another context. A pending deletion is undone; otherwise nothing happens.
    void insertObject(ManagedObject* object);
    // Marks a stored object for deletion at the next save; an inserted, unsaved object
    // is simply taken out again (detached). Raises for an object of another context.
    void deleteObject(ManagedObject* object);
    // The object with the identity, read from its store when not yet in memory.
    [[nodiscard]] ManagedObject* existingObjectWithID(const ObjectID& id, Error* error = nullptr);

    // The objects the request selects, in its order. Unsaved inserts, changes and
    // deletions count unless the request says otherwise. On failure: empty, and the
    // error is set.
    [[nodiscard]] QList<ManagedObject*> executeFetchRequest(
        const FetchRequest& request, Error* error = nullptr);
    // Attribute values as dictionaries (propertiesToFetch, distinct), from the stores.
    [[nodiscard]] QList<QVariantMap> executeDictionaryFetchRequest(
        const FetchRequest& request, Error* error = nullptr);
    // How many objects the fetch would return; nullopt (and the error) on failure.
    [[nodiscard]] std::optional<quint64> countForFetchRequest(
        const FetchRequest& request, Error* error = nullptr);

    bool hasChanges() const;
    QList<ManagedObject*> insertedObjects() const { return m_inserted; }
    QList<ManagedObject*> updatedObjects() const { return m_updated; }
    QList<ManagedObject*> deletedObjects() const { return m_deleted; }

    // Commits every insert, change and deletion in one transaction per store. On failure
    // nothing is written, the error is set and the context keeps all its changes.
    [[nodiscard]] bool save(Error* error = nullptr);
    // Drops the unsaved changes: inserted objects become detached, changed and deleted
    // ones get their stored values back.
    void rollback();
    // Forgets every object: all become invalid faults (still readable, no longer in the
    // context); detached objects stay detached.
    void reset();
    // Turns a stored object of this context back into a fault: its values leave memory and
    // are read again at the next use, so a reader that keeps what it needs elsewhere holds
    // no more than the object itself. An object with unsaved changes keeps them when
    // mergeChanges is set; otherwise they are dropped. Objects not yet stored, deleted or of
    // another context are left as they are.
    void refreshObject(ManagedObject* object, bool mergeChanges);

    // Brings the context up to date with changes imported into its stores from elsewhere
    // (user info of DidImportUbiquitousContentChangesNotification): updated objects read
    // their values again at next use; one changed here keeps the attributes changed here
    // and takes the store's others at once. Deleted ones leave the context.
    void mergeChangesFromUbiquitousImport(const QVariantMap& userInfo);

    // Runs the block on the context's queue: later (performBlock) or at once, waiting
    // (performBlockAndWait). A confined context runs both at once.
    void performBlock(std::function<void()> block);
    void performBlockAndWait(const std::function<void()>& block);
    // Whether the calling thread may use the context.
    bool isOnQueue() const;

private:
    using Registered = RegisteredObjects;
    friend class ManagedObject;

    void checkQueue(const char* operation) const;
    void adopt(ManagedObject* object);
    // The types the entity's attributes keep their values in, for normalize().
    static QList<int> keptTypes(const EntityDescription& entity);
    // How normalize() takes a text attribute's value given as a QByteArray: as any other
    // value (made text), or as StoredText bytes, valid UTF-8 that the store writes as is.
    enum class HeldBytes { MadeText, Kept };
    // Makes the record's values what setValue would make of them, sized to the entity's
    // attributes; in `set`, when given, the bits of the values set. Raises as setValue does.
    static void normalize(const EntityDescription& entity, const QList<int>& kept,
        QList<QVariant>& values, HeldBytes held, QBitArray* set);
    void checkOwnEntity(const EntityDescription& entity) const;
    void objectWillChange(ManagedObject* object);
    void fulfillFault(ManagedObject* object);
    // The store's values for the attributes not changed in memory; they are also what a
    // rollback goes back to.
    void takeStoredValues(ManagedObject* object, QList<QVariant>&& values);
    // The same from the object's row, read now.
    void refreshUnchangedValues(ManagedObject* object);
    // Reads the values of the object's batch around it, one store query per store.
    void fulfillBatch(ManagedObject* object);
    // Gives the faults among the objects one batch, of the size, in their order.
    void batchFaults(const QList<ManagedObject*>& objects, quint64 batchSize);
    // The object's row is gone: it stays a fault for good.
    void lostRow(ManagedObject* object);
    void invalidate(ManagedObject* object);
    bool validate(const FetchRequest& request, bool objects, const EntityDescription** entity,
        Error* error) const;
    bool hasPendingChanges(const EntityDescription* entity) const;
    // The object of a stored row, made (by `factory`, when given) if not yet in memory;
    // `objects` are those of the store.
    ManagedObject* materialize(const PersistentStore& store, Registered& objects,
        const EntityDescription* entity, qint64 key, QList<QVariant>* values,
        const std::function<ManagedObject*(const EntityDescription*)>* factory = nullptr);
    QList<ManagedObject*> fetchObjects(
        const FetchRequest& request, const EntityDescription* entity, Error* error);
    // Deletes the rows of the deleted objects, inside the save's transaction. Deletions
    // that take every row of an entity from a store take them in one statement.
    bool deleteRows(
        const std::function<PersistentStore*(const ManagedObject*)>& storeOf, Error* error);
    // Hands each store that keeps a record of its saves what this save wrote to it, inside
    // the save's transaction.
    bool tellSaveHooks(const QList<std::shared_ptr<PersistentStore>>& stores,
        const std::vector<std::pair<ManagedObject*, qint64>>& insertedKeys, Error* error);

    ConcurrencyType m_type;
    QThread* m_thread = nullptr;
    dispatch::SerialQueue* m_queue = nullptr;
    std::shared_ptr<PersistentStoreCoordinator> m_coordinator;
    MergePolicy m_mergePolicy = MergePolicy::PropertyObjectTrump;
    std::vector<std::unique_ptr<ManagedObject>> m_owned;
    QList<ManagedObject*> m_inserted;
    QList<ManagedObject*> m_updated;
    QList<ManagedObject*> m_deleted;
    // The stored objects in memory by row, under their store's identifier: a context holds
    // objects of one or two stores, and a table's hundred thousand entries are smaller
    // and found quicker without the identifier in each.
    QHash<QString, Registered> m_registered;
    ManagedObject* registered(const ObjectID& id) const;
    QList<ManagedObject*> registeredObjects() const;
};

} // namespace platform::coredata
