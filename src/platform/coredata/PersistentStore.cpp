#include "platform/coredata/PersistentStore.h"

#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/StoreOptions.h"
#include "platform/coredata/StoreReaders.h"
#include "platform/coredata/StoreSaveHook.h"
#include "platform/coredata/StoredText.h"
#include "platform/coredata/ValueCompare.h"
#include "platform/coredata/WalCheckpointer.h"
#include "platform/coredata/WalWriteBuffer.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QUuid>
#include <QVarLengthArray>
#include <QtDebug>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>

namespace platform::coredata {

namespace {

const QString KeyColumnName = QStringLiteral("_pk");
const QByteArray KeyColumn = "\"_pk\"";
const QByteArray MetadataTable = "\"_metadata\"";
const int BusyTimeoutMs = 5000;
// The range of a 64-bit integer as doubles: -2^63 is exact, 2^63 is the first value beyond.
constexpr double IntegerMinimum = -9223372036854775808.0;
constexpr double IntegerLimit = 9223372036854775808.0;
// Tables of a hundred thousand rows keep their indexes' pages in memory (64 MiB) instead
// of reading them back at every insert.
const QByteArray ConnectionSettings = "PRAGMA cache_size=-65536";
// The log is copied into the file once it holds 40 MiB rather than SQLite's 4 MiB, so
// pages changed by many saves in a row are copied once. A save is as durable either
// way: it is in the log, synced, when the save returns.
constexpr int CheckpointPages = 10000;
const QByteArray NormalCache = "PRAGMA cache_size=-65536";
// A big save's room for pages (in KiB), until its commit. A save whose pages outgrow the
// cache writes some of them to the log early and reads them back for every index it
// builds, then writes them again at the commit.
const QByteArray BigSaveCache = "PRAGMA cache_size=-262144";
// A read of many rows brings in table pages it reads once: past this much the cache lets
// go of them as the read goes on, so that a table read whole is not held twice, as its
// rows and as its pages.
constexpr int ReadCacheBytes = 2 << 20;
constexpr int RowsBetweenCacheChecks = 1024;
// Room for the text of a fetch, made often enough to be worth one allocation.
constexpr qsizetype SqlCapacity = 256;
// Rows one insert statement takes in a big save. SQLite's work at the start and end of
// each statement (the table's key sequence read and written back among it) costs as much
// as inserting a row; sixteen rows a statement make it small.
constexpr int RowsPerInsert = 16;
// From this many new rows on, an empty table's indexes are built after the rows are in:
// sorting every entry once is cheaper than finding each one's place as it comes.
constexpr size_t FewestForLateIndexes = 4096;

QByteArray quoted(const QString& name)
{
    QByteArray text = name.toUtf8();
    text.replace('"', "\"\"");
    return '"' + text + '"';
}

QByteArray columnType(AttributeType type)
{
    switch (type) {
    case AttributeType::String:
        return "TEXT";
    case AttributeType::Double:
        return "REAL";
    case AttributeType::Integer:
    case AttributeType::Boolean:
        return "INTEGER";
    }
    return "TEXT";
}

// The affinity SQLite gives a column of the declared type, by its own rules.
QByteArray affinity(const QString& declared)
{
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("INT")))
        return "INTEGER";
    if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB"))
        || type.contains(QLatin1String("TEXT")))
        return "TEXT";
    if (type.isEmpty() || type.contains(QLatin1String("BLOB")))
        return "BLOB";
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA"))
        || type.contains(QLatin1String("DOUB")))
        return "REAL";
    return "NUMERIC";
}

bool flag(const QVariantMap& options, const QString& key)
{
    return options.value(key).toBool();
}

// A statement that changes many pages of a save keeps the old content of each page it
// reuses until it ends: an index built over a hundred thousand rows takes the pages the
// old rows freed, megabytes of them. Up to this much stays in memory instead of going
// to a file of its own.
constexpr int StatementUndoBytesInMemory = 16 << 20;

void configureSqliteOnce()
{
    // Takes only before SQLite is first used in the process; its default stays otherwise.
    static const bool configured
        = sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, StatementUndoBytesInMemory) == SQLITE_OK;
    (void)configured;
}

