#pragma once

#include "platform/Error.h"
#include "platform/coredata/FetchRequest.h"

#include <QBitArray>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QUrl>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::coredata {

class EntityDescription;
class ManagedObjectModel;
class StoreReaders;
class StoreSaveHook;
class WalCheckpointer;

// One SQLite store file added to a coordinator: a table per entity, a column per
// attribute, a metadata table. Only its coordinator and the coordinator's contexts
// read and write it, always holding the coordinator's lock.
class PersistentStore {
public:
    ~PersistentStore();
    PersistentStore(const PersistentStore&) = delete;
    PersistentStore& operator=(const PersistentStore&) = delete;

    const QString& type() const { return m_type; }
    const QString& configurationName() const { return m_configuration; }
    const QUrl& URL() const { return m_url; }
    const QVariantMap& options() const { return m_options; }
    // The store's identity, made with the file and kept in its metadata (StoreUUIDKey).
    const QString& identifier() const { return m_identifier; }
    bool isReadOnly() const { return m_readOnly; }
    // False once the store has been removed from its coordinator.
    bool isOpen() const { return m_db != nullptr; }
    // The metadata as last read or written.
    const QVariantMap& metadata() const { return m_metadata; }
    // Waits until the log that big saves left has been copied into the file (a copy runs
    // on its own after such a save; a save never waits for it).
    void waitForCheckpoint();
    // The connections that read the file on other threads; closed, and refusing new ones,
    // once the store has closed. Null for a store that never opened.
    const std::shared_ptr<StoreReaders>& readers() const { return m_readers; }

private:
    friend class PersistentStoreCoordinator;
    friend class ManagedObjectContext;
    friend class UbiquitousContent;
    friend class FaultReader;
    friend class StoreReaders;

    struct Row {
        qint64 key = 0;
        QList<QVariant> values; // empty when the values were not asked for
    };

    PersistentStore(std::shared_ptr<const ManagedObjectModel> model, QString type,
        QString configuration, QUrl url, QVariantMap options);

    [[nodiscard]] static std::shared_ptr<PersistentStore> open(
        std::shared_ptr<const ManagedObjectModel> model, const QString& type,
        const QString& configuration, const QUrl& url, const QVariantMap& options, Error* error);
    // Reads the metadata of a store file without adding it anywhere.
    [[nodiscard]] static std::optional<QVariantMap> readMetadata(const QString& path, Error* error);

    void close();
    // A connection of its own that only reads the store file at the path, for reads on
    // other threads (each connection on one thread at a time); null when it cannot be opened.
    // Opened through readers() so that the store closes it before its own.
    [[nodiscard]] static sqlite3* openReader(const QString& path);

    // SQLite's call after every commit, with the pages the log holds.
    static int logWritten(void* store, sqlite3* db, const char* name, int pages);
    [[nodiscard]] bool writeMetadata(const QVariantMap& metadata, Error* error);
    // Rows inserted, changed or deleted through this store since it was opened.
    qint64 changeCount() const;

    [[nodiscard]] std::optional<std::vector<Row>> fetch(const EntityDescription& entity,
        const Predicate& predicate, const QList<SortDescriptor>& sorts, quint64 limit,
        bool withValues, Error* error);
    // The rows of those keys that still exist, with their values, in key order: every
    // attribute's, or only those of the attributes named (in that order) when given.
    [[nodiscard]] std::optional<std::vector<Row>> fetchRows(const EntityDescription& entity,
        QList<qint64> keys, Error* error, const QStringList* chosen = nullptr);
    [[nodiscard]] std::optional<quint64> count(
        const EntityDescription& entity, const Predicate& predicate, Error* error);
    [[nodiscard]] std::optional<QList<QVariantMap>> fetchDictionaries(
        const EntityDescription& entity, const FetchRequest& request, Error* error);

