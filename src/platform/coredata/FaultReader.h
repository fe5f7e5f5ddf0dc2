#pragma once

#include "platform/coredata/StoreReaders.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace platform::coredata {

class EntityDescription;
class ManagedObject;
class ManagedObjectContext;

// The rows of many objects that are faults, read straight from their store on worker
// threads. A job over a whole table (every row filtered, sorted or decoded) so reads the
// rows on the pool's threads, through connections of its own, rather than one batch after
// another on the context's thread; the objects are then given the values read, as their
// next use would have read them, so that the next job finds them in memory.
//
// Objects are added on the context's thread, each before any read of its place; reads of
// places added run on any threads, several at once, and touch neither the context nor its
// objects; fulfill() runs on the context's thread.
class FaultReader {
public:
    // For objects at places 0 to count - 1, of the context; `attribute` (a text) is the one
    // read() hands out.
    FaultReader(ManagedObjectContext& context, QString attribute, qsizetype count);
    ~FaultReader();
    FaultReader(const FaultReader&) = delete;
    FaultReader& operator=(const FaultReader&) = delete;

    // Takes the object at its place when its next use would read its values from its store
    // (a fault of the context, of the same store and entity as the first one taken). False
    // for any other object, whose value the caller reads the usual way.
    bool add(ManagedObject& object, qsizetype index);

    // The attribute's value of each object added at places from `begin` to `end`, as
    // storedValue() gives it once the object is read, to `found` with its place. False when
    // some rows are gone, the store cannot be read or has closed (nothing is read once it
    // has): reading those objects the usual way, on the context's thread, tells of them as
    // it does.
    bool read(qsizetype begin, qsizetype end,
        const std::function<void(qsizetype index, const QVariant& value)>& found);

    // Gives the objects read at places from `begin` to `end` the values read, unless they
    // were read since, and lets the values go. On the context's thread, once those places'
    // reads are done. When the coordinator's stores have changed since the first object
    // was added (the store removed, migrated, made again at its path), the values may be
    // another file's: they are let go of, the objects left as they were, and it is false.
    bool fulfill(qsizetype begin, qsizetype end);

private:
    // The store the objects were added from is still the one they read from.
    bool storeUnchanged() const;

    ManagedObjectContext* m_context;
    QString m_attribute;
    std::vector<ManagedObject*> m_objects; // by place; null for a place not added
    std::vector<qint64> m_keys; // by place
    std::vector<QList<QVariant>> m_rows; // the values read, by place
    // Set with the first object added.
    bool m_chosen = false;
    bool m_usable = false;
    QString m_storeIdentifier;
    const EntityDescription* m_entity = nullptr;
    int m_attributeIndex = -1;
    quint64 m_storesGeneration = 0; // the coordinator's, when the first object was added
    // The store's reading connections, and how this reader's are made: statement 0 reads
    // the rows of keys between ?1 and ?2 in key order, statement 1 the row of key ?1.
    std::shared_ptr<StoreReaders> m_readers;
    StoreReaders::Kind m_kind;
};

} // namespace platform::coredata