// Opens the store file. A read-only store may lie in a folder nobody may write to (a
// mounted volume, a shared folder): there SQLite cannot make the shared-memory file its
// write-ahead log needs, and the first read fails. When the log beside the file holds
// nothing, the file alone is the whole store and nothing can change it without writing
// beside it, so it is read as immutable, with nothing written anywhere.
int openConnection(const QString& path, bool readOnly, sqlite3** db)
{
    configureSqliteOnce();
    // The connection is only ever used under the coordinator's lock, so SQLite need not
    // lock it again at every call (a dozen calls for each row read). Its writes to the log
    // go through a layer that gathers them: a big save's commit makes a few big writes
    // instead of two for each page.
    if (!readOnly) {
        return sqlite3_open_v2(path.toUtf8().constData(), db,
            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
            WalWriteBuffer::vfsName());
    }
    const int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded();
    int rc = sqlite3_open_v2(uri + "?mode=ro", db, flags, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(*db, "SELECT 1 FROM sqlite_master LIMIT 1", nullptr, nullptr, nullptr);
    const bool cannotShare = (rc & 0xff) == SQLITE_CANTOPEN || (rc & 0xff) == SQLITE_READONLY;
    if (!cannotShare || QFileInfo(path + QLatin1String("-wal")).size() > 0)
        return rc;
    sqlite3_close_v2(*db);
    *db = nullptr;
    return sqlite3_open_v2(uri + "?immutable=1", db, flags, nullptr);
}

// A write beyond the process's file-size limit raises SIGXFSZ, which ends the process.
// Ignored, the write fails instead and the save reports it as any failed write.
void ignoreFileSizeSignal()
{
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

// Resets a cached statement when the caller is done with it.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* statement)
        : m_statement(statement)
    {
    }
    ~StatementUse()
    {
        if (m_statement) {
            sqlite3_reset(m_statement);
            sqlite3_clear_bindings(m_statement);
        }
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    sqlite3_stmt* m_statement;
};

bool hasSurrogate(const QString& text)
{
    // Four units at a time: a unit is a surrogate when its top five bits are 11011.
    constexpr quint64 High = 0xF800F800F800F800ULL;
    constexpr quint64 Surrogate = 0xD800D800D800D800ULL;
    constexpr quint64 Ones = 0x0001000100010001ULL;
    constexpr quint64 Signs = 0x8000800080008000ULL;
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    const char16_t* end = p + text.size();
    for (; end - p >= 4; p += 4) {
        quint64 units;
        std::memcpy(&units, p, sizeof units);
        const quint64 x = (units & High) ^ Surrogate; // a zero unit where a surrogate was
        if ((x - Ones) & ~x & Signs)
            return true;
    }
    for (; p != end; ++p) {
        if ((*p & 0xF800) == 0xD800)
            return true;
    }
    return false;
}

// UTF-8 texts made to be bound to a statement, kept until it has run: SQLite then reads
// each where it is instead of copying it first. A value bound along with them outlives the
// run too, so the bytes it holds are read where they are as well.
using HeldTexts = QVarLengthArray<QByteArray, 64>;

// The value of a missing attribute.
const QVariant NoValue;

int bindValue(sqlite3_stmt* statement, int position, const QVariant& value, AttributeType type,
    HeldTexts* held = nullptr)
{
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(statement, position);
    switch (type) {
    case AttributeType::String:
        if (StoredText::isBytes(value)) {
            // A text kept as the bytes it was read or made as: valid UTF-8 already. Not
            // held: a copy of each of a restore's hundred thousand rows' texts would take
            // its count's cache line from the thread that read it.
            const QByteArray& utf8 = *static_cast<const QByteArray*>(value.constData());
            return sqlite3_bind_text(statement, position, utf8.constData(), int(utf8.size()),
                held ? SQLITE_STATIC : SQLITE_TRANSIENT);
        }
        if (StoredText::isId(value)) {
            QByteArray ascii = StoredText::readable(value).toString().toLatin1();
            const char* bytes = ascii.constData();
            if (!held)
                return sqlite3_bind_text(
                    statement, position, bytes, int(ascii.size()), SQLITE_TRANSIENT);
            held->append(std::move(ascii));
            return sqlite3_bind_text(
                statement, position, bytes, int(StoredText::IdBytes), SQLITE_STATIC);
        }
        if (value.metaType().id() == QMetaType::QString) {
            const QString& text = *static_cast<const QString*>(value.constData());
            // The store keeps UTF-8: Qt converts quicker than SQLite does at every insert.
            // Text with surrogates goes to SQLite as it is, which keeps a lone one the
            // way SQLite has always written it. A byte for each unit and no '?' (what Qt
            // makes of a lone surrogate) is ASCII: most text need not be looked at again.
            QByteArray utf8 = text.toUtf8();
            if ((utf8.size() == text.size() && !utf8.contains('?')) || !hasSurrogate(text)) {
                const char* bytes = utf8.constData();
                const int size = int(utf8.size());
                if (!held)
                    return sqlite3_bind_text(statement, position, bytes, size, SQLITE_TRANSIENT);
                held->append(std::move(utf8));
                return sqlite3_bind_text(statement, position, bytes, size, SQLITE_STATIC);
            }
            return sqlite3_bind_text16(statement, position, text.utf16(),
                int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
        }
        break;
    case AttributeType::Integer:
    case AttributeType::Boolean: {
        // The kept types first, read where they are: a save binds them by the hundred
        // thousand.
        const int kind = value.metaType().id();
        if (kind == QMetaType::LongLong)
            return sqlite3_bind_int64(
                statement, position, *static_cast<const qlonglong*>(value.constData()));
        if (kind != QMetaType::QString)
            return sqlite3_bind_int64(statement, position, value.toLongLong());
        break;
    }
    case AttributeType::Double: {
        const int kind = value.metaType().id();
        if (kind == QMetaType::Double)
            return sqlite3_bind_double(
                statement, position, *static_cast<const double*>(value.constData()));
        if (kind != QMetaType::QString)
            return sqlite3_bind_double(statement, position, value.toDouble());
        break;
    }
    }
    const QByteArray text = value.toString().toUtf8();
    return sqlite3_bind_text(
        statement, position, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

QString storedKind(int stored)
{
    switch (stored) {
    case SQLITE_INTEGER:
        return QStringLiteral("an integer");
    case SQLITE_FLOAT:
        return QStringLiteral("a real number");
    case SQLITE_TEXT:
        return QStringLiteral("text");
    default:
        return QStringLiteral("a blob");
    }
}

// A stored value of another kind than its attribute (text in a number column, a number
// out of range, a blob in a text column) is no value of the attribute: it reads as none,
// and the log says so, rather than as a made-up 0 or a text of replacement characters.
QVariant mismatch(sqlite3_stmt* statement, int column, AttributeType type, int stored)
{
    // A damaged table may hold thousands: the first ones tell enough.
    constexpr int MostLogged = 100;
    static std::atomic<int> logged { 0 };
    if (logged.fetch_add(1, std::memory_order_relaxed) < MostLogged) {
        qWarning().noquote() << QStringLiteral(
            "The store holds %1 in \"%2\", whose values are of type %3: it "
            "reads as no value.")
                                    .arg(storedKind(stored),
                                        QString::fromUtf8(sqlite3_column_name(statement, column)),
                                        AttributeDescription::typeName(type));
    }
    return QVariant();
}

// A real number that is a whole number a 64-bit integer holds.
std::optional<qint64> wholeNumber(double number)
{
    if (!(number >= IntegerMinimum && number < IntegerLimit) || std::trunc(number) != number)
        return std::nullopt;
    return qint64(number);
}

QVariant columnValue(sqlite3_stmt* statement, int column, AttributeType type)
{
    const int stored = sqlite3_column_type(statement, column);
    if (stored == SQLITE_NULL)
        return QVariant();
    switch (type) {
    case AttributeType::String: {
        if (stored != SQLITE_TEXT)
            break;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
    }
    case AttributeType::Integer:
    case AttributeType::Boolean: {
        std::optional<qint64> number;
        if (stored == SQLITE_INTEGER)
            number = sqlite3_column_int64(statement, column);
        else if (stored == SQLITE_FLOAT)
            number = wholeNumber(sqlite3_column_double(statement, column));
        if (!number)
            break;
        if (type == AttributeType::Boolean)
            return *number != 0;
        return qlonglong(*number);
    }
    case AttributeType::Double:
        if (stored != SQLITE_FLOAT && stored != SQLITE_INTEGER)
            break;
        return sqlite3_column_double(statement, column);
    }
    return mismatch(statement, column, type, stored);
}

// The last short text a fetch read from one column. Rows often repeat one (every row of a
// table names the table): reading it again then shares the text already made.
struct LastText {
    static constexpr int Capacity = 64;
    char bytes[Capacity];
    int size = -1;
    QString text; // null for an id not yet made a text
};

QVariant textValue(sqlite3_stmt* statement, int column, LastText& last)
{
    const int stored = sqlite3_column_type(statement, column);
    if (stored != SQLITE_TEXT)
        return stored == SQLITE_NULL ? QVariant()
                                     : mismatch(statement, column, AttributeType::String, stored);
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    const int size = sqlite3_column_bytes(statement, column);
    if (size == last.size && std::memcmp(bytes, last.bytes, size_t(size)) == 0) {
        if (last.text.isNull())
            last.text = QString::fromUtf8(bytes, size);
        return last.text;
    }
    if (size >= StoredText::LongTextBytes)
        return StoredText::held(QByteArray(bytes, size));
    // An id of its own for every row (a row's id) is held in its 16 bytes; one that repeats
    // is shared as a text from its second read on.
    if (const auto id = StoredText::idOf(bytes, size)) {
        std::memcpy(last.bytes, bytes, size_t(size));
        last.size = size;
        last.text = QString();
        return QVariant::fromValue(*id);
    }
    QString text = QString::fromUtf8(bytes, size);
    if (size <= LastText::Capacity) {
        std::memcpy(last.bytes, bytes, size_t(size));
        last.size = size;
        last.text = text;
    }
    return text;
}

QByteArray encodeMetadataValue(const QVariant& value)
{
    return QJsonDocument(QJsonArray { QJsonValue::fromVariant(value) })
        .toJson(QJsonDocument::Compact);
}

QVariant decodeMetadataValue(const QByteArray& text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text);
    return document.isArray() && !document.array().isEmpty() ? document.array().first().toVariant()
                                                             : QVariant();
}

} // namespace

PersistentStore::PersistentStore(std::shared_ptr<const ManagedObjectModel> model, QString type,
    QString configuration, QUrl url, QVariantMap options)
    : m_model(std::move(model))
    , m_type(std::move(type))
    , m_configuration(std::move(configuration))
    , m_url(std::move(url))
    , m_options(std::move(options))
    , m_readOnly(flag(m_options, ReadOnlyPersistentStoreOption))
{
}

PersistentStore::~PersistentStore()
{
    close();
}

QString PersistentStore::path() const
{
    return m_url.toLocalFile();
}

Error PersistentStore::sqliteError(const QString& what, int code) const
{
    const int sqliteCode = code ? code : (m_db ? sqlite3_extended_errcode(m_db) : SQLITE_ERROR);
    const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                 : QString::fromUtf8(sqlite3_errstr(sqliteCode));
    ErrorCode errorCode = PersistentStoreOperationError;
    if ((sqliteCode & 0xff) == SQLITE_READONLY || (sqliteCode & 0xff) == SQLITE_FULL
        || (sqliteCode & 0xff) == SQLITE_IOERR)
        errorCode = PersistentStoreSaveError;
    return makeError(errorCode, QStringLiteral("%1: %2").arg(what, message), path(), sqliteCode);
}

std::shared_ptr<PersistentStore> PersistentStore::open(
    std::shared_ptr<const ManagedObjectModel> model, const QString& type,
    const QString& configuration, const QUrl& url, const QVariantMap& options, Error* error)
{
    if (type != SQLiteStoreType) {
        report(error,
            makeError(PersistentStoreInvalidTypeError,
                QStringLiteral("Unsupported store type \"%1\".").arg(type)));
        return nullptr;
    }
    if (!url.isLocalFile() || url.toLocalFile().isEmpty()) {
        report(error,
            makeError(PersistentStoreOpenError,
                QStringLiteral("The store address is not a file: %1").arg(url.toString())));
        return nullptr;
    }
    std::shared_ptr<PersistentStore> store(
        new PersistentStore(std::move(model), type, configuration, url, options));
    const QString path = store->path();
    if (store->m_readOnly && !QFileInfo::exists(path)) {
        report(error,
            makeError(PersistentStoreOpenError,
                QStringLiteral("The read-only store does not exist."), path));
        return nullptr;
    }
    ignoreFileSizeSignal();
    const int rc = openConnection(path, store->m_readOnly, &store->m_db);
    if (rc != SQLITE_OK) {
        report(error, store->sqliteError(QStringLiteral("The store could not be opened"), rc));
        store->close();
        return nullptr;
    }
    sqlite3_extended_result_codes(store->m_db, 1);
    sqlite3_busy_timeout(store->m_db, BusyTimeoutMs);
    if (!store->prepareSchema(error)) {
        store->close();
        return nullptr;
    }
    sqlite3_exec(store->m_db, ConnectionSettings.constData(), nullptr, nullptr, nullptr);
    store->m_readers = std::make_shared<StoreReaders>(path);
    if (!store->m_readOnly) {
        store->m_checkpointer = std::make_unique<WalCheckpointer>(path);
        sqlite3_wal_hook(store->m_db, &PersistentStore::logWritten, store.get());
    }
    return store;
}

QByteArray PersistentStore::keyAndValuesSelect(const EntityDescription& entity, QByteArray* key)
{
    *key = KeyColumn;
    const EntitySql& sql = sqlOf(entity);
    return "SELECT " + KeyColumn + sql.columnList + " FROM " + sql.table;
}

struct PersistentStore::RowReader::LastTexts {
    QVarLengthArray<LastText, 16> texts; // by attribute
};

PersistentStore::RowReader::RowReader(const EntityDescription& entity)
    : m_entity(&entity)
    , m_last(std::make_unique<LastTexts>())
{
    m_last->texts.resize(entity.attributes().size());
}

PersistentStore::RowReader::~RowReader() = default;

QList<QVariant> PersistentStore::RowReader::values(sqlite3_stmt* statement, int first)
{
    const auto& attributes = m_entity->attributes();
    QList<QVariant> values;
    values.reserve(attributes.size());
    for (int i = 0; i < attributes.size(); ++i) {
        values.append(attributes[i].type == AttributeType::String
                ? textValue(statement, first + i, m_last->texts[i])
                : columnValue(statement, first + i, attributes[i].type));
    }
    return values;
}

sqlite3* PersistentStore::openReader(const QString& path)
{
    sqlite3* db = nullptr;
    if (openConnection(path, true, &db) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    return db;
}

int PersistentStore::logWritten(void* store, sqlite3* db, const char* name, int pages)
{
    // The copy is made elsewhere, so that the save that filled the log need not wait for it.
    auto* self = static_cast<PersistentStore*>(store);
    if (pages >= CheckpointPages && !(self->m_checkpointer && self->m_checkpointer->request()))
        sqlite3_wal_checkpoint_v2(db, name, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    return SQLITE_OK;
}

void PersistentStore::waitForCheckpoint()
{
    if (m_checkpointer)
        m_checkpointer->waitUntilIdle();
}

void PersistentStore::close()
{
    if (auto hook = std::exchange(m_saveHook, nullptr))
        hook->storeWillClose(*this);
    // Its connection and the readers' go first, so that the store's own is the last one
    // and, as ever, copies the whole log into the file and removes it as it closes.
    m_checkpointer.reset();
    if (m_readers)
        m_readers->close();
    for (sqlite3_stmt* statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
    m_statements.clear();
    m_inserts.clear();
    m_deletes.clear();
    m_batchInserts.clear();
    m_selects.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        m_cacheGrown = false;
    }
}

qint64 PersistentStore::changeCount() const
{
    return m_db ? sqlite3_total_changes64(m_db) : 0;
}

sqlite3_stmt* PersistentStore::statement(const QByteArray& sql, Error* error)
{
    if (!m_db) {
        report(error,
            makeError(PersistentStoreOperationError, QStringLiteral("The store has been removed."),
                path()));
        return nullptr;
    }
    if (sqlite3_stmt* cached = m_statements.value(sql))
        return cached;
    sqlite3_stmt* prepared = nullptr;
    const int rc = sqlite3_prepare_v3(
        m_db, sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &prepared, nullptr);
    if (rc != SQLITE_OK) {
        report(error, sqliteError(QStringLiteral("The store could not run a statement"), rc));
        sqlite3_finalize(prepared);
        return nullptr;
    }
    m_statements.insert(sql, prepared);
    return prepared;
}

bool PersistentStore::execute(const QByteArray& sql, Error* error)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK) {
        report(error, sqliteError(QStringLiteral("The store could not run a statement"), rc));
        return false;
    }
    return true;
}

QString PersistentStore::schemaMismatch(
    const QHash<QString, QList<TableColumn>>& tables, const QSet<QString>& views) const
{
    const auto columnNamed
        = [](const QList<TableColumn>& columns, const QString& name) -> const TableColumn* {
        for (const TableColumn& column : columns) {
            if (column.name == name)
                return &column;
        }
        return nullptr;
    };
    if (tables.contains(QStringLiteral("_metadata"))) {
        const auto& columns = tables.value(QStringLiteral("_metadata"));
        if (!columnNamed(columns, QStringLiteral("key"))
            || !columnNamed(columns, QStringLiteral("value")))
            return QStringLiteral("its metadata table lacks the key or the value column.");
    }
    for (const EntityDescription* entity : m_model->entities()) {
        const QString& table = entity->name();
        if (views.contains(table))
            return QStringLiteral("\"%1\" is a view, not a table.").arg(table);
        const auto found = tables.constFind(table);
        if (found == tables.cend())
            continue;
        // Rows are told apart by their integer key alone: a key of another kind reads every
        // row as one object and stores new rows without one.
        const TableColumn* key = columnNamed(*found, KeyColumnName);
        int keyColumns = 0;
        for (const TableColumn& column : *found)
            keyColumns += column.key > 0 ? 1 : 0;
        if (!key || affinity(key->type) != "INTEGER" || key->key != 1 || keyColumns != 1)
            return QStringLiteral("the table \"%1\" has no integer key column.").arg(table);
        for (const TableColumn& column : *found) {
            if (&column == key)
                continue;
            const AttributeDescription* attribute = entity->attribute(column.name);
            if (!attribute) {
                // A column the model does not know is left alone, unless it would refuse
                // every new row.
                if (column.notNull && !column.hasDefault) {
                    return QStringLiteral("the column \"%1\" of \"%2\" needs a value the model "
                                          "does not have.")
                        .arg(column.name, table);
                }
                continue;
            }
            if (affinity(column.type) != columnType(attribute->type)) {
                return QStringLiteral("the column \"%1\" of \"%2\" is of type %3, where the "
                                      "model keeps %4 values.")
                    .arg(column.name, table,
                        column.type.isEmpty() ? QStringLiteral("none") : column.type,
                        AttributeDescription::typeName(attribute->type));
            }
            if (column.notNull || column.key > 0) {
                return QStringLiteral("the column \"%1\" of \"%2\" refuses empty values.")
                    .arg(column.name, table);
            }
        }
    }
    return {};
}

bool PersistentStore::prepareSchema(Error* error)
{
    // Reading the schema is the first touch of the file: a file that is no database, or a
    // store that does not match the model, fails here, before anything is written to it.
    QHash<QString, QList<TableColumn>> tables;
    QSet<QString> views;
    {
        sqlite3_stmt* list = nullptr;
        int rc = sqlite3_prepare_v2(m_db,
            "SELECT name, type FROM sqlite_master WHERE type IN ('table', 'view')", -1, &list,
            nullptr);
        if (rc == SQLITE_OK) {
            while ((rc = sqlite3_step(list)) == SQLITE_ROW) {
                const QString name = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
                if (qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(list, 1)), "view")
                    == 0)
                    views.insert(name);
                else
                    tables.insert(name, {});
            }
        }
        sqlite3_finalize(list);
        if (rc != SQLITE_DONE) {
            report(error, sqliteError(QStringLiteral("The store could not be read"), rc));
            return false;
        }
    }
    tables.remove(QStringLiteral("sqlite_sequence"));
    const bool isNew = tables.isEmpty() && views.isEmpty();
    if (!isNew && !tables.contains(QStringLiteral("_metadata"))) {
        report(error,
            makeError(PersistentStoreIncompatibleSchemaError,
                QStringLiteral("The file is not a store of this application."), path()));
        return false;
    }
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        sqlite3_stmt* info = nullptr;
        const QByteArray sql = "PRAGMA table_info(" + quoted(it.key()) + ")";
        int rc = sqlite3_prepare_v2(m_db, sql.constData(), -1, &info, nullptr);
        if (rc == SQLITE_OK) {
            while ((rc = sqlite3_step(info)) == SQLITE_ROW) {
                const auto text = [&](int column) {
                    return QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(info, column)));
                };
                it.value().append({ text(1), text(2), sqlite3_column_int(info, 3) != 0,
                    sqlite3_column_type(info, 4) != SQLITE_NULL, sqlite3_column_int(info, 5) });
            }
        }
        sqlite3_finalize(info);
        if (rc != SQLITE_DONE) {
            report(error, sqliteError(QStringLiteral("The store could not be read"), rc));
            return false;
        }
    }
    if (const QString mismatch = schemaMismatch(tables, views); !mismatch.isEmpty()) {
        report(error,
            makeError(PersistentStoreIncompatibleSchemaError,
                QStringLiteral("The store does not match the data model: %1").arg(mismatch),
                path()));
        return false;
    }

    // What the model has that the file lacks.
    QList<QByteArray> changes;
    for (const EntityDescription* entity : m_model->entities()) {
        if (!tables.contains(entity->name())) {
            QByteArray create = "CREATE TABLE " + quoted(entity->name()) + " (" + KeyColumn
                + " INTEGER PRIMARY KEY AUTOINCREMENT";
            for (const auto& attribute : entity->attributes())
                create += ", " + quoted(attribute.name) + " " + columnType(attribute.type);
            changes << create + ")";
            continue;
        }
        QSet<QString> columns;
        for (const TableColumn& column : tables.value(entity->name()))
            columns.insert(column.name);
        for (const auto& attribute : entity->attributes()) {
            if (!columns.contains(attribute.name)) {
                changes << "ALTER TABLE " + quoted(entity->name()) + " ADD COLUMN "
                        + quoted(attribute.name) + " " + columnType(attribute.type);
            }
        }
    }
    const bool mayMigrate = flag(m_options, MigratePersistentStoresAutomaticallyOption)
        && flag(m_options, InferMappingModelAutomaticallyOption);
    if (!changes.isEmpty() && !isNew && (!mayMigrate || m_readOnly)) {
        report(error,
            makeError(PersistentStoreIncompatibleVersionHashError,
                QStringLiteral("The model used to open the store is incompatible "
                               "with the one used to create the store."),
                path()));
        return false;
    }
    if (m_readOnly && isNew) {
        report(error,
            makeError(PersistentStoreOpenError,
                QStringLiteral("The read-only store holds no data model."), path()));
        return false;
    }

    if (!m_readOnly) {
        // WAL keeps readers off the writer's way and makes a commit one append to the log;
        // FULL syncs the log at every commit so a saved change survives a crash.
        if (!execute("PRAGMA journal_mode=WAL", error)
            || !execute("PRAGMA synchronous=FULL", error))
            return false;
        if (!execute("BEGIN IMMEDIATE", error))
            return false;
        bool ok = true;
        if (isNew) {
            changes.prepend(
                "CREATE TABLE " + MetadataTable + " (\"key\" TEXT PRIMARY KEY, \"value\" TEXT)");
        }
        for (const EntityDescription* entity : m_model->entities()) {
            for (const QStringList& columns : entity->indexes()) {
                QByteArray list;
                for (const QString& column : columns)
                    list += (list.isEmpty() ? "" : ", ") + quoted(column);
                changes << "CREATE INDEX IF NOT EXISTS "
                        + quoted(entity->name() + "_" + columns.join('_')) + " ON "
                        + quoted(entity->name()) + " (" + list + ")";
            }
        }
        for (const QByteArray& change : std::as_const(changes)) {
            if (!(ok = execute(change, error)))
                break;
        }
        if (!ok || !execute("COMMIT", error)) {
            rollback();
            return false;
        }
    }

    {
        QVariantMap values;
        sqlite3_stmt* read = statement("SELECT \"key\", \"value\" FROM " + MetadataTable, error);
        if (!read)
            return false;
        StatementUse use(read);
        int rc;
        while ((rc = sqlite3_step(read)) == SQLITE_ROW) {
            const QString key
                = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(read, 0)));
            const QByteArray text(reinterpret_cast<const char*>(sqlite3_column_text(read, 1)),
                sqlite3_column_bytes(read, 1));
            values.insert(key, decodeMetadataValue(text));
        }
        if (rc != SQLITE_DONE) {
            report(error, sqliteError(QStringLiteral("The store metadata could not be read"), rc));
            return false;
        }
        m_metadata = values;
    }
    QVariantMap wanted = m_metadata;
    if (!wanted.contains(StoreUUIDKey))
        wanted.insert(StoreUUIDKey, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    wanted.insert(StoreTypeKey, m_type);
    if (flag(m_options, PersistentStoreRemoveUbiquitousMetadataOption)) {
        for (auto it = wanted.begin(); it != wanted.end();) {
            it = it.key().startsWith(UbiquityMetadataPrefix) ? wanted.erase(it) : std::next(it);
        }
    }
    if (wanted != m_metadata && !m_readOnly && !writeMetadata(wanted, error))
        return false;
    m_identifier = wanted.value(StoreUUIDKey).toString();
    if (m_readOnly)
        m_metadata = wanted;
    return true;
}

