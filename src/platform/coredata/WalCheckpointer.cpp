#include "platform/coredata/WalCheckpointer.h"

#include <sqlite3.h>

#include <utility>

namespace platform::coredata {

WalCheckpointer::WalCheckpointer(QString path)
    : m_path(std::move(path))
{
}

WalCheckpointer::~WalCheckpointer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        // The connection stays open until the thread has ended, so it is safe to reach here.
        if (m_running && m_db)
            sqlite3_interrupt(m_db);
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    sqlite3_close_v2(m_db);
}

bool WalCheckpointer::request()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_failed || m_stopping)
            return false;
        m_requested = true;
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_one();
    return true;
}

void WalCheckpointer::waitUntilIdle()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return (!m_requested && !m_running) || m_stopping || m_failed; });
}

void WalCheckpointer::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_requested || m_stopping; });
        if (m_stopping)
            break;
        m_requested = false;
        m_running = true;
        lock.unlock();
        const bool ok = checkpoint();
        lock.lock();
        m_running = false;
        if (!ok) {
            m_failed = true;
            m_requested = false;
        }
        m_idle.notify_all();
        if (m_failed)
            break;
    }
}

bool WalCheckpointer::checkpoint()
{
    sqlite3* db = nullptr;
    {
        std::lock_guard lock(m_mutex);
        db = m_db;
    }
    if (!db) {
        // No CREATE: a file that has gone is not made again here.
        const int rc = sqlite3_open_v2(
            m_path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_close_v2(db);
            return false;
        }
        // FULL: the file is synced before the log may be reused, as the store's own
        // connection does it. Copying needs few pages of its own.
        sqlite3_exec(
            db, "PRAGMA synchronous=FULL; PRAGMA cache_size=-2048", nullptr, nullptr, nullptr);
        std::lock_guard lock(m_mutex);
        m_db = db;
        if (m_stopping)
            return true;
    }
    // Busy or interrupted leaves the rest to the next copy (or to the store's close).
    sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    return true;
}

} // namespace platform::coredata
