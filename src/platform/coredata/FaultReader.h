#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <functional>
#include <mutex>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::coredata {

class EntityDescription;
class ManagedObject;
class ManagedObjectContext;

// One text attribute of many objects that are faults, read straight from their store on
// worker threads. A job over a whole table (every row filtered, sorted or decoded) so reads
// the rows on the pool's threads, through connections of its own, rather than loading
// every object on the context's thread, and keeps nothing of what it read: the objects stay
// faults, their values read again at their next use.
//
// Objects are added on the context's thread, each before any read of its place; reads of
// places added run on any threads, several at once, and touch neither the context nor its
// objects.
class FaultReader {
public:
    // For objects at places 0 to count - 1, of the context.
    FaultReader(ManagedObjectContext& context, QString attribute, qsizetype count);
    ~FaultReader();
    FaultReader(const FaultReader&) = delete;
    FaultReader& operator=(const FaultReader&) = delete;

    // Takes the object at its place when its next use would read its values from its store
    // (a fault of the context, of the same store and entity as the first one taken, whose
    // attribute is a text). False for any other object, whose value the caller reads the
    // usual way.
    bool add(qsizetype index, const ManagedObject& object);

    // The attribute's value of each object added at places from `begin` to `end`, as
    // storedValue() gives it once the object is read, to `found` with its place. False when
    // some could not be read (a row gone, a value of the wrong kind, a store that cannot be
    // read): reading those the usual way, on the context's thread, tells of them as it does.
    bool read(qsizetype begin, qsizetype end,
        const std::function<void(qsizetype index, const QVariant& value)>& found);

private:
    struct Connection {
        sqlite3* db = nullptr;
        sqlite3_stmt* range = nullptr; // key BETWEEN ?1 AND ?2, in key order
        sqlite3_stmt* one = nullptr; // key = ?1
    };
    // One of the connections not in use, opened if none is free; null on failure.
    Connection* take();
    void giveBack(Connection* connection, bool healthy);
    static void close(Connection* connection);
    // The value of the statement's second column; false for a value of the wrong kind.
    static bool valueOf(sqlite3_stmt* statement, QVariant& value);

    static constexpr qint64 NotAdded = -1;

    ManagedObjectContext* m_context;
    QString m_attribute;
    std::vector<qint64> m_keys; // by place; NotAdded for a place not added
    // Set with the first object added.
    bool m_chosen = false;
    bool m_usable = false;
    QString m_storeIdentifier;
    const EntityDescription* m_entity = nullptr;
    QString m_path;
    QByteArray m_select;
    QByteArray m_key; // the key column's name
    // Connections open and free, guarded by m_mutex; every connection is in it between reads.
    std::mutex m_mutex;
    std::vector<Connection*> m_free;
    std::vector<Connection*> m_all;
};

} // namespace platform::coredata
