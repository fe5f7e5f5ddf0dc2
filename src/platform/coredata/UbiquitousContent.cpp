#include "platform/coredata/UbiquitousContent.h"

#include "platform/Dispatch.h"
#include "platform/Exception.h"
#include "platform/NotificationCenter.h"
#include "platform/coredata/AccountFolder.h"
#include "platform/coredata/ChangeSet.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/FolderWatch.h"
#include "platform/coredata/ImportErrorHook.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoreOptions.h"
#include "platform/coredata/StoredText.h"

#include <QBitArray>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QUuid>

#include <sqlite3.h>

#include <cmath>
#include <limits>

namespace platform::coredata {

const QString UbiquitousContent::InsertedObjectsKey = QStringLiteral("inserted");
const QString UbiquitousContent::UpdatedObjectsKey = QStringLiteral("updated");
const QString UbiquitousContent::DeletedObjectsKey = QStringLiteral("deleted");

struct UbiquitousContent::Tracked {
    QString entity;
    std::optional<qint64> key; // none once deleted
    double version = 0;
    QString peer;
    qint64 sequence = 0;

    // Whether a change of the object by `by` in its set `inSet` wins over this one: a peer's
    // later set over its earlier ones; between peers, the later version (the peer's name
    // settles a tie alike everywhere).
    bool isSupersededBy(double newVersion, const QString& by, qint64 inSet) const
    {
        if (by == peer)
            return inSet > sequence;
        return std::pair(newVersion, by) > std::pair(version, peer);
    }
};

namespace {

// What the replica keeps of its cloud side, beside the entities' tables: the object id of
// each row (and of each deleted object, without a row), the last sequence applied of every
// peer (this one's own: the last it gave out) and the change sets not yet in the cloud.
const QByteArray ObjectsTable = "\"_ubiquity_objects\"";
const QByteArray PeersTable = "\"_ubiquity_peers\"";
const QByteArray OutboxTable = "\"_ubiquity_outbox\"";
const QByteArray CreateTables
    = "CREATE TABLE IF NOT EXISTS \"_ubiquity_objects\" (\"object\" TEXT PRIMARY KEY, "
      "\"entity\" TEXT NOT NULL, \"key\" INTEGER, \"version\" REAL NOT NULL, "
      "\"peer\" TEXT NOT NULL, \"sequence\" INTEGER NOT NULL); "
      "CREATE INDEX IF NOT EXISTS \"_ubiquity_objects_row\" ON \"_ubiquity_objects\" "
      "(\"entity\", \"key\"); "
      "CREATE TABLE IF NOT EXISTS \"_ubiquity_peers\" (\"peer\" TEXT PRIMARY KEY, "
      "\"sequence\" INTEGER NOT NULL); "
      "CREATE TABLE IF NOT EXISTS \"_ubiquity_outbox\" (\"sequence\" INTEGER PRIMARY KEY, "
      "\"body\" BLOB NOT NULL)";

// Metadata of a replica (the cloud keys are dropped by
// PersistentStoreRemoveUbiquitousMetadataOption).
const QString UbiquitizedKey = QStringLiteral("com.apple.coredata.ubiquity.ubiquitized");
const QString PeerKey = QStringLiteral("com.apple.coredata.ubiquity.peer");
const QString ContentNameKey = QStringLiteral("com.apple.coredata.ubiquity.contentName");
const QString ContentPathKey = QStringLiteral("com.apple.coredata.ubiquity.contentPath");
// Where the content lies inside its account's folder.
const QString ContentLocationKey = QStringLiteral("com.apple.coredata.ubiquity.contentLocation");
const QString BaselineKey = QStringLiteral("com.apple.coredata.ubiquity.baseline");
// The token of the account the replica was built for.
const QString TokenKey = QStringLiteral("com.apple.coredata.ubiquity.identityToken");

const QString VersionAttribute = QStringLiteral("mtimestamp");

double now()
{
    return double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
}

QString newId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

// A cached statement, reset when the caller is done with it.
class Use {
public:
    explicit Use(sqlite3_stmt* statement)
        : m_statement(statement)
    {
    }
    ~Use()
    {
        if (m_statement) {
            sqlite3_reset(m_statement);
            sqlite3_clear_bindings(m_statement);
        }
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

    explicit operator bool() const { return m_statement; }
    void text(int position, const QString& value)
    {
        const QByteArray bytes = value.toUtf8();
        sqlite3_bind_text(
            m_statement, position, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    void blob(int position, const QByteArray& value)
    {
        sqlite3_bind_blob(
            m_statement, position, value.constData(), int(value.size()), SQLITE_TRANSIENT);
    }
    void integer(int position, qint64 value) { sqlite3_bind_int64(m_statement, position, value); }
    void real(int position, double value) { sqlite3_bind_double(m_statement, position, value); }
    void null(int position) { sqlite3_bind_null(m_statement, position); }
    int step() { return sqlite3_step(m_statement); }
    QString textAt(int column) const
    {
        return QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column)),
            sqlite3_column_bytes(m_statement, column));
    }
    QByteArray blobAt(int column) const
    {
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_statement, column)),
            sqlite3_column_bytes(m_statement, column));
    }
    qint64 integerAt(int column) const { return sqlite3_column_int64(m_statement, column); }
    double realAt(int column) const { return sqlite3_column_double(m_statement, column); }
    bool isNullAt(int column) const
    {
        return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
    }

private:
    sqlite3_stmt* m_statement;
};

