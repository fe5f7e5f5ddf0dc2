#include "platform/coredata/StoredTextScan.h"

#include <sqlite3.h>

#include <algorithm>

namespace platform::coredata {

namespace {

constexpr int BusyTimeoutMs = 5000;

sqlite3_stmt* prepared(sqlite3* db, const QByteArray& sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(
            db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &statement, nullptr)
        != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    return statement;
}

QByteArrayView textOf(sqlite3_stmt* query, int column)
{
    if (sqlite3_column_type(query, column) != SQLITE_TEXT)
        return {};
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(query, column));
    return QByteArrayView(bytes ? bytes : "", sqlite3_column_bytes(query, column));
}

} // namespace

StoredTextScan::StoredTextScan(QString path, Sql sql, Binder bind)
    : m_path(std::move(path))
    , m_sql(std::move(sql))
    , m_bind(std::move(bind))
{
}

StoredTextScan::~StoredTextScan()
{
    for (const Connection& connection : m_idle)
        close(connection);
}

std::optional<StoredTextScan::Connection> StoredTextScan::take() const
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_idle.empty()) {
            const Connection connection = m_idle.back();
            m_idle.pop_back();
            return connection;
        }
    }
    // Read-only: it never writes, and never copies the log into the file as the last
    // connection to close it would.
    Connection connection;
    if (sqlite3_open_v2(m_path.toUtf8().constData(), &connection.db,
            SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        close(connection);
        return std::nullopt;
    }
    sqlite3_busy_timeout(connection.db, BusyTimeoutMs);
    // Each page is read once: a small cache is soon reused, where a big one would take
    // memory for every page read (SQLite's allocator is one lock for all threads).
    sqlite3_exec(connection.db, "PRAGMA cache_size=-256", nullptr, nullptr, nullptr);
    connection.keys = prepared(connection.db, m_sql.keys);
    connection.range = prepared(connection.db, m_sql.range);
    connection.row = prepared(connection.db, m_sql.row);
    if (!connection.keys || !connection.range || !connection.row) {
        close(connection);
        return std::nullopt;
    }
    return connection;
}

void StoredTextScan::giveBack(const Connection& connection) const
{
    std::lock_guard lock(m_mutex);
    m_idle.push_back(connection);
}

void StoredTextScan::close(const Connection& connection)
{
    sqlite3_finalize(connection.keys);
    sqlite3_finalize(connection.range);
    sqlite3_finalize(connection.row);
    sqlite3_close_v2(connection.db);
}

std::optional<std::vector<qint64>> StoredTextScan::keys() const
{
    const auto connection = take();
    if (!connection)
        return std::nullopt;
    sqlite3_stmt* query = connection->keys;
    m_bind(query);
    std::vector<qint64> keys;
    int rc;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(query, 0));
    sqlite3_reset(query);
    giveBack(*connection);
    if (rc != SQLITE_DONE)
        return std::nullopt;
    // In the order of an index the rows are found by, cheaper to sort here than in SQLite.
    if (!std::is_sorted(keys.cbegin(), keys.cend()))
        std::sort(keys.begin(), keys.end());
    return keys;
}

bool StoredTextScan::read(const std::vector<qint64>& keys, const Row& row) const
{
    if (keys.empty())
        return true;
    // Keys close together (rows stored together, as a table's mostly are) are read in one
    // walk from the first to the last, skipping the rows not asked for; others one by one.
    if (keys.back() - keys.front() < 2 * qint64(keys.size())) {
        auto wanted = keys.cbegin();
        return read(keys.front(), keys.back(), [&](qint64 key, QByteArrayView text) {
            while (wanted != keys.cend() && *wanted < key)
                ++wanted;
            return wanted == keys.cend() || *wanted != key || row(key, text);
        });
    }
    const auto connection = take();
    if (!connection)
        return false;
    sqlite3_stmt* query = connection->row;
    m_bind(query);
    const int count = sqlite3_bind_parameter_count(query);
    int rc = SQLITE_DONE;
    bool stopped = false;
    for (auto key = keys.cbegin(); !stopped && rc == SQLITE_DONE && key != keys.cend(); ++key) {
        sqlite3_bind_int64(query, count, *key);
        if ((rc = sqlite3_step(query)) == SQLITE_ROW) {
            stopped = !row(*key, textOf(query, 1));
            rc = stopped ? SQLITE_DONE : sqlite3_step(query);
        }
        sqlite3_reset(query);
    }
    giveBack(*connection);
    return stopped || rc == SQLITE_DONE;
}

bool StoredTextScan::read(qint64 first, qint64 last, const Row& row) const
{
    const auto connection = take();
    if (!connection)
        return false;
    sqlite3_stmt* query = connection->range;
    m_bind(query);
    const int count = sqlite3_bind_parameter_count(query);
    sqlite3_bind_int64(query, count - 1, first);
    sqlite3_bind_int64(query, count, last);
    int rc = SQLITE_DONE;
    bool stopped = false;
    while (!stopped && (rc = sqlite3_step(query)) == SQLITE_ROW)
        stopped = !row(sqlite3_column_int64(query, 0), textOf(query, 1));
    // Reset at once: a read left open would keep the log from being copied.
    sqlite3_reset(query);
    giveBack(*connection);
    return stopped || rc == SQLITE_DONE;
}

} // namespace platform::coredata