std::optional<QVariantMap> PersistentStore::readMetadata(const QString& path, Error* error)
{
    if (path.isEmpty())
        return QVariantMap();
    sqlite3* db = nullptr;
    int rc = openConnection(path, true, &db);
    QVariantMap values;
    sqlite3_stmt* read = nullptr;
    if (rc == SQLITE_OK) {
        rc = sqlite3_prepare_v2(
            db, "SELECT \"key\", \"value\" FROM \"_metadata\"", -1, &read, nullptr);
    }
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(read)) == SQLITE_ROW) {
            const QByteArray text(reinterpret_cast<const char*>(sqlite3_column_text(read, 1)),
                sqlite3_column_bytes(read, 1));
            values.insert(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(read, 0))),
                decodeMetadataValue(text));
        }
    }
    const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    sqlite3_finalize(read);
    sqlite3_close_v2(db);
    if (rc != SQLITE_DONE) {
        report(error,
            makeError(PersistentStoreOpenError,
                QStringLiteral("The store metadata could not be read: %1").arg(message), path, rc));
        return std::nullopt;
    }
    return values;
}

bool PersistentStore::writeMetadata(const QVariantMap& metadata, Error* error)
{
    if (m_readOnly) {
        report(error,
            makeError(PersistentStoreSaveError, QStringLiteral("The store is read-only."), path()));
        return false;
    }
    const bool ownTransaction = sqlite3_get_autocommit(m_db) != 0;
    if (ownTransaction && !begin(error))
        return false;
    bool ok = execute("DELETE FROM " + MetadataTable, error);
    sqlite3_stmt* insert = ok
        ? statement("INSERT INTO " + MetadataTable + " (\"key\", \"value\") VALUES (?, ?)", error)
        : nullptr;
    ok = ok && insert;
    for (auto it = metadata.cbegin(); ok && it != metadata.cend(); ++it) {
        StatementUse use(insert);
        const QByteArray key = it.key().toUtf8();
        const QByteArray value = encodeMetadataValue(it.value());
        sqlite3_bind_text(insert, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, value.constData(), int(value.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(insert);
        if (rc != SQLITE_DONE) {
            report(
                error, sqliteError(QStringLiteral("The store metadata could not be written"), rc));
            ok = false;
        }
    }
    if (ownTransaction) {
        if (!ok || !commit(error)) {
            rollback();
            return false;
        }
    }
    if (ok)
        m_metadata = metadata;
    return ok;
}

const PersistentStore::EntitySql& PersistentStore::sqlOf(const EntityDescription& entity)
{
    auto it = m_sql.find(&entity);
    if (it == m_sql.end() || it->entityName != entity.name()) {
        EntitySql sql;
        sql.entityName = entity.name();
        sql.table = quoted(entity.name());
        for (const auto& attribute : entity.attributes()) {
            sql.columns << quoted(attribute.name);
            sql.columnList += ", " + sql.columns.last();
        }
        it = m_sql.insert(&entity, sql);
    }
    return *it;
}

QByteArray PersistentStore::columnOf(const EntityDescription& entity, const QString& attribute)
{
    const int index = entity.indexOfAttribute(attribute);
    return index < 0 ? quoted(attribute) : sqlOf(entity).columns[index];
}

PersistentStore::Select PersistentStore::selectOf(const EntityDescription& entity,
    Select::Columns columns, const Predicate& predicate, const QList<SortDescriptor>& sorts)
{
    Select select;
    select.entity = &entity;
    select.entityName = entity.name();
    select.columns = columns;
    for (const auto& term : predicate.comparisons())
        select.predicateAttributes << term.attribute;
    select.sorts = sorts;
    return select;
}

QByteArray PersistentStore::sqlOf(const Select& select)
{
    const EntityDescription& entity = *select.entity;
    const EntitySql& names = sqlOf(entity);
    QByteArray sql;
    sql.reserve(SqlCapacity);
    sql.append(select.distinct ? "SELECT DISTINCT " : "SELECT ");
    switch (select.columns) {
    case Select::Columns::Key:
        sql.append(KeyColumn);
        break;
    case Select::Columns::KeyAndValues:
        sql.append(KeyColumn).append(names.columnList);
        break;
    case Select::Columns::Chosen:
        for (int i = 0; i < select.chosen.size(); ++i)
            sql.append(i ? ", " : "").append(columnOf(entity, select.chosen[i]));
        break;
    case Select::Columns::KeyAndChosen:
        sql.append(KeyColumn);
        for (const QString& attribute : select.chosen)
            sql.append(", ").append(columnOf(entity, attribute));
        break;
    case Select::Columns::Count:
        sql.append("COUNT(*)");
        break;
    }
    sql.append(" FROM ").append(names.table);
    bool first = true;
    for (const QString& attribute : select.predicateAttributes) {
        sql.append(first ? " WHERE " : " AND ").append(columnOf(entity, attribute)).append(" IS ?");
        first = false;
    }
    if (select.keyRange) {
        sql.append(first ? " WHERE " : " AND ").append(KeyColumn).append(" BETWEEN ? AND ?");
    } else if (select.keys > 0) {
        sql.append(first ? " WHERE " : " AND ").append(KeyColumn).append(" IN (?");
        for (int i = 1; i < select.keys; ++i)
            sql.append(", ?");
        sql.append(")");
    }
    first = true;
    for (const auto& sort : select.sorts) {
        sql.append(first ? " ORDER BY " : ", ")
            .append(columnOf(entity, sort.key))
            .append(sort.ascending ? " ASC" : " DESC");
        first = false;
    }
    if (select.keyTieBreak)
        sql.append(first ? " ORDER BY " : ", ").append(KeyColumn);
    if (select.limited)
        sql.append(" LIMIT ?");
    return sql;
}

sqlite3_stmt* PersistentStore::prepare(const Select& select, Error* error)
{
    for (qsizetype i = 0; i < m_selects.size(); ++i) {
        if (m_selects[i].first == select) {
            if (i > 0)
                m_selects.move(i, 0);
            return m_selects.first().second;
        }
    }
    sqlite3_stmt* prepared = statement(sqlOf(select), error);
    if (!prepared)
        return nullptr;
    constexpr qsizetype Remembered = 16;
    if (m_selects.size() == Remembered)
        m_selects.removeLast();
    m_selects.prepend({ select, prepared });
    return prepared;
}

int PersistentStore::bindPredicate(
    sqlite3_stmt* statement, const EntityDescription& entity, const Predicate& predicate)
{
    int position = 1;
    for (const auto& term : predicate.comparisons()) {
        const AttributeDescription* attribute = entity.attribute(term.attribute);
        bindValue(statement, position++, predicateOperand(*attribute, term.value), attribute->type);
    }
    return position;
}

std::optional<std::vector<PersistentStore::Row>> PersistentStore::fetch(
    const EntityDescription& entity, const Predicate& predicate, const QList<SortDescriptor>& sorts,
    quint64 limit, bool withValues, Error* error)
{
    // Key order alone is cheaper to make here: SQLite would carry every row's values
    // through a temporary sort.
    const bool keyOrderHere = sorts.isEmpty() && limit == 0;
    Select select
        = selectOf(entity, withValues ? Select::Columns::KeyAndValues : Select::Columns::Key,
            predicate, keyOrderHere ? QList<SortDescriptor>() : sorts);
    select.keyTieBreak = select.limited = !keyOrderHere;
    sqlite3_stmt* query = prepare(select, error);
    if (!query)
        return std::nullopt;
    StatementUse use(query);
    const int position = bindPredicate(query, entity, predicate);
    if (!keyOrderHere)
        sqlite3_bind_int64(query, position, limit == 0 ? -1 : qint64(limit));

    std::vector<Row> rows;
    // Keys alone are gathered first and made rows at once: a table of faults is not grown
    // row by row, leaving each smaller copy behind.
    std::vector<qint64> keys;
    const auto& attributes = entity.attributes();
    QVarLengthArray<LastText, 16> lastTexts(attributes.size());
    int rc;
    size_t read = 0;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
        // Pages read once are let go of as the read goes on: an index walked for the keys
        // of a whole table is not kept beside the objects made of them.
        if (++read % RowsBetweenCacheChecks == 0)
            releaseReadPages();
        if (!withValues) {
            keys.push_back(sqlite3_column_int64(query, 0));
            continue;
        }
        Row row;
        row.key = sqlite3_column_int64(query, 0);
        row.values.reserve(attributes.size());
        for (int i = 0; i < attributes.size(); ++i) {
            row.values.append(attributes[i].type == AttributeType::String
                    ? textValue(query, i + 1, lastTexts[i])
                    : columnValue(query, i + 1, attributes[i].type));
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        report(error, sqliteError(QStringLiteral("The fetch failed"), rc));
        return std::nullopt;
    }
    // A few keys (the next row number, a lookup) leave the cache as it is.
    if (withValues || read >= RowsBetweenCacheChecks)
        releaseReadPages();
    if (!withValues) {
        rows.resize(keys.size());
        for (size_t i = 0; i < keys.size(); ++i)
            rows[i].key = keys[i];
    }
    const auto byKey = [](const Row& a, const Row& b) { return a.key < b.key; };
    if (keyOrderHere && !std::is_sorted(rows.begin(), rows.end(), byKey))
        std::sort(rows.begin(), rows.end(), byKey);
    return rows;
}

std::optional<std::vector<PersistentStore::Row>> PersistentStore::fetchRows(
    const EntityDescription& entity, QList<qint64> keys, Error* error, const QStringList* chosen)
{
    // Key lists are padded to a power of two (repeating a key changes nothing), so a few
    // statements serve every batch size.
    constexpr qsizetype MostKeys = 256;
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    std::vector<Row> rows;
    if (keys.isEmpty())
        return rows;
    rows.reserve(size_t(keys.size()));
    const auto& attributes = entity.attributes();
    // The attributes read, by place in the entity.
    QVarLengthArray<int, 16> read;
    if (chosen) {
        for (const QString& name : *chosen)
            read.append(entity.indexOfAttribute(name));
    } else {
        for (int i = 0; i < attributes.size(); ++i)
            read.append(i);
    }
    QVarLengthArray<LastText, 16> lastTexts(read.size());
    // Keys close together (rows stored together, as a table's mostly are) are read in one
    // walk from the first to the last, skipping the rows between that were not asked for;
    // a walk is cheaper than looking up each key on its own.
    const bool walk = keys.last() - keys.first() < 2 * keys.size();
    for (qsizetype from = 0; from < keys.size(); from += walk ? keys.size() : MostKeys) {
        const qsizetype count = walk ? keys.size() : std::min(MostKeys, keys.size() - from);
        Select select = selectOf(
            entity, chosen ? Select::Columns::KeyAndChosen : Select::Columns::KeyAndValues);
        if (chosen)
            select.chosen = *chosen;
        qsizetype padded = 1;
        if (walk) {
            select.keyRange = true;
        } else {
            while (padded < count)
                padded *= 2;
            select.keys = int(padded);
        }
        sqlite3_stmt* query = prepare(select, error);
        if (!query)
            return std::nullopt;
        StatementUse use(query);
        if (walk) {
            sqlite3_bind_int64(query, 1, keys.first());
            sqlite3_bind_int64(query, 2, keys.last());
        } else {
            for (qsizetype i = 0; i < padded; ++i)
                sqlite3_bind_int64(query, int(i + 1), keys[from + std::min(i, count - 1)]);
        }
        auto wanted = keys.cbegin() + from;
        int rc;
        while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
            if (rows.size() % RowsBetweenCacheChecks == RowsBetweenCacheChecks - 1)
                releaseReadPages();
            const qint64 key = sqlite3_column_int64(query, 0);
            if (walk) {
                while (wanted != keys.cend() && *wanted < key)
                    ++wanted;
                if (wanted == keys.cend() || *wanted != key)
                    continue;
            }
            Row row;
            row.key = key;
            row.values.reserve(read.size());
            for (int i = 0; i < read.size(); ++i) {
                const auto& attribute = attributes[read[i]];
                row.values.append(attribute.type == AttributeType::String
                        ? textValue(query, i + 1, lastTexts[i])
                        : columnValue(query, i + 1, attribute.type));
            }
            rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) {
            report(error, sqliteError(QStringLiteral("The fetch failed"), rc));
            return std::nullopt;
        }
    }
    releaseReadPages();
    const auto byKey = [](const Row& a, const Row& b) { return a.key < b.key; };
    if (!std::is_sorted(rows.begin(), rows.end(), byKey))
        std::sort(rows.begin(), rows.end(), byKey);
    return rows;
}

std::optional<quint64> PersistentStore::count(
    const EntityDescription& entity, const Predicate& predicate, Error* error)
{
    sqlite3_stmt* query = prepare(selectOf(entity, Select::Columns::Count, predicate), error);
    if (!query)
        return std::nullopt;
    StatementUse use(query);
    bindPredicate(query, entity, predicate);
    const int rc = sqlite3_step(query);
    if (rc != SQLITE_ROW) {
        report(error, sqliteError(QStringLiteral("The count failed"), rc));
        return std::nullopt;
    }
    return quint64(sqlite3_column_int64(query, 0));
}

std::optional<QList<QVariantMap>> PersistentStore::fetchDictionaries(
    const EntityDescription& entity, const FetchRequest& request, Error* error)
{
    const QStringList names = request.propertiesToFetch().isEmpty() ? entity.attributeNames()
                                                                    : request.propertiesToFetch();
    Select select
        = selectOf(entity, Select::Columns::Chosen, request.predicate(), request.sortDescriptors());
    select.chosen = names;
    select.distinct = request.returnsDistinctResults();
    select.limited = true;
    sqlite3_stmt* query = prepare(select, error);
    if (!query)
        return std::nullopt;
    StatementUse use(query);
    const int position = bindPredicate(query, entity, request.predicate());
    sqlite3_bind_int64(
        query, position, request.fetchLimit() == 0 ? -1 : qint64(request.fetchLimit()));
    QList<QVariantMap> results;
    int rc;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
        QVariantMap result;
        for (int i = 0; i < names.size(); ++i)
            result.insert(names[i], columnValue(query, i, entity.attribute(names[i])->type));
        results.append(result);
    }
    if (rc != SQLITE_DONE) {
        report(error, sqliteError(QStringLiteral("The fetch failed"), rc));
        return std::nullopt;
    }
    return results;
}