    [[nodiscard]] bool begin(Error* error);
    [[nodiscard]] bool commit(Error* error);
    void rollback();
    // Lets the save under way keep up to four times the usual pages in memory, until its
    // commit or rollback: for saves that write tens of thousands of rows.
    void growCacheForSave();
    void shrinkCache();
    // Lets the cache go of the pages reads brought in, once they pass a few megabytes.
    void releaseReadPages();
    // Inserts a row; key 0 lets the store choose. Returns the row's key, 0 on failure.
    [[nodiscard]] qint64 insertRow(
        const EntityDescription& entity, const QList<QVariant>& values, qint64 key, Error* error);
    // Inserts rows (values as for insertRow) under new keys, which it appends to `keys` in
    // the rows' order. False, and the error, on failure; the caller then rolls back.
    [[nodiscard]] bool insertRows(const EntityDescription& entity,
        const std::vector<const QList<QVariant>*>& rows, std::vector<qint64>& keys, Error* error);
    // Writes the values whose bit is set (all when `changed` is empty). nullopt on
    // failure, false when the row no longer exists.
    [[nodiscard]] std::optional<bool> updateRow(const EntityDescription& entity, qint64 key,
        const QList<QVariant>& values, const QBitArray& changed, Error* error);
    [[nodiscard]] bool deleteRow(const EntityDescription& entity, qint64 key, Error* error);
    // The key SQLite would give the entity's next new row: past every key the table holds
    // and, for a table that never reuses keys, every key it ever held. nullopt on failure;
    // `empty` tells whether the table holds no row.
    [[nodiscard]] std::optional<qint64> nextKey(
        const EntityDescription& entity, bool* empty, Error* error);
    // The definitions of the table's own indexes (not those of its constraints), by name.
    [[nodiscard]] std::optional<QList<std::pair<QByteArray, QByteArray>>> indexesOf(
        const EntityDescription& entity, Error* error);
    // The keys of the entity's rows, at most `limit` of them, in no order.
    [[nodiscard]] std::optional<std::vector<qint64>> keys(
        const EntityDescription& entity, qint64 limit, Error* error);
    // Drops the entity's own indexes, inside the save's transaction, for rows to come:
    // sorting every entry once when they are in is cheaper than finding each one's place
    // as it comes. Their definitions, for buildIndexes; those named in `kept`, and those
    // that could not be dropped, are kept up as the rows come.
    QList<QByteArray> dropIndexes(const EntityDescription& entity, const QStringList& kept = {});
    [[nodiscard]] bool buildIndexes(const QList<QByteArray>& definitions, Error* error);
    // Deletes every row of the entity. SQLite then frees the table's pages whole rather
    // than taking the rows out one by one, updating every index for each.
    [[nodiscard]] bool deleteAllRows(const EntityDescription& entity, Error* error);

    // An entity's table and column names, quoted for SQL once: fetches and saves run by
    // the thousand and would otherwise quote every name again each time.
    struct EntitySql {
        QString entityName; // to tell a reused address from the entity it was made for
        QByteArray table;
        QList<QByteArray> columns; // declared order
        QByteArray columnList; // ", col1, col2, ..." to follow the key column
    };
    const EntitySql& sqlOf(const EntityDescription& entity);
    QByteArray columnOf(const EntityDescription& entity, const QString& attribute);
    // "SELECT key, every attribute FROM table", for a condition on the key (named in `key`)
    // to follow.
    QByteArray keyAndValuesSelect(const EntityDescription& entity, QByteArray* key);
    // Reads rows' values from a statement as fetches read them, a text repeated from one row
    // to the next shared. One for each statement stepped, used where it is.
    class RowReader {
    public:
        explicit RowReader(const EntityDescription& entity);
        ~RowReader();
        RowReader(const RowReader&) = delete;
        RowReader& operator=(const RowReader&) = delete;
        // Every attribute's value, from the statement's column `first` on.
        QList<QVariant> values(sqlite3_stmt* statement, int first);

