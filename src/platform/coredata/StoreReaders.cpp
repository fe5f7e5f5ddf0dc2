#include "platform/coredata/StoreReaders.h"

#include "platform/coredata/PersistentStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>

namespace platform::coredata {

namespace {

// How often close() interrupts the reads under way again: an interrupt finds nothing to
// stop while a read is between two statements, and the next statement would then run.
constexpr auto InterruptAgain = std::chrono::milliseconds(10);

} // namespace

StoreReaders::StoreReaders(QString path)
    : m_path(std::move(path))
{
}

StoreReaders::~StoreReaders()
{
    // Every user holds this while it reads: none is taken now.
    for (Entry& entry : m_entries)
        closeConnection(*entry.connection);
}

void StoreReaders::closeConnection(Connection& connection)
{
    for (sqlite3_stmt* statement : connection.statements)
        sqlite3_finalize(statement);
    connection.statements.clear();
    sqlite3_close_v2(connection.db);
    connection.db = nullptr;
}

std::vector<StoreReaders::Entry>::iterator StoreReaders::find(const Connection* connection)
{
    return std::find_if(m_entries.begin(), m_entries.end(),
        [connection](const Entry& entry) { return entry.connection.get() == connection; });
}

StoreReaders::Connection* StoreReaders::take(const void* user, const Kind& kind)
{
    Connection* connection = nullptr;
    {
        std::lock_guard lock(m_mutex);
        if (isClosed())
            return nullptr;
        for (Entry& entry : m_entries) {
            if (!entry.taken && entry.user == user) {
                entry.taken = true;
                return entry.connection.get();
            }
        }
        // Counted as taken while it opens, so that close() waits for it.
        m_entries.push_back({ std::make_unique<Connection>(), user, true });
        connection = m_entries.back().connection.get();
    }
    // Opened outside the lock: threads starting at once open theirs side by side.
    Connection opened;
    opened.db = PersistentStore::openReader(m_path);
    bool ok = opened.db
        && sqlite3_exec(opened.db, kind.settings.constData(), nullptr, nullptr, nullptr)
            == SQLITE_OK;
    for (const QByteArray& sql : kind.statements) {
        sqlite3_stmt* statement = nullptr;
        ok = ok
            && sqlite3_prepare_v3(opened.db, sql.constData(), int(sql.size()),
                   SQLITE_PREPARE_PERSISTENT, &statement, nullptr)
                == SQLITE_OK;
        if (statement)
            opened.statements.push_back(statement);
    }
    std::lock_guard lock(m_mutex);
    if (!ok || isClosed()) {
        closeConnection(opened);
        m_entries.erase(find(connection));
        m_returned.notify_all();
        return nullptr;
    }
    *connection = std::move(opened);
    return connection;
}

void StoreReaders::giveBack(Connection* connection, bool healthy)
{
    if (!connection)
        return;
    std::lock_guard lock(m_mutex);
    const auto entry = find(connection);
    if (entry == m_entries.end())
        return;
    if (healthy && !isClosed()) {
        entry->taken = false;
    } else {
        closeConnection(*entry->connection);
        m_entries.erase(entry);
    }
    m_returned.notify_all();
}

void StoreReaders::release(const void* user)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [user](Entry& entry) {
        if (entry.taken || entry.user != user)
            return false;
        closeConnection(*entry.connection);
        return true;
    });
}

void StoreReaders::close()
{
    std::unique_lock lock(m_mutex);
    m_closed.store(true, std::memory_order_release);
    const auto anyTaken = [this] {
        return std::any_of(
            m_entries.cbegin(), m_entries.cend(), [](const Entry& entry) { return entry.taken; });
    };
    // A taken connection is closed only under the lock, by the one giving it back.
    while (anyTaken()) {
        for (const Entry& entry : m_entries) {
            if (entry.taken && entry.connection->db)
                sqlite3_interrupt(entry.connection->db);
        }
        m_returned.wait_for(lock, InterruptAgain);
    }
    for (Entry& entry : m_entries)
        closeConnection(*entry.connection);
    m_entries.clear();
}

size_t StoreReaders::openCount() const
{
    std::lock_guard lock(m_mutex);
    return m_entries.size();
}

StoreReaders::Lease::Lease(StoreReaders& readers, const void* user, const Kind& kind)
    : m_readers(readers)
    , m_connection(readers.take(user, kind))
{
}

StoreReaders::Lease::~Lease()
{
    m_readers.giveBack(m_connection, m_healthy);
}

} // namespace platform::coredata
