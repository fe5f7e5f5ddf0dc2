#pragma once

#include "platform/coredata/StoreReaders.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3_stmt;

namespace platform::coredata {

// Reads one text attribute of the rows a predicate selects straight from a store's file,
// on read-only connections of its own: several threads read parts of the same rows at
// once, without the coordinator's lock and beside the contexts' own reads. Each read sees
// what was committed when it began (a context's unsaved changes never count). Its
// connections are the store's readers: once the store has closed (removed, migrated, made
// again at its path) the scan reads nothing more, and a read under way stops. Made by
// PersistentStoreCoordinator::storedTextScan; any thread may use it.
class StoredTextScan {
public:
    // Binds the predicate's operands to a statement's first parameters.
    using Binder = std::function<void(sqlite3_stmt*)>;

    // What the scan runs on the store's file: the rows' keys; their keys and texts with
    // keys between the two last parameters; the key and text of the row of the key in the
    // last parameter.
    struct Sql {
        QByteArray keys;
        QByteArray range;
        QByteArray row;
    };
    StoredTextScan(std::shared_ptr<StoreReaders> readers, const Sql& sql, Binder bind);
    ~StoredTextScan();
    StoredTextScan(const StoredTextScan&) = delete;
    StoredTextScan& operator=(const StoredTextScan&) = delete;

    // The rows' keys, in order; nullopt when the file cannot be read or the store has closed.
    std::optional<std::vector<qint64>> keys() const;

    // Hands each of the rows of those keys (in order) still there to `row`, in key order,
    // with its text's UTF-8 bytes (valid during the call; a null view for no text, or for
    // a value that is no text); `row` returns false to stop. False when the rows could not
    // be read to the end (the store closing stops a read).
    using Row = std::function<bool(qint64 key, QByteArrayView text)>;
    bool read(const std::vector<qint64>& keys, const Row& row) const;
    // The same for every row of a key from `first` to `last`.
    bool read(qint64 first, qint64 last, const Row& row) const;

private:
    std::shared_ptr<StoreReaders> m_readers;
    // Statements: the keys, the range, the row.
    StoreReaders::Kind m_kind;
    Binder m_bind;
};

} // namespace platform::coredata
