#include "platform/coredata/StoredTextScan.h"

#include <sqlite3.h>

#include <algorithm>

namespace platform::coredata {

namespace {

enum Statement : size_t { KeysStatement, RangeStatement, RowStatement };

QByteArrayView textOf(sqlite3_stmt* query, int column)
{
    if (sqlite3_column_type(query, column) != SQLITE_TEXT)
        return {};
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(query, column));
    return QByteArrayView(bytes ? bytes : "", sqlite3_column_bytes(query, column));
}

} // namespace

StoredTextScan::StoredTextScan(std::shared_ptr<StoreReaders> readers, const Sql& sql, Binder bind)
    : m_readers(std::move(readers))
    , m_bind(std::move(bind))
{
    // Each page is read once: a small cache is soon reused, where a big one would take
    // memory for every page read (SQLite's allocator is one lock for all threads).
    m_kind.settings = "PRAGMA cache_size=-256";
    m_kind.statements = { sql.keys, sql.range, sql.row };
}

StoredTextScan::~StoredTextScan()
{
    m_readers->release(this);
}

std::optional<std::vector<qint64>> StoredTextScan::keys() const
{
    std::vector<qint64> keys;
    {
        // Given back when done, or when anything throws; closed unless the read went well.
        StoreReaders::Lease connection(*m_readers, this, m_kind);
        if (!connection)
            return std::nullopt;
        sqlite3_stmt* query = connection.statement(KeysStatement);
        m_bind(query);
        int rc;
        while ((rc = sqlite3_step(query)) == SQLITE_ROW)
            keys.push_back(sqlite3_column_int64(query, 0));
        sqlite3_reset(query);
        if (rc != SQLITE_DONE)
            return std::nullopt;
        connection.succeeded();
    }
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
    StoreReaders::Lease connection(*m_readers, this, m_kind);
    if (!connection)
        return false;
    sqlite3_stmt* query = connection.statement(RowStatement);
    m_bind(query);
    const int count = sqlite3_bind_parameter_count(query);
    int rc = SQLITE_DONE;
    bool stopped = false;
    for (auto key = keys.cbegin(); !stopped && rc == SQLITE_DONE && key != keys.cend(); ++key) {
        // An interrupt between two lookups stops none: the store's close is seen here.
        if (m_readers->isClosed()) {
            rc = SQLITE_INTERRUPT;
            break;
        }
        sqlite3_bind_int64(query, count, *key);
        if ((rc = sqlite3_step(query)) == SQLITE_ROW) {
            stopped = !row(*key, textOf(query, 1));
            rc = stopped ? SQLITE_DONE : sqlite3_step(query);
        }
        sqlite3_reset(query);
    }
    if (stopped || rc == SQLITE_DONE)
        connection.succeeded();
    return stopped || rc == SQLITE_DONE;
}

bool StoredTextScan::read(qint64 first, qint64 last, const Row& row) const
{
    StoreReaders::Lease connection(*m_readers, this, m_kind);
    if (!connection)
        return false;
    sqlite3_stmt* query = connection.statement(RangeStatement);
    m_bind(query);
    const int count = sqlite3_bind_parameter_count(query);
    sqlite3_bind_int64(query, count - 1, first);
    sqlite3_bind_int64(query, count, last);
    int rc = SQLITE_DONE;
    bool stopped = false;
    while (!stopped && (rc = sqlite3_step(query)) == SQLITE_ROW) {
        stopped = !row(sqlite3_column_int64(query, 0), textOf(query, 1));
        // The store's close may come before its interrupt does: it is seen here, so that
        // the read goes no further than the row it was on.
        if (!stopped && m_readers->isClosed()) {
            rc = SQLITE_INTERRUPT;
            break;
        }
    }
    // Reset at once: a read left open would keep the log from being copied.
    sqlite3_reset(query);
    if (stopped || rc == SQLITE_DONE)
        connection.succeeded();
    return stopped || rc == SQLITE_DONE;
}

} // namespace platform::coredata