QJsonValue encoded(const QVariant& value, AttributeType type)
{
    if (!value.isValid() || value.isNull())
        return QJsonValue::Null;
    switch (type) {
    case AttributeType::String:
        // A text read from the store may be held as its bytes or as an id.
        return StoredText::readable(value).toString();
    case AttributeType::Integer:
        return value.toLongLong();
    case AttributeType::Double: {
        // JSON has no words for these.
        const double number = value.toDouble();
        if (std::isnan(number))
            return QStringLiteral("nan");
        if (std::isinf(number))
            return number > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
        return number;
    }
    case AttributeType::Boolean:
        return value.toBool();
    }
    return QJsonValue::Null;
}

QVariant decoded(const QJsonValue& value, AttributeType type)
{
    if (value.isNull() || value.isUndefined())
        return {};
    switch (type) {
    case AttributeType::String:
        return value.isString() ? QVariant(value.toString()) : QVariant();
    case AttributeType::Integer:
        return value.isDouble() ? QVariant(qlonglong(value.toInteger())) : QVariant();
    case AttributeType::Double:
        if (value.isString()) {
            const QString word = value.toString();
            if (word == QLatin1String("nan"))
                return std::numeric_limits<double>::quiet_NaN();
            if (word == QLatin1String("inf"))
                return std::numeric_limits<double>::infinity();
            if (word == QLatin1String("-inf"))
                return -std::numeric_limits<double>::infinity();
            return {};
        }
        return value.isDouble() ? QVariant(value.toDouble()) : QVariant();
    case AttributeType::Boolean:
        return value.isBool() ? QVariant(value.toBool()) : QVariant(value.toDouble() != 0);
    }
    return {};
}

QVariantList idList(const QList<ObjectID>& ids)
{
    QVariantList list;
    list.reserve(ids.size());
    for (const ObjectID& id : ids)
        list << QVariant::fromValue(id);
    return list;
}

void removeReplicaFiles(const QString& path)
{
    for (const char* suffix : { "", "-wal", "-shm", "-journal" })
        QFile::remove(path + QLatin1String(suffix));
}

// A store file that cannot be read is kept beside, under a name of its own, rather than
// deleted: what it holds may be all there is of some change.
void keepStoreFilesAside(const QString& path)
{
    const QString aside
        = QStringLiteral("%1.unreadable-%2").arg(path).arg(QDateTime::currentMSecsSinceEpoch());
    for (const char* suffix : { "", "-wal", "-journal" })
        QFile::rename(path + QLatin1String(suffix), aside + QLatin1String(suffix));
    QFile::remove(path + QLatin1String("-shm"));
    qWarning().noquote() << "An unreadable cloud store replica was kept aside:" << aside;
}

// Where content lies in its account: its path inside the cloud folder, whatever path the
// folder has on this machine; content elsewhere is known by its path.
QString locationInAccount(const QString& contentPath)
{
    const QString root = CloudContainer::rootPath();
    return contentPath.startsWith(root + '/') ? contentPath.mid(root.size() + 1) : contentPath;
}

// Whether the replica was built for the content at that location of its account.
bool isBuiltAt(const QVariantMap& metadata, const QString& location)
{
    const QString recorded = metadata.value(ContentLocationKey).toString();
    if (!recorded.isEmpty())
        return recorded == location;
    // A replica from before locations were kept: its folder's path ends in the location.
    const QString path = metadata.value(ContentPathKey).toString();
    return path == location || path.endsWith('/' + location);
}

} // namespace

UbiquitousContent::UbiquitousContent(std::weak_ptr<PersistentStoreCoordinator> coordinator,
    PersistentStore* store, QString contentPath, QString contentName, QVariant token)
    : m_coordinator(std::move(coordinator))
    , m_store(store)
    , m_contentPath(std::move(contentPath))
    , m_contentName(std::move(contentName))
    , m_token(std::move(token))
    , m_queue(dispatch::SerialQueue::create(QStringLiteral("UbiquityImportQueue")))
{
}

UbiquitousContent::~UbiquitousContent()
{
    if (m_watch)
        m_watch->stop();
}

bool UbiquitousContent::isUbiquitous(const QVariantMap& options)
{
    return !options.value(PersistentStoreUbiquitousContentNameKey).toString().isEmpty();
}

QString UbiquitousContent::contentPath(const QVariantMap& options)
{
    const QUrl container = CloudContainer::URLForUbiquityContainerIdentifier(
        options.value(PersistentStoreUbiquitousContainerIdentifierKey).toString());
    if (container.isEmpty())
        return {};
    const QVariant content = options.value(PersistentStoreUbiquitousContentURLKey);
    const QString relative
        = content.typeId() == QMetaType::QUrl ? content.toUrl().toLocalFile() : content.toString();
    if (QDir::isAbsolutePath(relative))
        return QDir::cleanPath(relative);
    return QDir::cleanPath(QDir(container.toLocalFile()).filePath(relative));
}

QVariant UbiquitousContent::accountToken(const QVariantMap& options)
{
    const QVariant token = options.value(PersistentStoreUbiquitousIdentityTokenOption);
    return token.isValid() ? token : CloudContainer::ubiquityIdentityToken();
}

bool UbiquitousContent::belongsToAnotherAccount(const QVariantMap& metadata, const QVariant& token)
{
    const QString built = metadata.value(TokenKey).toString();
    // A replica from before accounts were recorded is taken as the account's.
    return !built.isEmpty() && built != token.toString();
}

