#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::coredata {

// The read-only connections through which other threads read a store's file beside the
// store's own connection. The store closes them all before its own: the last connection
// to close a file copies its log into it and removes the log, and a reader left open
// would keep the commits in the log, out of a file copied alone. Once the store has
// closed, no connection is opened any more: another store may be made at the same path,
// and nothing read there belongs to this one.
//
// Each user (a scan, a job) keeps its connections, prepared with its statements, idle
// here between reads; it takes one for a read on one thread and gives it back after.
// Any thread may call any of these, but never close() from within a read.
class StoreReaders {
public:
    explicit StoreReaders(QString path);
    ~StoreReaders();
    StoreReaders(const StoreReaders&) = delete;
    StoreReaders& operator=(const StoreReaders&) = delete;

    // How a user's connections are made: settings run once, then statements prepared.
    struct Kind {
        QByteArray settings;
        std::vector<QByteArray> statements;
    };
    // A connection taken for a read by one thread.
    struct Connection {
        sqlite3* db = nullptr;
        std::vector<sqlite3_stmt*> statements; // as the kind's, in order
    };

    // One of the user's idle connections, or a new one of the kind. Null once the store has
    // closed, or when the file cannot be opened or a statement prepared. `user` is any
    // address that tells the user's connections from others'.
    Connection* take(const void* user, const Kind& kind);
    // Back among the user's idle ones; closed instead when the read failed (`healthy`
    // false: it may have been interrupted) or when the store has closed meanwhile.
    void giveBack(Connection* connection, bool healthy);
    // Closes the user's idle connections, at the user's end.
    void release(const void* user);

    // Refuses any further connection, interrupts the reads under way, waits for their
    // connections to come back and closes every connection.
    void close();
    bool isClosed() const { return m_closed.load(std::memory_order_acquire); }
    // Connections open, in use or idle.
    size_t openCount() const;

    // A connection taken for the scope, given back when it goes: as healthy only when the
    // read said it went well.
    class Lease {
    public:
        Lease(StoreReaders& readers, const void* user, const Kind& kind);
        ~Lease();
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        explicit operator bool() const { return m_connection != nullptr; }
        sqlite3* db() const { return m_connection->db; }
        sqlite3_stmt* statement(size_t index) const { return m_connection->statements[index]; }
        // The read ended as it should: the connection may serve the next one.
        void succeeded() { m_healthy = true; }

    private:
        StoreReaders& m_readers;
        Connection* m_connection;
        bool m_healthy = false;
    };

private:
    struct Entry {
        std::unique_ptr<Connection> connection;
        const void* user = nullptr;
        bool taken = true;
    };
    static void closeConnection(Connection& connection);
    std::vector<Entry>::iterator find(const Connection* connection);

    const QString m_path;
    std::atomic<bool> m_closed = false;
    mutable std::mutex m_mutex;
    std::condition_variable m_returned;
    std::vector<Entry> m_entries; // guarded by m_mutex
};

} // namespace platform::coredata