bool PersistentStore::begin(Error* error)
{
    if (m_readOnly) {
        report(error,
            makeError(PersistentStoreSaveError, QStringLiteral("The store is read-only."), path(),
                SQLITE_READONLY));
        return false;
    }
    return step("BEGIN IMMEDIATE", QStringLiteral("The save could not start"), error);
}

bool PersistentStore::commit(Error* error)
{
    const bool committed = step("COMMIT", QStringLiteral("The save could not be committed"), error);
    if (committed)
        shrinkCache();
    return committed;
}

void PersistentStore::growCacheForSave()
{
    if (!m_cacheGrown && sqlite3_exec(m_db, BigSaveCache, nullptr, nullptr, nullptr) == SQLITE_OK)
        m_cacheGrown = true;
}

void PersistentStore::releaseReadPages()
{
    // A save's pages stay: it reads back what it wrote.
    if (m_cacheGrown)
        return;
    int used = 0;
    int highest = 0;
    if (sqlite3_db_status(m_db, SQLITE_DBSTATUS_CACHE_USED, &used, &highest, 0) == SQLITE_OK
        && used > ReadCacheBytes)
        sqlite3_db_release_memory(m_db);
}

void PersistentStore::shrinkCache()
{
    // Back to the usual size, which lets SQLite free the pages beyond it.
    if (m_cacheGrown && sqlite3_exec(m_db, NormalCache, nullptr, nullptr, nullptr) == SQLITE_OK)
        m_cacheGrown = false;
}