bool UbiquitousContent::attach(PersistentStoreCoordinator& coordinator,
    const std::shared_ptr<PersistentStore>& store, Error* error)
{
    const QVariantMap& options = store->options();
    const QString path = contentPath(options);
    if (path.isEmpty()) {
        report(error,
            makeError(PersistentStoreOpenError,
                QStringLiteral("The cloud store cannot be opened: no cloud account is signed in."),
                store->URL().toLocalFile()));
        return false;
    }
    const QVariant token = accountToken(options);
    if (!CloudContainer::holdsToken(token)) {
        report(error,
            makeError(PersistentStoreOpenError,
                QStringLiteral("The cloud store cannot be opened: the cloud folder is away or "
                               "another account's."),
                store->URL().toLocalFile()));
        return false;
    }
    // Nothing can be applied to a store opened for reading: it is read as it is.
    if (store->isReadOnly())
        return true;
    std::shared_ptr<UbiquitousContent> content(
        new UbiquitousContent(coordinator.weak_from_this(), store.get(), path,
            options.value(PersistentStoreUbiquitousContentNameKey).toString(), token));
    if (!content->prepare(
            options.value(PersistentStoreRebuildFromUbiquitousContentOption).toBool(), error))
        return false;
    store->m_saveHook = content;
    content->startWatching();
    return true;
}

void UbiquitousContent::discardReplicaToRebuild(const QUrl& storeURL, const QVariantMap& options)
{
    if (!isUbiquitous(options)
        || !options.value(PersistentStoreRebuildFromUbiquitousContentOption).toBool())
        return;
    // Rebuilt only from the account's folder in the place: with it away, or another
    // account's there, the replica stays as it is.
    const QVariant token = accountToken(options);
    if (contentPath(options).isEmpty() || !CloudContainer::holdsToken(token))
        return;
    const QString path = storeURL.toLocalFile();
    if (!QFileInfo::exists(path))
        return;
    const auto metadata = PersistentStore::readMetadata(path, nullptr);
    // Another account's replica stays as it is, with what it has yet to send.
    if (metadata && belongsToAnotherAccount(*metadata, token))
        return;
    const std::optional<qint64> queued = metadata ? queuedChangeSets(path) : std::nullopt;
    if (!queued) {
        keepStoreFilesAside(path);
        return;
    }
    // One with change sets yet to send is kept: it sends them, then is rebuilt in place.
    if (*queued == 0)
        removeReplicaFiles(path);
}

std::optional<qint64> UbiquitousContent::queuedChangeSets(const QString& path)
{
    sqlite3* db = PersistentStore::openReader(path);
    if (!db)
        return std::nullopt;
    const auto single = [db](const QByteArray& sql) -> std::optional<qint64> {
        sqlite3_stmt* statement = nullptr;
        std::optional<qint64> value;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) == SQLITE_OK
            && sqlite3_step(statement) == SQLITE_ROW)
            value = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        return value;
    };
    // A file never opened in the cloud has no outbox: nothing waits in it.
    std::optional<qint64> queued
        = single("SELECT COUNT(*) FROM \"sqlite_master\" WHERE \"name\" = '_ubiquity_outbox'");
    if (queued && *queued > 0)
        queued = single("SELECT COUNT(*) FROM " + OutboxTable);
    sqlite3_close_v2(db);
    return queued;
}

bool UbiquitousContent::removeUbiquitousContentAndPersistentStore(
    const QUrl& storeURL, const QVariantMap& options, Error* error)
{
    const QString path = contentPath(options);
    if (path.isEmpty() || !CloudContainer::holdsToken(accountToken(options))) {
        report(error,
            makeError(PersistentStoreOperationError,
                QStringLiteral("The cloud content cannot be removed: the account is not signed "
                               "in."),
                storeURL.toLocalFile()));
        return false;
    }
    if (QFileInfo::exists(path) && !QDir(path).removeRecursively()) {
        report(error,
            makeError(PersistentStoreOperationError,
                QStringLiteral("The cloud content could not be removed."), path));
        return false;
    }
    const QString store = storeURL.toLocalFile();
    removeReplicaFiles(store);
    if (QFileInfo::exists(store)) {
        report(error,
            makeError(PersistentStoreOperationError,
                QStringLiteral("The store file could not be removed."), store));
        return false;
    }
    return true;
}

std::shared_ptr<UbiquitousContent> UbiquitousContent::contentOf(const PersistentStore& store)
{
    return std::dynamic_pointer_cast<UbiquitousContent>(store.m_saveHook);
}

QString UbiquitousContent::peerFolder(const QString& peer) const
{
    return QDir(m_contentPath).filePath(peer + '/' + m_contentName);
}

bool UbiquitousContent::exec(const QByteArray& sql, Error* error)
{
    return m_store->execute(sql, error);
}

