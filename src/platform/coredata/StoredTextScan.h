#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::coredata {

// Reads one text attribute of the rows a predicate selects straight from a store's file,
// on read-only connections of its own: several threads read parts of the same rows at
// once, without the coordinator's lock and beside the contexts' own reads. Each read sees
// what was committed when it began (a context's unsaved changes never count). Made by
// PersistentStoreCoordinator::storedTextScan; any thread may use it.
class StoredTextScan {
public:
    // Binds the predicate's operands to a statement's first parameters.
    using Binder = std::function<void(sqlite3_stmt*)>;

    // What the scan runs on the file at the path: the rows' keys; their keys and texts
    // with keys between the two last parameters; the key and text of the row of the key
    // in the last parameter.
    struct Sql {
        QByteArray keys;
        QByteArray range;
        QByteArray row;
    };
    StoredTextScan(QString path, Sql sql, Binder bind);
    ~StoredTextScan();
    StoredTextScan(const StoredTextScan&) = delete;
    StoredTextScan& operator=(const StoredTextScan&) = delete;

    // The rows' keys, in order; nullopt when the file cannot be read.
    std::optional<std::vector<qint64>> keys() const;

    // Hands each of the rows of those keys (in order) still there to `row`, in key order,
    // with its text's UTF-8 bytes (valid during the call; a null view for no text, or for
    // a value that is no text); `row` returns false to stop. False when the rows could not
    // be read to the end.
    using Row = std::function<bool(qint64 key, QByteArrayView text)>;
    bool read(const std::vector<qint64>& keys, const Row& row) const;
    // The same for every row of a key from `first` to `last`.
    bool read(qint64 first, qint64 last, const Row& row) const;

private:
    struct Connection {
        sqlite3* db = nullptr;
        sqlite3_stmt* keys = nullptr;
        sqlite3_stmt* range = nullptr;
        sqlite3_stmt* row = nullptr;
    };
    // A connection no other read uses now, opened when every one is in use; nullopt when
    // the file cannot be opened.
    std::optional<Connection> take() const;
    void giveBack(const Connection& connection) const;
    static void close(const Connection& connection);

    const QString m_path;
    const Sql m_sql;
    const Binder m_bind;
    mutable std::mutex m_mutex;
    mutable std::vector<Connection> m_idle;
};

} // namespace platform::coredata
