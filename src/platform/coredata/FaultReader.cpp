#include "platform/coredata/FaultReader.h"

#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoredText.h"

#include <QMutexLocker>

#include <sqlite3.h>

#include <algorithm>

namespace platform::coredata {

FaultReader::FaultReader(ManagedObjectContext& context, QString attribute, qsizetype count)
    : m_context(&context)
    , m_attribute(std::move(attribute))
    , m_keys(size_t(std::max<qsizetype>(count, 0)), NotAdded)
{
}

FaultReader::~FaultReader()
{
    for (Connection* connection : m_all)
        close(connection);
}

bool FaultReader::add(qsizetype index, const ManagedObject& object)
{
    if (index < 0 || index >= qsizetype(m_keys.size()) || object.managedObjectContext() != m_context
        || !object.isFault())
        return false;
    const ObjectID id = object.objectID();
    if (!m_chosen) {
        m_chosen = true;
        const auto& coordinator = m_context->persistentStoreCoordinator();
        if (!coordinator)
            return false;
        QMutexLocker locker(&coordinator->m_mutex);
        const auto store = coordinator->storeWithIdentifier(id.storeIdentifier);
        const int attribute = id.entity->indexOfAttribute(m_attribute);
        // Inside a transaction of the store's own connection, rows it wrote are not yet
        // where other connections see them.
        if (!store || !store->isOpen() || !sqlite3_get_autocommit(store->m_db) || attribute < 0
            || id.entity->attributes()[attribute].type != AttributeType::String)
            return false;
        m_storeIdentifier = id.storeIdentifier;
        m_entity = id.entity;
        m_path = store->path();
        m_select = store->keyAndAttributeSelect(*id.entity, attribute, &m_key);
        m_usable = true;
    }
    if (!m_usable || id.entity != m_entity || id.storeIdentifier != m_storeIdentifier)
        return false;
    m_keys[size_t(index)] = id.key;
    return true;
}

bool FaultReader::valueOf(sqlite3_stmt* statement, QVariant& value)
{
    switch (sqlite3_column_type(statement, 1)) {
    case SQLITE_NULL:
        value = QVariant();
        return true;
    case SQLITE_TEXT: {
        // As the store's fetch holds a text; an id's 16 bytes read as this same text.
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
        const int size = sqlite3_column_bytes(statement, 1);
        value = size >= StoredText::LongTextBytes ? StoredText::held(QByteArray(bytes, size))
                                                  : QVariant(QString::fromUtf8(bytes, size));
        return true;
    }
    default:
        // The store's own read tells of it.
        return false;
    }
}

bool FaultReader::read(qsizetype begin, qsizetype end,
    const std::function<void(qsizetype index, const QVariant& value)>& found)
{
    begin = std::max<qsizetype>(begin, 0);
    end = std::min(end, qsizetype(m_keys.size()));
    std::vector<std::pair<qint64, qsizetype>> wanted; // key, place
    for (qsizetype i = begin; i < end; ++i) {
        if (m_keys[size_t(i)] != NotAdded)
            wanted.emplace_back(m_keys[size_t(i)], i);
    }
    if (wanted.empty())
        return true;
    std::sort(wanted.begin(), wanted.end());
    Connection* connection = take();
    if (!connection)
        return false;
    size_t read = 0;
    bool healthy = true;
    QVariant value;
    const qint64 first = wanted.front().first;
    const qint64 last = wanted.back().first;
    if (last - first < 2 * qint64(wanted.size())) {
        // Rows stored together, as a table's mostly are: one walk from the first to the last.
        sqlite3_stmt* statement = connection->range;
        sqlite3_bind_int64(statement, 1, first);
        sqlite3_bind_int64(statement, 2, last);
        auto next = wanted.cbegin();
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            const qint64 key = sqlite3_column_int64(statement, 0);
            while (next != wanted.cend() && next->first < key)
                ++next;
            if (next == wanted.cend() || next->first != key)
                continue;
            if (!valueOf(statement, value))
                break;
            // A place may hold an object twice.
            for (; next != wanted.cend() && next->first == key; ++next, ++read)
                found(next->second, value);
        }
        healthy = rc == SQLITE_ROW || rc == SQLITE_DONE;
        sqlite3_reset(statement);
    } else {
        sqlite3_stmt* statement = connection->one;
        for (size_t i = 0; i < wanted.size() && read == i; ++i) {
            sqlite3_bind_int64(statement, 1, wanted[i].first);
            const int rc = sqlite3_step(statement);
            if (rc == SQLITE_ROW && valueOf(statement, value)) {
                found(wanted[i].second, value);
                ++read;
            }
            healthy = rc == SQLITE_ROW || rc == SQLITE_DONE;
            sqlite3_reset(statement);
        }
    }
    giveBack(connection, healthy);
    return read == wanted.size();
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
    auto* connection = new Connection;
    connection->db = PersistentStore::openReader(m_path);
    const auto prepare = [&](const QByteArray& sql, sqlite3_stmt** statement) {
        return connection->db
            && sqlite3_prepare_v3(connection->db, sql.constData(), int(sql.size()),
                   SQLITE_PREPARE_PERSISTENT, statement, nullptr)
            == SQLITE_OK;
    };
    if (!prepare(m_select + " WHERE " + m_key + " BETWEEN ?1 AND ?2 ORDER BY " + m_key,
            &connection->range)
        || !prepare(m_select + " WHERE " + m_key + " = ?1", &connection->one)) {
        close(connection);
        return nullptr;
    }
    std::lock_guard lock(m_mutex);
    m_all.push_back(connection);
    return connection;
}

void FaultReader::giveBack(Connection* connection, bool healthy)
{
    std::lock_guard lock(m_mutex);
    if (healthy) {
        m_free.push_back(connection);
        return;
    }
    m_all.erase(std::remove(m_all.begin(), m_all.end(), connection), m_all.end());
    close(connection);
}

void FaultReader::close(Connection* connection)
{
    sqlite3_finalize(connection->range);
    sqlite3_finalize(connection->one);
    sqlite3_close_v2(connection->db);
    delete connection;
}

} // namespace platform::coredata