bool UbiquitousContent::prepare(bool rebuild, Error* error)
{
    const QVariantMap metadata = m_store->metadata();
    if (belongsToAnotherAccount(metadata, m_token)) {
        report(error,
            makeError(PersistentStoreOpenError,
                QStringLiteral("The cloud store cannot be opened: its replica belongs to another "
                               "cloud account, and is left as it is."),
                m_store->URL().toLocalFile()));
        return false;
    }
    // The same content is the same store of the same account, wherever the account's folder
    // lies on this machine now (moved, or a copy of it).
    const QString location = locationInAccount(m_contentPath);
    const QString builtPeer = metadata.value(PeerKey).toString();
    const bool same = !builtPeer.isEmpty()
        && metadata.value(ContentNameKey).toString() == m_contentName
        && isBuiltAt(metadata, location);
    // An eviction since the replica was built asks for it to be built again.
    const bool evicted = same
        && CloudContainer::lastEvictionOfPath(m_contentPath)
            > metadata.value(BaselineKey).toDouble();

    if (!exec(CreateTables, error))
        return false;
    if (rebuild || evicted) {
        // Built again from what the account's folder holds: only while it is in the place,
        // and only once what the replica has yet to send is there too.
        QString problem;
        if (!CloudContainer::holdsToken(m_token))
            problem = QStringLiteral("the cloud folder is away or another account's");
        else if (!sendQueued(same ? builtPeer : QString()))
            problem = QStringLiteral("change sets of its replica wait to be sent");
        if (problem.isEmpty()) {
            rebuild = true;
        } else if (rebuild) {
            report(error,
                makeError(PersistentStoreOpenError,
                    QStringLiteral("The cloud store cannot be rebuilt now: %1.").arg(problem),
                    m_store->URL().toLocalFile()));
            return false;
        } else {
            // The eviction's rebuild waits for a later opening; the replica serves as it is.
            qWarning().noquote() << "The cloud store is not rebuilt now:" << problem;
        }
    }

    if (!m_store->begin(error))
        return false;
    auto fail = [this] {
        m_store->rollback();
        return false;
    };
    if (same && !rebuild) {
        m_peer = builtPeer;
        // Where the account's folder lies now, for the next opening.
        QVariantMap wanted = metadata;
        wanted.insert(ContentPathKey, m_contentPath);
        wanted.insert(ContentLocationKey, location);
        wanted.insert(TokenKey, m_token.toString());
        if (wanted != metadata && !m_store->writeMetadata(wanted, error))
            return fail();
    } else {
        // A new peer: its sequence starts afresh, in a folder of its own.
        m_peer = newId();
        if (rebuild) {
            for (const EntityDescription* entity : m_store->m_model->entities()) {
                if (!exec("DELETE FROM " + m_store->sqlOf(*entity).table, error))
                    return fail();
            }
        }
        if (!exec("DELETE FROM " + ObjectsTable + "; DELETE FROM " + PeersTable + "; DELETE FROM "
                    + OutboxTable,
                error))
            return fail();
        {
            Use insert(m_store->statement(
                "INSERT INTO " + PeersTable + " (\"peer\", \"sequence\") VALUES (?, 0)", error));
            if (!insert)
                return fail();
            insert.text(1, m_peer);
            if (insert.step() != SQLITE_DONE) {
                report(error,
                    m_store->sqliteError(QStringLiteral("The cloud peer could not be kept")));
                return fail();
            }
        }
        if (!rebuild) {
            // What the replica holds goes to the cloud as its first change set.
            ChangeSet set;
            set.peer = m_peer;
            set.time = now();
            set.sequence = 1;
            for (const EntityDescription* entity : m_store->m_model->entities()) {
                auto rows = m_store->fetch(*entity, Predicate(), {}, 0, true, error);
                if (!rows)
                    return fail();
                for (const auto& row : *rows) {
                    ChangeSet::Change change;
                    change.kind = ChangeSet::Change::Kind::Insert;
                    change.entity = entity->name();
                    change.object = newId();
                    change.version = versionOf(entity->name(), row.values, set.time);
                    change.values = encodedValues(entity->name(), row.values);
                    if (!track(change.object, change.entity, row.key, change.version, m_peer,
                            set.sequence, error))
                        return fail();
                    set.changes.append(change);
                }
            }
            if (!set.changes.isEmpty() && !queue(set, error))
                return fail();
        }
        QVariantMap wanted = metadata;
        wanted.insert(UbiquitizedKey, true);
        wanted.insert(PeerKey, m_peer);
        wanted.insert(ContentNameKey, m_contentName);
        wanted.insert(ContentPathKey, m_contentPath);
        wanted.insert(ContentLocationKey, location);
        wanted.insert(BaselineKey, now());
        wanted.insert(TokenKey, m_token.toString());
        if (!m_store->writeMetadata(wanted, error))
            return fail();
    }
    if (!m_store->commit(error))
        return fail();
    CloudContainer::makeFolder(peerFolder(m_peer), m_token);
    flushOutbox();
    if (!loadApplied()) {
        report(error, m_store->sqliteError(QStringLiteral("The cloud peers could not be read")));
        return false;
    }
    Imported imported;
    importLocked(imported);
    return true;
}

void UbiquitousContent::startWatching()
{
    const std::weak_ptr<UbiquitousContent> weak = weak_from_this();
    m_watch = std::make_unique<FolderWatch>(watchedPaths(), CloudContainer::pollInterval(), [weak] {
        if (auto self = weak.lock())
            self->importSoon();
    });
}

QStringList UbiquitousContent::watchedPaths() const
{
    QStringList paths { m_contentPath };
    const QStringList peers = QDir(m_contentPath).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& peer : peers) {
        if (peer != m_peer)
            paths << peerFolder(peer);
    }
    return paths;
}

void UbiquitousContent::importSoon()
{
    if (m_closed || m_importScheduled.exchange(true))
        return;
    const std::weak_ptr<UbiquitousContent> weak = weak_from_this();
    m_queue->async([weak] {
        if (auto self = weak.lock())
            self->runImport();
    });
}