bool PersistentStore::step(const QByteArray& sql, const QString& what, Error* error)
{
    sqlite3_stmt* prepared = statement(sql, error);
    if (!prepared)
        return false;
    StatementUse use(prepared);
    const int rc = sqlite3_step(prepared);
    if (rc != SQLITE_DONE) {
        report(error, sqliteError(what, rc));
        return false;
    }
    return true;
}

void PersistentStore::rollback()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (m_db)
        shrinkCache();
}

qint64 PersistentStore::insertRow(
    const EntityDescription& entity, const QList<QVariant>& values, qint64 key, Error* error)
{
    // Saves insert rows by the thousand: the statement is found by entity, not by text.
    sqlite3_stmt* insert = m_inserts.value(&entity);
    if (!insert) {
        QByteArray sql = "INSERT INTO " + quoted(entity.name()) + " (" + KeyColumn;
        QByteArray marks = "?";
        for (const auto& attribute : entity.attributes()) {
            sql += ", " + quoted(attribute.name);
            marks += ", ?";
        }
        sql += ") VALUES (" + marks + ")";
        insert = statement(sql, error);
        if (!insert)
            return 0;
        m_inserts.insert(&entity, insert);
    }
    HeldTexts held;
    StatementUse use(insert);
    if (key != 0)
        sqlite3_bind_int64(insert, 1, key);
    const auto& attributes = entity.attributes();
    for (int i = 0; i < attributes.size(); ++i) {
        bindValue(
            insert, i + 2, i < values.size() ? values.at(i) : NoValue, attributes[i].type, &held);
    }
    const int rc = sqlite3_step(insert);
    if (rc != SQLITE_DONE) {
        report(error, sqliteError(QStringLiteral("An object could not be saved"), rc));
        return 0;
    }
    return sqlite3_last_insert_rowid(m_db);
}

