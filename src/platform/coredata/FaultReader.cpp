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

struct FaultReader::Connection {
    explicit Connection(const EntityDescription& entity)
        : reader(entity)
    {
    }
    ~Connection()
    {
        sqlite3_finalize(range);
        sqlite3_finalize(one);
        sqlite3_close_v2(db);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* db = nullptr;
    sqlite3_stmt* range = nullptr; // key BETWEEN ?1 AND ?2, in key order
    sqlite3_stmt* one = nullptr; // key = ?1
    PersistentStore::RowReader reader;
};

FaultReader::FaultReader(ManagedObjectContext& context, QString attribute, qsizetype count)
    : m_context(&context)
    , m_attribute(std::move(attribute))
    , m_objects(size_t(std::max<qsizetype>(count, 0)), nullptr)
    , m_keys(m_objects.size(), 0)
    , m_rows(m_objects.size())
{
}

FaultReader::~FaultReader() = default;

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
        if (!store || !store->isOpen() || !sqlite3_get_autocommit(store->m_db) || attribute < 0
            || object.m_entity->attributes()[attribute].type != AttributeType::String)
            return false;
        m_storeIdentifier = object.m_storeIdentifier;
        m_entity = object.m_entity;
        m_attributeIndex = attribute;
        m_path = store->path();
        m_select = store->keyAndValuesSelect(*object.m_entity, &m_key);
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
    Connection* connection = take();
    if (!connection)
        return false;
    size_t read = 0;
    // The row's values kept for its place (or places: a list may hold an object twice), its
    // attribute handed out.
    const auto keep = [&](sqlite3_stmt* statement, auto from, auto to) {
        const QList<QVariant> values = connection->reader.values(statement, 1);
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
        sqlite3_stmt* statement = connection->range;
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
        sqlite3_stmt* statement = connection->one;
        for (auto at = wanted.cbegin(); at != wanted.cend() && rc == SQLITE_DONE;) {
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
    giveBack(connection, rc == SQLITE_DONE);
    return rc == SQLITE_DONE && read == wanted.size();
}

void FaultReader::fulfill(qsizetype begin, qsizetype end)
{
    end = std::min(end, qsizetype(m_objects.size()));
    for (size_t i = size_t(std::max<qsizetype>(begin, 0)); i < size_t(std::max(begin, end)); ++i) {
        ManagedObject* object = m_objects[i];
        if (!object || m_rows[i].isEmpty())
            continue;
        // As the object's own read would leave it; one read since keeps what it read.
        if (object->m_context == m_context && !object->m_loaded) {
            object->m_values = std::move(m_rows[i]);
            object->m_loaded = true;
            object->m_batch.reset();
        }
        m_rows[i] = QList<QVariant>();
    }
}

FaultReader::Connection* FaultReader::take()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_usable)
            return nullptr;
        if (!m_free.empty()) {
            Connection* connection = m_free.back();
            m_free.pop_back();
            return connection;
        }
    }
    // Opened outside the lock: threads starting at once open theirs side by side.
    auto connection = std::make_unique<Connection>(*m_entity);
    connection->db = PersistentStore::openReader(m_path);
    const auto prepare = [&](const QByteArray& sql, sqlite3_stmt** statement) {
        return connection->db
            && sqlite3_prepare_v3(connection->db, sql.constData(), int(sql.size()),
                   SQLITE_PREPARE_PERSISTENT, statement, nullptr)
            == SQLITE_OK;
    };
    if (!prepare(m_select + " WHERE " + m_key + " BETWEEN ?1 AND ?2 ORDER BY " + m_key,
            &connection->range)
        || !prepare(m_select + " WHERE " + m_key + " = ?1", &connection->one))
        return nullptr;
    std::lock_guard lock(m_mutex);
    m_all.push_back(std::move(connection));
    return m_all.back().get();
}

void FaultReader::giveBack(Connection* connection, bool healthy)
{
    std::lock_guard lock(m_mutex);
    if (healthy) {
        m_free.push_back(connection);
        return;
    }
    m_all.erase(std::find_if(m_all.begin(), m_all.end(),
        [connection](const auto& held) { return held.get() == connection; }));
}

} // namespace platform::coredata