void UbiquitousContent::importNow()
{
    m_queue->sync([this] { runImport(); });
}

void UbiquitousContent::runImport()
{
    m_importScheduled = false;
    auto coordinator = m_coordinator.lock();
    if (!coordinator || m_closed)
        return;
    coordinator->lock();
    if (!m_closed)
        flushOutbox();
    coordinator->unlock();
    // The folders are read without the store's lock, which is taken only to apply what was
    // read: the application's fetches never wait for the cloud folder. A long history (a new
    // machine catching up) is applied a part at a time.
    Imported imported;
    for (;;) {
        if (m_closed)
            return;
        const QList<ChangeSet> sets = readNewSets(ImportBatch);
        if (sets.isEmpty())
            break;
        coordinator->lock();
        const bool applied = !m_closed && applyLocked(sets, imported);
        coordinator->unlock();
        if (!applied || sets.size() < ImportBatch)
            break;
    }
    if (m_closed)
        return;
    if (m_watch)
        m_watch->setPaths(watchedPaths());
    if (imported.isEmpty())
        return;
    NotificationCenter::defaultCenter().post(DidImportUbiquitousContentChangesNotification,
        coordinator.get(),
        { { InsertedObjectsKey, idList(imported.inserted) },
            { UpdatedObjectsKey, idList(imported.updated) },
            { DeletedObjectsKey, idList(imported.deleted) } });
}

bool UbiquitousContent::tracked(const QString& object, std::optional<Tracked>* found, Error* error)
{
    Use select(
        m_store->statement("SELECT \"entity\", \"key\", \"version\", \"peer\", \"sequence\" FROM "
                + ObjectsTable + " WHERE \"object\" = ?",
            error));
    if (!select)
        return false;
    select.text(1, object);
    const int rc = select.step();
    if (rc == SQLITE_ROW) {
        Tracked row;
        row.entity = select.textAt(0);
        if (!select.isNullAt(1))
            row.key = select.integerAt(1);
        row.version = select.realAt(2);
        row.peer = select.textAt(3);
        row.sequence = select.integerAt(4);
        *found = row;
        return true;
    }
    found->reset();
    if (rc != SQLITE_DONE) {
        report(
            error, m_store->sqliteError(QStringLiteral("The cloud objects could not be read"), rc));
        return false;
    }
    return true;
}

bool UbiquitousContent::objectOfRow(
    const QString& entity, qint64 key, std::optional<QString>* object, Error* error)
{
    Use select(m_store->statement(
        "SELECT \"object\" FROM " + ObjectsTable + " WHERE \"entity\" = ? AND \"key\" = ?", error));
    if (!select)
        return false;
    select.text(1, entity);
    select.integer(2, key);
    const int rc = select.step();
    if (rc == SQLITE_ROW) {
        *object = select.textAt(0);
        return true;
    }
    object->reset();
    if (rc != SQLITE_DONE) {
        report(
            error, m_store->sqliteError(QStringLiteral("The cloud objects could not be read"), rc));
        return false;
    }
    return true;
}

bool UbiquitousContent::track(const QString& object, const QString& entity,
    std::optional<qint64> key, double version, const QString& peer, qint64 sequence, Error* error)
{
    Use upsert(m_store->statement("INSERT INTO " + ObjectsTable
            + " (\"object\", \"entity\", \"key\", \"version\", \"peer\", \"sequence\") "
              "VALUES (?, ?, ?, ?, ?, ?) "
              "ON CONFLICT (\"object\") DO UPDATE SET \"entity\" = excluded.\"entity\", "
              "\"key\" = excluded.\"key\", \"version\" = excluded.\"version\", "
              "\"peer\" = excluded.\"peer\", \"sequence\" = excluded.\"sequence\"",
        error));
    if (!upsert)
        return false;
    upsert.text(1, object);
    upsert.text(2, entity);
    if (key)
        upsert.integer(3, *key);
    else
        upsert.null(3);
    upsert.real(4, version);
    upsert.text(5, peer);
    upsert.integer(6, sequence);
    const int rc = upsert.step();
    if (rc != SQLITE_DONE) {
        report(
            error, m_store->sqliteError(QStringLiteral("The cloud objects could not be kept"), rc));
        return false;
    }
    return true;
}

QJsonObject UbiquitousContent::encodedValues(
    const QString& entityName, const QList<QVariant>& values) const
{
    const EntityDescription* entity = m_store->m_model->entity(entityName);
    QJsonObject object;
    const auto& attributes = entity->attributes();
    for (int i = 0; i < attributes.size(); ++i)
        object.insert(attributes[i].name, encoded(values.value(i), attributes[i].type));
    return object;
}

double UbiquitousContent::versionOf(
    const QString& entityName, const QList<QVariant>& values, double fallback) const
{
    const EntityDescription* entity = m_store->m_model->entity(entityName);
    const int index = entity ? entity->indexOfAttribute(VersionAttribute) : -1;
    if (index < 0)
        return fallback;
    bool ok = false;
    const double version = values.value(index).toDouble(&ok);
    return ok && std::isfinite(version) ? version : fallback;
}

qint64 UbiquitousContent::nextSequence(Error* error)
{
    Use select(m_store->statement(
        "SELECT \"sequence\" + 1 FROM " + PeersTable + " WHERE \"peer\" = ?", error));
    if (!select)
        return 0;
    select.text(1, m_peer);
    if (select.step() != SQLITE_ROW) {
        report(error, m_store->sqliteError(QStringLiteral("The cloud sequence could not be read")));
        return 0;
    }
    return select.integerAt(0);
}