bool PersistentStore::insertRows(const EntityDescription& entity,
    const std::vector<const QList<QVariant>*>& rows, std::vector<qint64>& keys, Error* error)
{
    keys.reserve(keys.size() + rows.size());
    const auto insertOneByOne = [&](size_t from, qint64 key) {
        for (size_t i = from; i < rows.size(); ++i) {
            const qint64 stored = insertRow(entity, *rows[i], key ? key++ : 0, error);
            if (stored == 0)
                return false;
            keys.push_back(stored);
        }
        return true;
    };
    if (rows.size() < size_t(RowsPerInsert))
        return insertOneByOne(0, 0);
    // The keys are chosen here, as SQLite would choose them, so that several rows go in
    // one statement and each one's key is still known.
    bool empty = false;
    const std::optional<qint64> first = nextKey(entity, &empty, error);
    if (!first)
        return false;
    // Keys running out fail in SQLite's own way, one row at a time.
    if (*first > std::numeric_limits<qint64>::max() - qint64(rows.size()))
        return insertOneByOne(0, 0);

    QList<QByteArray> dropped;
    if (empty && rows.size() >= FewestForLateIndexes)
        dropped = dropIndexes(entity);

    sqlite3_stmt* insert = m_batchInserts.value(&entity);
    if (!insert) {
        // OR FAIL: SQLite need not keep a copy of every page the statement changes to undo
        // it alone; a failed statement fails the save, which undoes the whole transaction.
        QByteArray sql = "INSERT OR FAIL INTO " + sqlOf(entity).table + " (" + KeyColumn
            + sqlOf(entity).columnList + ") VALUES ";
        QByteArray marks = "(?";
        for (qsizetype i = 0; i < entity.attributes().size(); ++i)
            marks += ", ?";
        marks += ")";
        for (int row = 0; row < RowsPerInsert; ++row)
            sql += (row ? ", " : "") + marks;
        insert = statement(sql, error);
        if (!insert)
            return false;
        m_batchInserts.insert(&entity, insert);
    }
    const auto& attributes = entity.attributes();
    const int columns = int(attributes.size()) + 1;
    qint64 key = *first;
    size_t next = 0;
    for (; rows.size() - next >= size_t(RowsPerInsert); next += RowsPerInsert) {
        HeldTexts held;
        StatementUse use(insert);
        for (int row = 0; row < RowsPerInsert; ++row) {
            const QList<QVariant>& values = *rows[next + size_t(row)];
            const int base = row * columns;
            sqlite3_bind_int64(insert, base + 1, key);
            keys.push_back(key++);
            for (int i = 0; i < attributes.size(); ++i) {
                bindValue(insert, base + i + 2, i < values.size() ? values.at(i) : NoValue,
                    attributes[i].type, &held);
            }
        }
        const int rc = sqlite3_step(insert);
        if (rc != SQLITE_DONE) {
            report(error, sqliteError(QStringLiteral("An object could not be saved"), rc));
            return false;
        }
    }
    if (!insertOneByOne(next, key))
        return false;
    return buildIndexes(dropped, error);
}

