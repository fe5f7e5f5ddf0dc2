#include "platform/coredata/FaultReader.h"

#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/FaultBatch.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoredText.h"

#include <QMutexLocker>

#include <sqlite3.h>

#include <algorithm>

namespace platform::coredata {

namespace {

enum Statement : size_t { Range, One };

} // namespace

FaultReader::FaultReader(ManagedObjectContext& context, QString attribute, qsizetype count)
    : m_context(&context)
    , m_attribute(std::move(attribute))
    , m_objects(size_t(std::max<qsizetype>(count, 0)), nullptr)
    , m_keys(m_objects.size(), 0)
    , m_rows(m_objects.size())
{
}

FaultReader::~FaultReader()
{
    if (m_readers)
        m_readers->release(this);
}

bool FaultReader::add(ManagedObject& object, qsizetype index)
{
    if (index < 0 || index >= qsizetype(m_objects.size()) || object.m_context != m_context
        || object.m_loaded)
        return false;
    if (!m_chosen) {
        m_chosen = true;
        const auto& coordinator = m_context->persistentStoreCoordinator();
        if (!coordinator)
            return false;
        QMutexLocker locker(&coordinator->m_mutex);
        const auto store = coordinator->storeWithIdentifier(object.m_storeIdentifier);
        const int attribute = object.m_entity->indexOfAttribute(m_attribute);
        // Inside a transaction of the store's own connection, rows it wrote are not yet
        // where other connections see them.
        if (!store || !store->isOpen() || !store->readers() || store->readers()->isClosed()
            || !sqlite3_get_autocommit(store->m_db) || attribute < 0
            || object.m_entity->attributes()[attribute].type != AttributeType::String)
            return false;
        m_storeIdentifier = object.m_storeIdentifier;
        m_entity = object.m_entity;
        m_attributeIndex = attribute;
        m_storesGeneration = coordinator->m_storesGeneration;
        m_readers = store->readers();
        QByteArray key;
        const QByteArray select = store->keyAndValuesSelect(*object.m_entity, &key);
        // Pages are read once, in key order: a small cache keeps the tree's upper pages.
        m_kind.settings = "PRAGMA cache_size=-1024";
        m_kind.statements = { select + " WHERE " + key + " BETWEEN ?1 AND ?2 ORDER BY " + key,
            select + " WHERE " + key + " = ?1" };
        m_usable = true;
    }
    if (!m_usable || object.m_entity != m_entity || object.m_storeIdentifier != m_storeIdentifier)
        return false;
    m_objects[size_t(index)] = &object;
    m_keys[size_t(index)] = object.m_key;
    return true;
}

bool FaultReader::read(qsizetype begin, qsizetype end,
    const std::function<void(qsizetype index, const QVariant& value)>& found)
{
    begin = std::max<qsizetype>(begin, 0);
    end = std::min(end, qsizetype(m_objects.size()));
    std::vector<std::pair<qint64, qsizetype>> wanted; // key, place
    for (qsizetype i = begin; i < end; ++i) {
        if (m_objects[size_t(i)])
            wanted.emplace_back(m_keys[size_t(i)], i);
    }
    if (wanted.empty())
        return true;
    std::sort(wanted.begin(), wanted.end());
    if (!m_usable)
        return false;
    // Given back when done, or when `found` throws; closed unless the read went well.
    StoreReaders::Lease connection(*m_readers, this, m_kind);
    if (!connection)
        return false;
    PersistentStore::RowReader reader(*m_entity);
    size_t read = 0;
    // The row's values kept for its place (or places: a list may hold an object twice), its
    // attribute handed out.
    const auto keep = [&](sqlite3_stmt* statement, auto from, auto to) {
        const QList<QVariant> values = reader.values(statement, 1);
        const QVariant& held = values[m_attributeIndex];
        const QVariant value = StoredText::isId(held) ? StoredText::readable(held) : held;
        for (auto at = from; at != to; ++at, ++read) {
            found(at->second, value);
            m_rows[size_t(at->second)] = values;
        }
    };
    int rc = SQLITE_DONE;
    const qint64 first = wanted.front().first;
    const qint64 last = wanted.back().first;
    if (last - first < 2 * qint64(wanted.size())) {
        // Rows stored together, as a table's mostly are: one walk from the first to the last.
        sqlite3_stmt* statement = connection.statement(Range);
        sqlite3_bind_int64(statement, 1, first);
        sqlite3_bind_int64(statement, 2, last);
        auto next = wanted.cbegin();
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            const qint64 key = sqlite3_column_int64(statement, 0);
            while (next != wanted.cend() && next->first < key)
                ++next;
            if (next == wanted.cend() || next->first != key)
                continue;
            auto past = next;
            while (past != wanted.cend() && past->first == key)
                ++past;
            keep(statement, next, past);
            next = past;
        }
        sqlite3_reset(statement);
    } else {
        sqlite3_stmt* statement = connection.statement(One);
        for (auto at = wanted.cbegin(); at != wanted.cend() && rc == SQLITE_DONE;) {
            // An interrupt between two lookups stops none: the store's close is seen here.
            if (m_readers->isClosed()) {
                rc = SQLITE_INTERRUPT;
                break;
            }
            auto past = at;
            while (past != wanted.cend() && past->first == at->first)
                ++past;
            sqlite3_bind_int64(statement, 1, at->first);
            rc = sqlite3_step(statement);
            if (rc == SQLITE_ROW) {
                keep(statement, at, past);
                rc = SQLITE_DONE;
            }
            sqlite3_reset(statement);
            at = past;
        }
    }
    if (rc == SQLITE_DONE)
        connection.succeeded();
    return rc == SQLITE_DONE && read == wanted.size();
}

bool FaultReader::storeUnchanged() const
{
    if (!m_readers || m_readers->isClosed())
        return false;
    const auto& coordinator = m_context->persistentStoreCoordinator();
    if (!coordinator)
        return false;
    QMutexLocker locker(&coordinator->m_mutex);
    return coordinator->m_storesGeneration == m_storesGeneration;
}

bool FaultReader::fulfill(qsizetype begin, qsizetype end)
{
    end = std::min(end, qsizetype(m_objects.size()));
    const bool unchanged = storeUnchanged();
    for (size_t i = size_t(std::max<qsizetype>(begin, 0)); i < size_t(std::max(begin, end)); ++i) {
        ManagedObject* object = m_objects[i];
        if (!object || m_rows[i].isEmpty())
            continue;
        if (!unchanged) {
            m_rows[i] = QList<QVariant>();
            continue;
        }
        // As the object's own read would leave it; one read since keeps what it read.
        if (object->m_context == m_context && !object->m_loaded) {
            object->m_values = std::move(m_rows[i]);
            object->m_loaded = true;
            object->m_batch.reset();
        }
        m_rows[i] = QList<QVariant>();
    }
    return unchanged;
}

} // namespace platform::coredata