bool UbiquitousContent::queue(const ChangeSet& set, Error* error)
{
    Use insert(m_store->statement(
        "INSERT INTO " + OutboxTable + " (\"sequence\", \"body\") VALUES (?, ?)", error));
    if (!insert)
        return false;
    insert.integer(1, set.sequence);
    insert.blob(2, set.toJson());
    int rc = insert.step();
    if (rc == SQLITE_DONE) {
        // The sequence moves on only with a set that has it, so the peer's sets leave no gap.
        Use advance(m_store->statement(
            "UPDATE " + PeersTable + " SET \"sequence\" = ? WHERE \"peer\" = ?", error));
        if (!advance)
            return false;
        advance.integer(1, set.sequence);
        advance.text(2, m_peer);
        rc = advance.step();
    }
    if (rc != SQLITE_DONE) {
        report(error, m_store->sqliteError(QStringLiteral("The change set could not be kept"), rc));
        return false;
    }
    return true;
}

bool UbiquitousContent::storeWillCommit(
    PersistentStore& store, const QList<Change>& changes, Error* error)
{
    if (&store != m_store || m_closed)
        return true;
    ChangeSet set;
    set.peer = m_peer;
    set.time = now();
    set.sequence = nextSequence(error);
    if (set.sequence <= 0)
        return false;
    for (const Change& change : changes) {
        const QString entity = change.entity->name();
        std::optional<QString> object;
        if (change.kind != Change::Kind::Insert && !objectOfRow(entity, change.key, &object, error))
            return false;
        std::optional<Tracked> known;
        if (object && !tracked(*object, &known, error))
            return false;
        // A change made here after this replica took another peer's change comes after it,
        // whatever the two clocks say.
        auto after = [&known, this](double version) {
            if (known && known->peer != m_peer && version <= known->version)
                return std::nextafter(known->version, std::numeric_limits<double>::infinity());
            return version;
        };
        ChangeSet::Change item;
        item.entity = entity;
        if (change.kind == Change::Kind::Delete) {
            // A row the cloud never knew of leaves nothing to tell.
            if (!object)
                continue;
            item.kind = ChangeSet::Change::Kind::Delete;
            item.object = *object;
            item.version = after(set.time);
            if (!track(
                    item.object, entity, std::nullopt, item.version, m_peer, set.sequence, error))
                return false;
            set.changes.append(item);
            continue;
        }
        // The row as stored: attributes saved by others stay as the store has them.
        const auto rows = m_store->fetchRows(*change.entity, { change.key }, error);
        if (!rows)
            return false;
        if (rows->empty())
            continue;
        const PersistentStore::Row* row = &rows->front();
        item.kind = object ? ChangeSet::Change::Kind::Update : ChangeSet::Change::Kind::Insert;
        item.object = object ? *object : newId();
        item.version = after(versionOf(entity, row->values, set.time));
        item.values = encodedValues(entity, row->values);
        if (!track(item.object, entity, change.key, item.version, m_peer, set.sequence, error))
            return false;
        set.changes.append(item);
    }
    return set.changes.isEmpty() || queue(set, error);
}

void UbiquitousContent::storeDidCommit(PersistentStore& store)
{
    if (&store == m_store && !m_closed)
        flushOutbox();
}

void UbiquitousContent::storeWillClose(PersistentStore& store)
{
    if (&store != m_store)
        return;
    m_closed = true;
    if (m_watch)
        m_watch->stop();
}

bool UbiquitousContent::sendQueued(const QString& peer)
{
    {
        Use count(m_store->statement("SELECT COUNT(*) FROM " + OutboxTable, nullptr));
        if (!count || count.step() != SQLITE_ROW)
            return false;
        if (count.integerAt(0) == 0)
            return true;
    }
    // What waits was saved by the peer the replica was, and goes from its folder alone.
    if (peer.isEmpty())
        return false;
    m_peer = peer;
    return flushOutbox();
}

bool UbiquitousContent::flushOutbox()
{
    QList<std::pair<qint64, QByteArray>> waiting;
    {
        Use select(m_store->statement(
            "SELECT \"sequence\", \"body\" FROM " + OutboxTable + " ORDER BY \"sequence\"",
            nullptr));
        if (!select)
            return false;
        while (select.step() == SQLITE_ROW)
            waiting.append({ select.integerAt(0), select.blobAt(1) });
    }
    for (const auto& [sequence, body] : std::as_const(waiting)) {
        // In order: a set that cannot go holds back the later ones, so the other machines
        // never meet a gap that is not filled in the end.
        if (!sendChangeSet(sequence, body))
            return false;
        Use remove(
            m_store->statement("DELETE FROM " + OutboxTable + " WHERE \"sequence\" = ?", nullptr));
        if (!remove)
            return false;
        remove.integer(1, sequence);
        remove.step();
    }
    return true;
}

bool UbiquitousContent::sendChangeSet(qint64 sequence, const QByteArray& body)
{
    const QString folder = peerFolder(m_peer);
    const QString path = QDir(folder).filePath(ChangeSet::fileName(sequence));
    QString problem;
    // Made and written inside the account's folder held open: nothing goes into a folder
    // that takes its place meanwhile. A set written as the folder changed hands lies whole in
    // the account's own folder, and goes again under the same name.
    if (!CloudContainer::makeFolder(folder, m_token))
        problem = QStringLiteral("the account's folder is not there");
    else if (CloudContainer::writeFile(path, body, m_token, &problem))
        return true;
    qWarning().noquote() << "A change set could not be written to the cloud, it stays queued:"
                         << path << problem;
    return false;
}