QList<QByteArray> PersistentStore::dropIndexes(
    const EntityDescription& entity, const QStringList& kept)
{
    // All in the save's transaction: a failed save brings the indexes back with the rows.
    // An index that cannot be dropped is kept up as the rows come, as always.
    QList<QByteArray> dropped;
    if (const auto indexes = indexesOf(entity, nullptr)) {
        for (const auto& [name, definition] : *indexes) {
            // An init-capture: clang before 16 cannot capture a structured binding.
            if (std::any_of(kept.begin(), kept.end(), [&indexName = name](const QString& keptName) {
                    return quoted(keptName) == indexName;
                }))
                continue;
            if (!execute("DROP INDEX " + name, nullptr))
                break;
            dropped << definition;
        }
    }
    return dropped;
}

bool PersistentStore::buildIndexes(const QList<QByteArray>& definitions, Error* error)
{
    for (const QByteArray& definition : definitions) {
        if (!execute(definition, error))
            return false;
    }
    return true;
}

std::optional<bool> PersistentStore::updateRow(const EntityDescription& entity, qint64 key,
    const QList<QVariant>& values, const QBitArray& changed, Error* error)
{
    const auto& attributes = entity.attributes();
    const EntitySql& names = sqlOf(entity);
    QByteArray sql = "UPDATE " + names.table + " SET ";
    QList<int> columns;
    for (int i = 0; i < attributes.size(); ++i) {
        if (changed.isEmpty() || changed.testBit(i)) {
            sql += (columns.isEmpty() ? "" : ", ") + names.columns[i] + " = ?";
            columns << i;
        }
    }
    if (columns.isEmpty())
        return true;
    sql += " WHERE " + KeyColumn + " = ?";
    sqlite3_stmt* update = statement(sql, error);
    if (!update)
        return std::nullopt;
    HeldTexts held;
    StatementUse use(update);
    int position = 1;
    for (int i : columns)
        bindValue(update, position++, i < values.size() ? values.at(i) : NoValue,
            attributes[i].type, &held);
    sqlite3_bind_int64(update, position, key);
    const int rc = sqlite3_step(update);
    if (rc != SQLITE_DONE) {
        report(error, sqliteError(QStringLiteral("An object could not be saved"), rc));
        return std::nullopt;
    }
    return sqlite3_changes(m_db) > 0;
}

