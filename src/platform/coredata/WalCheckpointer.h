#pragma once

#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

struct sqlite3;

namespace platform::coredata {

// Copies a store's write-ahead log into its file on a thread and a connection of its own,
// so that a save returns once its log is written and synced, without also waiting for the
// copy. The copy is SQLite's passive checkpoint: it never holds up a save or a read, and a
// save made while it runs is copied by the next one. A save is as durable either way.
class WalCheckpointer {
public:
    // For the store file at the path, which must exist and be in WAL mode.
    explicit WalCheckpointer(QString path);
    // Stops a copy under way (SQLite leaves the log and the file consistent at any point)
    // and waits for the thread.
    ~WalCheckpointer();
    WalCheckpointer(const WalCheckpointer&) = delete;
    WalCheckpointer& operator=(const WalCheckpointer&) = delete;

    // Asks for a copy and returns at once; requests made while one runs bring one more
    // run after it. False when copies cannot be made here (the store file could not be
    // opened a second time): the caller copies the log itself.
    bool request();
    // Waits until every requested copy has run.
    void waitUntilIdle();

private:
    void run();
    // One copy, on the thread. False when the connection could not be opened.
    bool checkpoint();

    const QString m_path;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    bool m_requested = false;
    bool m_running = false;
    bool m_stopping = false;
    bool m_failed = false;
    sqlite3* m_db = nullptr; // opened on the thread at its first copy, under the mutex
    std::thread m_thread;
};

} // namespace platform::coredata