void UbiquitousContent::tellGap(const QString& peer, qint64 missing, qint64 later)
{
    const QString gap = peer + '/' + QString::number(missing);
    if (m_toldGaps.contains(gap))
        return;
    m_toldGaps.insert(gap);
    qWarning().noquote() << QStringLiteral(
        "Cloud peer %1: change set %2 is missing while its set %3 is there; its later sets "
        "wait for it.")
                                .arg(peer)
                                .arg(missing)
                                .arg(later);
}

void UbiquitousContent::reportImportFailure(
    const QString& reason, const QString& file, int sqliteCode, const Error& underlying)
{
    const Exception exception(Exception::InternalInconsistency, reason,
        { { SQLiteErrorCodeKey, sqliteCode }, { Error::FilePathKey, file } });
    QVariantMap info { { ReasonKey, reason },
        { UnderlyingExceptionKey, QVariant::fromValue(exception) } };
    if (!underlying.isNull())
        info.insert(Error::UnderlyingErrorKey, QVariant::fromValue(underlying));
    const Error error = makeImportError(UbiquitousImportError, info);
    qWarning().noquote() << "Cloud import failed:" << reason << error.localizedDescription();
}

void UbiquitousContent::importLocked(Imported& imported)
{
    for (;;) {
        const QList<ChangeSet> sets = readNewSets(ImportBatch);
        if (sets.isEmpty() || !applyLocked(sets, imported) || sets.size() < ImportBatch)
            return;
    }
}

bool UbiquitousContent::loadApplied()
{
    QMap<QString, qint64> applied;
    {
        Use select(m_store->statement("SELECT \"peer\", \"sequence\" FROM " + PeersTable, nullptr));
        if (!select)
            return false;
        while (select.step() == SQLITE_ROW)
            applied.insert(select.textAt(0), select.integerAt(1));
    }
    std::lock_guard lock(m_appliedMutex);
    m_applied = applied;
    return true;
}

QList<ChangeSet> UbiquitousContent::readNewSets(int limit)
{
    // Read through the account's folder held open: what is read is the account's, wherever
    // its folder lies by the end, and another account's folder in the place gives nothing.
    const auto account = AccountFolder::open(m_token);
    if (!account)
        return {};
    QMap<QString, qint64> applied;
    {
        std::lock_guard lock(m_appliedMutex);
        applied = m_applied;
    }
    QList<ChangeSet> sets;
    const QStringList peers = account->folders(m_contentPath);
    for (const QString& peer : peers) {
        if (peer == m_peer)
            continue;
        const QDir folder(peerFolder(peer));
        const auto held = account->subfolder(folder.path());
        if (!held)
            continue;
        // Each set is found by its name, the peer's next sequence number: the sets already
        // applied are never listed, so a look costs the same whatever the history.
        qint64 next = applied.value(peer, 0) + 1;
        for (; sets.size() < limit; ++next) {
            const QString path = folder.filePath(ChangeSet::fileName(next));
            bool missing = false;
            const std::optional<QByteArray> bytes = held->readFile(path, &missing);
            if (missing) {
                // A peer's sets apply in order, and not past a gap: a later set may build
                // on the missing one, which the cloud has yet to bring.
                for (qint64 later = next + 1; later <= next + GapProbe; ++later) {
                    if (held->exists(folder.filePath(ChangeSet::fileName(later)))) {
                        tellGap(peer, next, later);
                        break;
                    }
                }
                break;
            }
            QString problem = QStringLiteral("the file could not be read");
            std::optional<ChangeSet> set;
            if (bytes)
                set = ChangeSet::fromJson(*bytes, &problem);
            if (set && set->sequence != next) {
                problem = QStringLiteral("the file holds sequence %1").arg(set->sequence);
                set.reset();
            }
            if (!set) {
                const QString state = path + '@'
                    + QString::number(QFileInfo(path).lastModified().toMSecsSinceEpoch());
                if (!m_reported.contains(state)) {
                    m_reported.insert(state);
                    reportImportFailure(
                        QStringLiteral("Error reading the log file at location: %1 (%2)")
                            .arg(path, problem),
                        path, SQLITE_CORRUPT, {});
                }
                break;
            }
            set->peer = peer;
            sets.append(*set);
        }
    }
    return sets;
}