bool PersistentStore::deleteRow(const EntityDescription& entity, qint64 key, Error* error)
{
    // Found by entity, as inserts are: a save may delete every row of a table.
    sqlite3_stmt* remove = m_deletes.value(&entity);
    if (!remove) {
        remove = statement(
            "DELETE FROM " + sqlOf(entity).table + " WHERE " + KeyColumn + " = ?", error);
        if (!remove)
            return false;
        m_deletes.insert(&entity, remove);
    }
    StatementUse use(remove);
    sqlite3_bind_int64(remove, 1, key);
    const int rc = sqlite3_step(remove);
    if (rc != SQLITE_DONE) {
        report(error, sqliteError(QStringLiteral("An object could not be deleted"), rc));
        return false;
    }
    return true;
}

std::optional<qint64> PersistentStore::nextKey(
    const EntityDescription& entity, bool* empty, Error* error)
{
    qint64 largest = 0;
    {
        sqlite3_stmt* query
            = statement("SELECT MAX(" + KeyColumn + ") FROM " + sqlOf(entity).table, error);
        if (!query)
            return std::nullopt;
        StatementUse use(query);
        const int rc = sqlite3_step(query);
        if (rc != SQLITE_ROW) {
            report(error, sqliteError(QStringLiteral("The fetch failed"), rc));
            return std::nullopt;
        }
        *empty = sqlite3_column_type(query, 0) == SQLITE_NULL;
        largest = sqlite3_column_int64(query, 0);
    }
    // SQLite keeps the largest key a table that never reuses keys ever held, in a table of
    // its own made with the first such table.
    {
        sqlite3_stmt* exists = statement("SELECT 1 FROM \"sqlite_master\" WHERE \"type\" = "
                                         "'table' AND \"name\" = 'sqlite_sequence'",
            error);
        if (!exists)
            return std::nullopt;
        StatementUse use(exists);
        const int rc = sqlite3_step(exists);
        if (rc == SQLITE_DONE)
            return largest + 1;
        if (rc != SQLITE_ROW) {
            report(error, sqliteError(QStringLiteral("The fetch failed"), rc));
            return std::nullopt;
        }
    }
    sqlite3_stmt* query
        = statement("SELECT \"seq\" FROM \"sqlite_sequence\" WHERE \"name\" = ?", error);
    if (!query)
        return std::nullopt;
    StatementUse use(query);
    const QByteArray name = entity.name().toUtf8();
    sqlite3_bind_text(query, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    int rc;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW)
        largest = std::max(largest, sqlite3_column_int64(query, 0));
    if (rc != SQLITE_DONE) {
        report(error, sqliteError(QStringLiteral("The fetch failed"), rc));
        return std::nullopt;
    }
    return largest + 1;
}

std::optional<QList<std::pair<QByteArray, QByteArray>>> PersistentStore::indexesOf(
    const EntityDescription& entity, Error* error)
{
    sqlite3_stmt* query
        = statement("SELECT \"name\", \"sql\" FROM \"sqlite_master\" WHERE "
                    "\"type\" = 'index' AND \"tbl_name\" = ? AND \"sql\" IS NOT NULL",
            error);
    if (!query)
        return std::nullopt;
    StatementUse use(query);
    const QByteArray table = entity.name().toUtf8();
    sqlite3_bind_text(query, 1, table.constData(), int(table.size()), SQLITE_TRANSIENT);
    QList<std::pair<QByteArray, QByteArray>> indexes;
    int rc;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW) {
        const auto text = [&](int column) {
            return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(query, column)),
                sqlite3_column_bytes(query, column));
        };
        indexes.append({ quoted(QString::fromUtf8(text(0))), text(1) });
    }
    if (rc != SQLITE_DONE) {
        report(error, sqliteError(QStringLiteral("The store could not be read"), rc));
        return std::nullopt;
    }
    return indexes;
}

std::optional<std::vector<qint64>> PersistentStore::keys(
    const EntityDescription& entity, qint64 limit, Error* error)
{
    // Without an order SQLite reads the keys from the smallest index, not the whole table.
    sqlite3_stmt* query
        = statement("SELECT " + KeyColumn + " FROM " + sqlOf(entity).table + " LIMIT ?", error);
    if (!query)
        return std::nullopt;
    StatementUse use(query);
    sqlite3_bind_int64(query, 1, limit);
    std::vector<qint64> keys;
    int rc;
    while ((rc = sqlite3_step(query)) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(query, 0));
    if (rc != SQLITE_DONE) {
        report(error, sqliteError(QStringLiteral("The fetch failed"), rc));
        return std::nullopt;
    }
    return keys;
}

bool PersistentStore::deleteAllRows(const EntityDescription& entity, Error* error)
{
    return step("DELETE FROM " + sqlOf(entity).table,
        QStringLiteral("The objects could not be deleted"), error);
}

} // namespace platform::coredata