    private:
        struct LastTexts;
        const EntityDescription* m_entity;
        std::unique_ptr<LastTexts> m_last;
    };

    // What the text of a select depends on. Every read of the store is prepared from one:
    // fetches repeated by the thousand (the next row number for every new row) find their
    // statement by it without making the text again.
    struct Select {
        enum class Columns { Key, KeyAndValues, Chosen, KeyAndChosen, Count };
        const EntityDescription* entity = nullptr;
        QString entityName; // to tell a reused address from the entity it was made for
        Columns columns = Columns::Key;
        QStringList chosen; // Chosen, KeyAndChosen: the attributes, in order
        bool distinct = false;
        QStringList predicateAttributes; // WHERE a IS ? AND b IS ?
        int keys = 0; // or WHERE key IN (?, ...) with this many keys
        bool keyRange = false; // or WHERE key BETWEEN ? AND ?
        QList<SortDescriptor> sorts; // ORDER BY these
        bool keyTieBreak = false; // ... then by key
        bool limited = false; // LIMIT ?
        bool operator==(const Select&) const = default;
    };
    static Select selectOf(const EntityDescription& entity, Select::Columns columns,
        const Predicate& predicate = {}, const QList<SortDescriptor>& sorts = {});
    [[nodiscard]] sqlite3_stmt* prepare(const Select& select, Error* error);
    QByteArray sqlOf(const Select& select);
    // Binds the predicate's operands from the first position; the next free position.
    static int bindPredicate(
        sqlite3_stmt* statement, const EntityDescription& entity, const Predicate& predicate);

    // One column of a table as the file declares it.
    struct TableColumn {
        QString name;
        QString type;
        bool notNull = false;
        bool hasDefault = false;
        int key = 0; // position in the primary key, 0 when not part of it
    };
    // Why the file's tables cannot hold the model's objects; empty when they can (columns
    // and tables the model added are migrations, not mismatches).
    QString schemaMismatch(
        const QHash<QString, QList<TableColumn>>& tables, const QSet<QString>& views) const;
    [[nodiscard]] bool prepareSchema(Error* error);
    [[nodiscard]] sqlite3_stmt* statement(const QByteArray& sql, Error* error);
    [[nodiscard]] bool execute(const QByteArray& sql, Error* error);
    // Runs a cached statement that returns no rows; `what` opens the error's text.
    [[nodiscard]] bool step(const QByteArray& sql, const QString& what, Error* error);
    Error sqliteError(const QString& what, int code = 0) const;
    QString path() const;

    std::shared_ptr<const ManagedObjectModel> m_model;
    QString m_type;
    QString m_configuration;
    QUrl m_url;
    QVariantMap m_options;
    QString m_identifier;
    QVariantMap m_metadata;
    bool m_readOnly = false;
    sqlite3* m_db = nullptr;
    QHash<QByteArray, sqlite3_stmt*> m_statements;
    bool m_cacheGrown = false;
    QHash<const EntityDescription*, sqlite3_stmt*> m_inserts; // also in m_statements
    QHash<const EntityDescription*, sqlite3_stmt*> m_deletes; // also in m_statements
    // Inserts of several rows at once, by entity; also in m_statements.
    QHash<const EntityDescription*, sqlite3_stmt*> m_batchInserts;
    QHash<const EntityDescription*, EntitySql> m_sql;
    // The selects last prepared, most recent first; the statements are kept in m_statements.
    QList<std::pair<Select, sqlite3_stmt*>> m_selects;
    // Told of every save; set by the cloud side of a cloud store.
    std::shared_ptr<StoreSaveHook> m_saveHook;
    // Copies the log into the file after big saves; none for a read-only store.
    std::unique_ptr<WalCheckpointer> m_checkpointer;
    std::shared_ptr<StoreReaders> m_readers;
};

} // namespace platform::coredata