bool UbiquitousContent::applyLocked(const QList<ChangeSet>& read, Imported& imported)
{
    // Only what follows on what the replica has applied by now, in each peer's order.
    QList<ChangeSet> sets;
    {
        std::lock_guard lock(m_appliedMutex);
        QMap<QString, qint64> next;
        for (const ChangeSet& set : read) {
            const qint64 expected = next.value(set.peer, m_applied.value(set.peer, 0)) + 1;
            if (set.sequence != expected)
                continue;
            next.insert(set.peer, expected);
            sets.append(set);
        }
    }
    if (sets.isEmpty())
        return false;

    Error error;
    bool ok = m_store->begin(&error);
    Imported pending;
    for (const ChangeSet& set : std::as_const(sets)) {
        if (!ok)
            break;
        QString refusal;
        ok = checkObjects(set, &refusal, &error);
        // Refused whole and passed over: it will never name its objects otherwise, and the
        // peer's later sets must not wait for it.
        if (ok && !refusal.isEmpty()) {
            reportImportFailure(refusal,
                QDir(peerFolder(set.peer)).filePath(ChangeSet::fileName(set.sequence)),
                SQLITE_CORRUPT, {});
        } else if (ok) {
            ok = apply(set, pending, &error);
        }
        if (ok) {
            Use upsert(m_store->statement("INSERT INTO " + PeersTable
                    + " (\"peer\", \"sequence\") VALUES (?, ?) ON CONFLICT (\"peer\") DO UPDATE "
                      "SET \"sequence\" = excluded.\"sequence\"",
                &error));
            ok = bool(upsert);
            if (ok) {
                upsert.text(1, set.peer);
                upsert.integer(2, set.sequence);
                const int rc = upsert.step();
                ok = rc == SQLITE_DONE;
                if (!ok)
                    error = m_store->sqliteError(
                        QStringLiteral("The cloud peers could not be kept"), rc);
            }
        }
    }
    ok = ok && m_store->commit(&error);
    if (!ok) {
        m_store->rollback();
        reportImportFailure(
            QStringLiteral("The cloud changes could not be applied to the store: %1")
                .arg(error.localizedDescription()),
            m_store->URL().toLocalFile(), int(error.userInfo().value(SQLiteErrorCodeKey).toInt()),
            error);
        return false;
    }
    {
        std::lock_guard lock(m_appliedMutex);
        for (const ChangeSet& set : std::as_const(sets))
            m_applied.insert(set.peer, set.sequence);
    }
    // One entry per object, under what happened to it last.
    QSet<ObjectID> deleted(pending.deleted.cbegin(), pending.deleted.cend());
    QSet<ObjectID> inserted;
    for (const ObjectID& id : std::as_const(pending.inserted)) {
        if (!deleted.contains(id) && !inserted.contains(id)) {
            inserted.insert(id);
            imported.inserted << id;
        }
    }
    QSet<ObjectID> updated;
    for (const ObjectID& id : std::as_const(pending.updated)) {
        if (!deleted.contains(id) && !inserted.contains(id) && !updated.contains(id)) {
            updated.insert(id);
            imported.updated << id;
        }
    }
    for (const ObjectID& id : std::as_const(pending.deleted)) {
        if (!imported.deleted.contains(id))
            imported.deleted << id;
    }
    return true;
}

bool UbiquitousContent::checkObjects(const ChangeSet& set, QString* refusal, Error* error)
{
    // The objects the set itself brings, by the entity it brings them in.
    QHash<QString, QString> brought;
    for (const ChangeSet::Change& change : set.changes) {
        if (!m_store->m_model->entity(change.entity))
            continue;
        QString entity = brought.value(change.object);
        if (entity.isEmpty()) {
            std::optional<Tracked> known;
            if (!tracked(change.object, &known, error))
                return false;
            if (known)
                entity = known->entity;
        }
        if (!entity.isEmpty() && entity != change.entity) {
            *refusal = QStringLiteral("The cloud change set %1 of peer %2 was refused: it names "
                                      "the %3 object %4 as a %5")
                           .arg(set.sequence)
                           .arg(set.peer, entity, change.object, change.entity);
            return true;
        }
        brought.insert(change.object, change.entity);
    }
    return true;
}

bool UbiquitousContent::apply(const ChangeSet& set, Imported& imported, Error* error)
{
    const QString storeIdentifier = m_store->identifier();
    for (const ChangeSet::Change& change : set.changes) {
        const EntityDescription* entity = m_store->m_model->entity(change.entity);
        // An entity of a newer model than this one: nothing here can hold it.
        if (!entity)
            continue;
        std::optional<Tracked> known;
        if (!tracked(change.object, &known, error))
            return false;
        const bool newer = !known || known->isSupersededBy(change.version, set.peer, set.sequence);
        if (!newer)
            continue;
        if (change.kind == ChangeSet::Change::Kind::Delete) {
            if (known && known->key) {
                if (!m_store->deleteRow(*entity, *known->key, error))
                    return false;
                imported.deleted << ObjectID { storeIdentifier, entity, *known->key };
            }
            // Kept without a row, so that changes made before the deletion stay deleted.
            if (!track(change.object, entity->name(), std::nullopt, change.version, set.peer,
                    set.sequence, error))
                return false;
            continue;
        }
        const auto& attributes = entity->attributes();
        QList<QVariant> values;
        QBitArray present(attributes.size());
        values.reserve(attributes.size());
        for (int i = 0; i < attributes.size(); ++i) {
            const auto it = change.values.constFind(attributes[i].name);
            present.setBit(i, it != change.values.constEnd());
            values.append(
                it != change.values.constEnd() ? decoded(*it, attributes[i].type) : QVariant());
        }
        if (known && known->key) {
            const auto found = m_store->updateRow(*entity, *known->key, values, present, error);
            if (!found)
                return false;
            if (!*found && m_store->insertRow(*entity, values, *known->key, error) == 0)
                return false;
            if (!track(change.object, entity->name(), known->key, change.version, set.peer,
                    set.sequence, error))
                return false;
            imported.updated << ObjectID { storeIdentifier, entity, *known->key };
            continue;
        }
        const qint64 key = m_store->insertRow(*entity, values, 0, error);
        if (key == 0)
            return false;
        if (!track(
                change.object, entity->name(), key, change.version, set.peer, set.sequence, error))
            return false;
        imported.inserted << ObjectID { storeIdentifier, entity, key };
    }
    return true;
}

} // namespace platform::coredata
