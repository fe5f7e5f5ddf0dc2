#include "platform/coredata/PersistentStoreCoordinator.h"

#include "platform/NotificationCenter.h"
#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/Predicate.h"
#include "platform/coredata/StoreOptions.h"
#include "platform/coredata/StoredText.h"
#include "platform/coredata/StoredTextScan.h"
#include "platform/coredata/UbiquitousContent.h"

#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

#include <sqlite3.h>

#include <atomic>

namespace platform::coredata {

namespace {

const QString AddedKey = QStringLiteral("added");
const QString RemovedKey = QStringLiteral("removed");

// A store file with the write-ahead log and shared-memory files SQLite keeps beside it.
void removeStoreFiles(const QString& path)
{
    for (const char* suffix : { "", "-wal", "-shm", "-journal" })
        QFile::remove(path + QLatin1String(suffix));
}

quint64 nextStoresGeneration()
{
    static std::atomic<quint64> generation { 0 };
    return ++generation;
}

QVariantList urlList(const QList<QUrl>& urls)
{
    QVariantList list;
    for (const QUrl& url : urls)
        list << url;
    return list;
}

Error storeNotInCoordinator(ErrorCode code)
{
    return makeError(code, QStringLiteral("The store is not in this coordinator."));
}

} // namespace

PersistentStoreCoordinator::PersistentStoreCoordinator(
    std::shared_ptr<const ManagedObjectModel> model)
    : m_model(std::move(model))
    , m_storesGeneration(nextStoresGeneration())
{
    Q_ASSERT(m_model);
}

PersistentStoreCoordinator::~PersistentStoreCoordinator()
{
    for (const auto& store : std::as_const(m_stores))
        store->close();
}

std::shared_ptr<PersistentStore> PersistentStoreCoordinator::addPersistentStore(const QString& type,
    const QString& configuration, const QUrl& url, const QVariantMap& options, Error* error)
{
    std::shared_ptr<PersistentStore> store;
    {
        QMutexLocker locker(&m_mutex);
        const QString path = QFileInfo(url.toLocalFile()).absoluteFilePath();
        for (const auto& existing : std::as_const(m_stores)) {
            if (QFileInfo(existing->URL().toLocalFile()).absoluteFilePath() == path) {
                report(error,
                    makeError(PersistentStoreOperationError,
                        QStringLiteral("The store has already been added."), url.toLocalFile()));
                return nullptr;
            }
        }
        UbiquitousContent::discardReplicaToRebuild(url, options);
        store = PersistentStore::open(m_model, type, configuration, url, options, error);
        if (!store)
            return nullptr;
        if (UbiquitousContent::isUbiquitous(options)
            && !UbiquitousContent::attach(*this, store, error)) {
            store->close();
            return nullptr;
        }
        m_stores.append(store);
        m_storesGeneration = nextStoresGeneration();
    }
    postStoresDidChange({ url }, {});
    return store;
}

bool PersistentStoreCoordinator::removePersistentStore(
    const std::shared_ptr<PersistentStore>& store, Error* error)
{
    {
        QMutexLocker locker(&m_mutex);
        if (!store || !m_stores.removeOne(store)) {
            report(error, storeNotInCoordinator(PersistentStoreOperationError));
            return false;
        }
        store->close();
        m_storesGeneration = nextStoresGeneration();
    }
    postStoresDidChange({}, { store->URL() });
    return true;
}

std::shared_ptr<PersistentStore> PersistentStoreCoordinator::migratePersistentStore(
    const std::shared_ptr<PersistentStore>& store, const QUrl& url, const QVariantMap& options,
    const QString& type, Error* error)
{
    std::shared_ptr<PersistentStore> migrated;
    {
        QMutexLocker locker(&m_mutex);
        if (!store || !m_stores.contains(store) || !store->isOpen()) {
            report(error, storeNotInCoordinator(MigrationError));
            return nullptr;
        }
        const QString target = url.toLocalFile();
        if (!url.isLocalFile() || target.isEmpty()
            || QFileInfo(target).absoluteFilePath()
                == QFileInfo(store->URL().toLocalFile()).absoluteFilePath()) {
            report(error,
                makeError(MigrationError,
                    QStringLiteral("The store cannot be migrated to %1.").arg(url.toString())));
            return nullptr;
        }
        // A log left beside an old file at the target would be replayed into the copy.
        removeStoreFiles(target);

        sqlite3* destination = nullptr;
        int rc = sqlite3_open_v2(target.toUtf8().constData(), &destination,
            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_backup* backup = sqlite3_backup_init(destination, "main", store->m_db, "main");
            if (backup) {
                rc = sqlite3_backup_step(backup, -1);
                const int finished = sqlite3_backup_finish(backup);
                rc = rc == SQLITE_DONE ? finished : rc;
            } else {
                rc = sqlite3_errcode(destination);
            }
        }
        const QString message = destination ? QString::fromUtf8(sqlite3_errmsg(destination))
                                            : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(destination);
        if (rc != SQLITE_OK) {
            removeStoreFiles(target);
            report(error,
                makeError(MigrationError,
                    QStringLiteral("The store could not be copied: %1").arg(message), target, rc));
            return nullptr;
        }
        migrated
            = PersistentStore::open(m_model, type, store->configurationName(), url, options, error);
        if (migrated && UbiquitousContent::isUbiquitous(options)
            && !UbiquitousContent::attach(*this, migrated, error)) {
            migrated->close();
            migrated.reset();
        }
        if (!migrated) {
            removeStoreFiles(target);
            return nullptr;
        }
        m_stores.replace(m_stores.indexOf(store), migrated);
        store->close();
        m_storesGeneration = nextStoresGeneration();
    }
    postStoresDidChange({ url }, { store->URL() });
    return migrated;
}

PersistentStoreCoordinator::ChangeCount PersistentStoreCoordinator::changeCount() const
{
    QMutexLocker locker(&m_mutex);
    ChangeCount count { m_storesGeneration, 0 };
    for (const auto& store : m_stores)
        count.rows += store->changeCount();
    return count;
}

QList<std::shared_ptr<PersistentStore>> PersistentStoreCoordinator::persistentStores() const
{
    QMutexLocker locker(&m_mutex);
    return m_stores;
}

std::shared_ptr<PersistentStore> PersistentStoreCoordinator::persistentStoreForURL(
    const QUrl& url) const
{
    QMutexLocker locker(&m_mutex);
    const QString path = QFileInfo(url.toLocalFile()).absoluteFilePath();
    for (const auto& store : m_stores) {
        if (QFileInfo(store->URL().toLocalFile()).absoluteFilePath() == path)
            return store;
    }
    return nullptr;
}

QUrl PersistentStoreCoordinator::URLForPersistentStore(
    const std::shared_ptr<PersistentStore>& store) const
{
    return store ? store->URL() : QUrl();
}

QVariantMap PersistentStoreCoordinator::metadataForPersistentStore(
    const std::shared_ptr<PersistentStore>& store) const
{
    QMutexLocker locker(&m_mutex);
    return store ? store->metadata() : QVariantMap();
}

bool PersistentStoreCoordinator::setMetadata(
    const QVariantMap& metadata, const std::shared_ptr<PersistentStore>& store, Error* error)
{
    QMutexLocker locker(&m_mutex);
    if (!store || !m_stores.contains(store)) {
        report(error, storeNotInCoordinator(PersistentStoreOperationError));
        return false;
    }
    QVariantMap values = metadata;
    values.insert(StoreUUIDKey, store->identifier());
    values.insert(StoreTypeKey, store->type());
    return store->writeMetadata(values, error);
}

std::optional<std::vector<std::pair<qint64, QList<QVariant>>>>
PersistentStoreCoordinator::storedValues(const EntityDescription& entity,
    const QString& storeIdentifier, QList<qint64> keys, const QStringList& attributes,
    Error* error) const
{
    for (const QString& attribute : attributes) {
        if (entity.indexOfAttribute(attribute) < 0) {
            report(error,
                makeError(PersistentStoreOperationError,
                    QStringLiteral("The entity has no attribute \"%1\".").arg(attribute)));
            return std::nullopt;
        }
    }
    std::optional<std::vector<PersistentStore::Row>> rows;
    {
        QMutexLocker locker(&m_mutex);
        const auto store = storeWithIdentifier(storeIdentifier);
        if (!store) {
            report(error, storeNotInCoordinator(PersistentStoreOperationError));
            return std::nullopt;
        }
        rows = store->fetchRows(entity, std::move(keys), error, &attributes);
    }
    if (!rows)
        return std::nullopt;
    std::vector<std::pair<qint64, QList<QVariant>>> values;
    values.reserve(rows->size());
    for (PersistentStore::Row& row : *rows) {
        // Ids as their text: the readers parse only long texts' bytes themselves.
        for (QVariant& value : row.values) {
            if (StoredText::isId(value))
                value = StoredText::readable(value);
        }
        values.emplace_back(row.key, std::move(row.values));
    }
    return values;
}

std::optional<std::vector<qint64>> PersistentStoreCoordinator::storedKeys(
    const EntityDescription& entity, const QString& storeIdentifier, const Predicate& predicate,
    Error* error) const
{
    std::optional<std::vector<PersistentStore::Row>> rows;
    {
        QMutexLocker locker(&m_mutex);
        const auto store = storeWithIdentifier(storeIdentifier);
        if (!store) {
            report(error, storeNotInCoordinator(PersistentStoreOperationError));
            return std::nullopt;
        }
        rows = store->fetch(entity, predicate, {}, 0, false, error);
    }
    if (!rows)
        return std::nullopt;
    std::vector<qint64> keys;
    keys.reserve(rows->size());
    for (const PersistentStore::Row& row : *rows)
        keys.push_back(row.key);
    return keys;
}

std::shared_ptr<StoredTextScan> PersistentStoreCoordinator::storedTextScan(
    const EntityDescription& entity, const QString& storeIdentifier, const Predicate& predicate,
    const QString& attribute, Error* error) const
{
    QStringList named { attribute };
    for (const auto& term : predicate.comparisons())
        named << term.attribute;
    for (const QString& name : std::as_const(named)) {
        if (entity.indexOfAttribute(name) < 0) {
            report(error,
                makeError(PersistentStoreOperationError,
                    QStringLiteral("The entity has no attribute \"%1\".").arg(name)));
            return nullptr;
        }
    }
    QMutexLocker locker(&m_mutex);
    const auto store = storeWithIdentifier(storeIdentifier);
    if (!store || !store->readers()) {
        report(error, storeNotInCoordinator(PersistentStoreOperationError));
        return nullptr;
    }
    // The key column is the table's integer primary key, which SQLite also names rowid;
    // the texts are read by it alone (NOT INDEXED), as a table's rows mostly lie together.
    // The operands are numbered parameters, ahead of the keys.
    QByteArray where;
    for (qsizetype i = 0; i < predicate.comparisons().size(); ++i) {
        where += (i ? " AND " : " WHERE ")
            + store->columnOf(entity, predicate.comparisons()[i].attribute) + " IS ?"
            + QByteArray::number(i + 1);
    }
    const QByteArray next = " ?" + QByteArray::number(predicate.comparisons().size() + 1);
    const QByteArray last = " ?" + QByteArray::number(predicate.comparisons().size() + 2);
    const QByteArray byKey = where.isEmpty() ? " WHERE" : where + " AND";
    const QByteArray& table = store->sqlOf(entity).table;
    const QByteArray read
        = "SELECT rowid, " + store->columnOf(entity, attribute) + " FROM " + table + " NOT INDEXED";
    StoredTextScan::Sql sql;
    sql.keys = "SELECT rowid FROM " + table + where;
    sql.range = read + byKey + " rowid BETWEEN" + next + " AND" + last + " ORDER BY rowid";
    sql.row = read + byKey + " rowid =" + next;
    return std::make_shared<StoredTextScan>(store->readers(), sql,
        [model = m_model, entity = &entity, predicate](sqlite3_stmt* statement) {
            PersistentStore::bindPredicate(statement, *entity, predicate);
        });
}

std::optional<QVariantMap> PersistentStoreCoordinator::metadataForPersistentStoreOfType(
    const QString& type, const QUrl& url, Error* error)
{
    if (type != SQLiteStoreType) {
        report(error,
            makeError(PersistentStoreInvalidTypeError,
                QStringLiteral("Unsupported store type \"%1\".").arg(type)));
        return std::nullopt;
    }
    if (!QFileInfo::exists(url.toLocalFile())) {
        report(error,
            makeError(PersistentStoreOpenError,
                QStringLiteral("There is no store at this address."), url.toLocalFile()));
        return std::nullopt;
    }
    return PersistentStore::readMetadata(url.toLocalFile(), error);
}

std::shared_ptr<PersistentStore> PersistentStoreCoordinator::storeWithIdentifier(
    const QString& identifier) const
{
    for (const auto& store : m_stores) {
        if (store->identifier() == identifier)
            return store;
    }
    return nullptr;
}

void PersistentStoreCoordinator::postStoresDidChange(
    const QList<QUrl>& added, const QList<QUrl>& removed)
{
    NotificationCenter::defaultCenter().post(StoresDidChangeNotification, this,
        { { AddedKey, urlList(added) }, { RemovedKey, urlList(removed) } });
}

} // namespace platform::coredata
