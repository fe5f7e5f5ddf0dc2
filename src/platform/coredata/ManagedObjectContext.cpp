#include "platform/coredata/ManagedObjectContext.h"

#include "platform/Dispatch.h"
#include "platform/Exception.h"
#include "platform/NotificationCenter.h"
#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/FaultBatch.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoreOptions.h"
#include "platform/coredata/StoreSaveHook.h"
#include "platform/coredata/StoredText.h"
#include "platform/coredata/ValueCompare.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QScopeGuard>
#include <QSet>
#include <QThread>
#include <QtDebug>

#include <algorithm>
#include <limits>
#include <thread>

namespace platform::coredata {

namespace {

const QString InsertedKey = QStringLiteral("inserted");
const QString UpdatedKey = QStringLiteral("updated");
const QString DeletedKey = QStringLiteral("deleted");
// The most faults one read of a batch takes, however long the run of touches before it.
constexpr qsizetype MostReadAhead = 1024;
// From this many deletions of one entity in one store on, a save looks whether they are
// all of the entity's rows there: a restore or a reset empties whole tables.
constexpr size_t FewestForWholeTable = 16;
// From this many rows written on, a save gives its stores' caches more room.
constexpr qsizetype FewestForBigSave = 10000;

Error noCoordinatorError()
{
    return makeError(CoreDataError,
        QStringLiteral("The managed object context has no persistent store "
                       "coordinator."));
}

Error noStoreError()
{
    return makeError(PersistentStoreOperationError,
        QStringLiteral("The persistent store coordinator has no persistent stores. "
                       "It cannot perform a save or fetch operation."));
}

Error lostStoreError()
{
    return makeError(PersistentStoreOperationError,
        QStringLiteral("An object's persistent store is not reachable from this "
                       "context's coordinator."));
}

QVariantList objectList(const QList<ManagedObject*>& objects)
{
    QVariantList list;
    list.reserve(objects.size());
    for (ManagedObject* object : objects)
        list << QVariant::fromValue(static_cast<QObject*>(object));
    return list;
}

void sortObjects(QList<ManagedObject*>& objects, const EntityDescription& entity,
    const QList<SortDescriptor>& sorts)
{
    if (sorts.isEmpty())
        return;
    QList<int> indexes;
    for (const auto& sort : sorts)
        indexes << entity.indexOfAttribute(sort.key);
    std::stable_sort(objects.begin(), objects.end(), [&](ManagedObject* a, ManagedObject* b) {
        for (int i = 0; i < sorts.size(); ++i) {
            const int order = compareValues(a->value(indexes[i]), b->value(indexes[i]));
            if (order != 0)
                return sorts[i].ascending ? order < 0 : order > 0;
        }
        return false;
    });
}

} // namespace

ManagedObjectContext::ManagedObjectContext(ConcurrencyType type)
    : m_type(type)
    , m_thread(QThread::currentThread())
    , m_queue(dispatch::SerialQueue::current())
{
}

ManagedObjectContext::~ManagedObjectContext() = default;

void ManagedObjectContext::setPersistentStoreCoordinator(
    std::shared_ptr<PersistentStoreCoordinator> coordinator)
{
    m_coordinator = std::move(coordinator);
}

bool ManagedObjectContext::isOnQueue() const
{
    if (m_type == ConcurrencyType::MainQueue)
        return dispatch::isMainThread();
    if (m_queue)
        return dispatch::SerialQueue::current() == m_queue;
    return QThread::currentThread() == m_thread;
}

void ManagedObjectContext::checkQueue(const char* operation) const
{
#ifndef NDEBUG
    if (!isOnQueue()) {
        throw Exception(Exception::InternalInconsistency,
            QStringLiteral("Illegal use of a managed object context off its queue: %1 "
                           "called on the wrong thread.")
                .arg(QLatin1String(operation)));
    }
#else
    Q_UNUSED(operation);
#endif
}

void ManagedObjectContext::performBlock(std::function<void()> block)
{
    if (m_type == ConcurrencyType::MainQueue)
        dispatch::asyncMain(std::move(block));
    else
        block();
}

void ManagedObjectContext::performBlockAndWait(const std::function<void()>& block)
{
    if (m_type == ConcurrencyType::MainQueue)
        dispatch::syncMain(block);
    else
        block();
}

void ManagedObjectContext::adopt(ManagedObject* object)
{
    m_owned.emplace_back(object);
    object->m_owner = this;
}

ManagedObject* ManagedObjectContext::createObject(const QString& entityName)
{
    checkQueue("createObject");
    if (!m_coordinator)
        return nullptr;
    const EntityDescription* entity = m_coordinator->managedObjectModel()->entity(entityName);
    if (!entity)
        return nullptr;
    ManagedObject* object = ManagedObject::create(entity);
    adopt(object);
    return object;
}

void ManagedObjectContext::checkOwnEntity(const EntityDescription& entity) const
{
    if (!m_coordinator || m_coordinator->managedObjectModel()->entity(entity.name()) != &entity) {
        throw Exception(Exception::InvalidArgument,
            QStringLiteral("The entity %1 is not of this context's model.").arg(entity.name()));
    }
}

QList<int> ManagedObjectContext::keptTypes(const EntityDescription& entity)
{
    // The type each attribute keeps its values in, as coerce() makes them.
    QList<int> kept;
    for (const auto& attribute : entity.attributes()) {
        switch (attribute.type) {
        case AttributeType::String:
            kept << QMetaType::QString;
            break;
        case AttributeType::Integer:
            kept << QMetaType::LongLong;
            break;
        case AttributeType::Double:
            kept << QMetaType::Double;
            break;
        case AttributeType::Boolean:
            kept << QMetaType::Bool;
            break;
        }
    }
    return kept;
}

void ManagedObjectContext::normalize(const EntityDescription& entity, const QList<int>& kept,
    QList<QVariant>& values, HeldBytes held, QBitArray* set)
{
    const qsizetype count = kept.size();
    if (values.size() > count) {
        throw Exception(Exception::RangeError,
            QStringLiteral("%1 values given for the %2 attributes of %3")
                .arg(values.size())
                .arg(count)
                .arg(entity.name()));
    }
    values.resize(count);
    if (set)
        *set = QBitArray(count);
    // Once per record, not per value: a restore passes a hundred thousand of them.
    QVariant* const first = values.data();
    for (qsizetype i = 0; i < count; ++i) {
        QVariant& value = first[i];
        if (value.isNull()) {
            if (value.isValid())
                value = QVariant();
            continue;
        }
        if (set)
            set->setBit(i);
        const int type = value.metaType().id();
        if (type == kept[i])
            continue;
        if (held == HeldBytes::Kept && kept[i] == QMetaType::QString
            && type == QMetaType::QByteArray)
            continue;
        // What setValue would make of it, or its error.
        ManagedObject probe(&entity);
        probe.setValue(int(i), value);
        value = probe.m_values[i];
    }
}

void ManagedObjectContext::insertNewObjects(
    const EntityDescription& entity, std::vector<QList<QVariant>>&& records)
{
    checkQueue("insertNewObjects");
    checkOwnEntity(entity);
    const QList<int> kept = keptTypes(entity);
    const ManagedObject::Factory factory = ManagedObject::factoryFor(&entity);
    m_owned.reserve(m_owned.size() + records.size());
    m_inserted.reserve(m_inserted.size() + qsizetype(records.size()));
    for (QList<QVariant>& values : records) {
        QBitArray changed;
        normalize(entity, kept, values, HeldBytes::MadeText, &changed);
        ManagedObject* object = ManagedObject::create(&entity, factory);
        adopt(object);
        object->m_values = std::move(values);
        if (!changed.isEmpty())
            object->changes().changed = std::move(changed);
        object->m_state = ManagedObject::State::Inserted;
        object->m_context = this;
        m_inserted.append(object);
    }
    records.clear();
}

bool ManagedObjectContext::replaceAllObjects(std::vector<EntityContent>&& contents, Error* error)
{
    checkQueue("replaceAllObjects");
    QList<const EntityDescription*> replaced;
    for (const EntityContent& content : contents)
        replaced.append(content.entity);
    // Each value is checked as its records are written; a bad one rolls everything back.
    const auto replacement = beginReplacement(replaced, error);
    if (!replacement)
        return false;
    for (EntityContent& content : contents) {
        if (!replacement->add(*content.entity, std::move(content.records), error))
            return false;
    }
    return replacement->commit(error);
}

std::unique_ptr<ManagedObjectContext::Replacement> ManagedObjectContext::beginReplacement(
    const QList<const EntityDescription*>& entities, Error* error)
{
    checkQueue("beginReplacement");
    if (hasChanges()) {
        throw Exception(Exception::InternalInconsistency,
            QStringLiteral("The context has unsaved changes; a replacement would save them."));
    }
    if (!m_coordinator) {
        report(error, noCoordinatorError());
        return nullptr;
    }
    for (const EntityDescription* entity : entities)
        checkOwnEntity(*entity);
    std::unique_ptr<Replacement> replacement(new Replacement(this));
    for (const EntityDescription* entity : entities) {
        if (!replacement->m_replaced.contains(entity))
            replacement->m_replaced.append(entity);
    }
    m_coordinator->lock();
    replacement->m_locked = true;
    const auto stores = m_coordinator->m_stores;
    if (stores.isEmpty()) {
        report(error, noStoreError());
        return nullptr;
    }
    // Every store loses its rows of the entities; the first one gets the new ones. A
    // failure on the way rolls back what began, as the replacement goes.
    for (const auto& store : stores) {
        if (!store->begin(error))
            return nullptr;
        replacement->m_begun.append(store);
        store->growCacheForSave();
        for (const EntityDescription* entity : std::as_const(replacement->m_replaced)) {
            // The transaction has begun: the keys are those the deletion takes.
            if (store->m_saveHook) {
                const auto keys = store->keys(*entity, std::numeric_limits<qint64>::max(), error);
                if (!keys)
                    return nullptr;
                auto& list = replacement->m_changes[store.get()];
                for (qint64 key : *keys)
                    list.append({ StoreSaveHook::Change::Kind::Delete, entity, key });
            }
            if (!store->deleteAllRows(*entity, error))
                return nullptr;
        }
    }
    return replacement;
}

ManagedObjectContext::Replacement::Replacement(ManagedObjectContext* context)
    : m_context(context)
    , m_coordinator(context->m_coordinator)
{
}

ManagedObjectContext::Replacement::~Replacement()
{
    if (!m_ended)
        rollback();
}

void ManagedObjectContext::Replacement::rollback()
{
    m_ended = true;
    for (const auto& store : std::as_const(m_begun))
        store->rollback();
    m_begun.clear();
    if (std::exchange(m_locked, false))
        m_coordinator->unlock();
}

bool ManagedObjectContext::Replacement::add(
    const EntityDescription& entity, std::vector<QList<QVariant>>&& records, Error* error)
{
    m_context->checkQueue("Replacement::add");
    if (m_ended || !m_replaced.contains(&entity)) {
        throw Exception(Exception::InternalInconsistency,
            QStringLiteral("Records of %1 were given to a replacement that has ended or "
                           "does not replace them.")
                .arg(entity.name()));
    }
    // A value of the wrong kind raises: the replacement goes no further.
    auto rollbackUnlessDone = qScopeGuard([this] { rollback(); });
    const QList<int> kept = keptTypes(entity);
    for (QList<QVariant>& values : records)
        normalize(entity, kept, values, HeldBytes::Kept, nullptr);
    std::vector<const QList<QVariant>*> rows;
    rows.reserve(records.size());
    for (const QList<QVariant>& values : records)
        rows.push_back(&values);
    std::vector<qint64> keys;
    const auto& target = m_begun.first();
    if (!target->insertRows(entity, rows, keys, error))
        return false;
    if (target->m_saveHook) {
        auto& list = m_changes[target.get()];
        for (qint64 key : keys)
            list.append({ StoreSaveHook::Change::Kind::Insert, &entity, key });
    }
    m_written.push_back(std::move(records));
    rollbackUnlessDone.dismiss();
    return true;
}

namespace {

// How SQLite orders two values of an index key: nothing first, then numbers, then texts
// (texts by their characters, near enough to SQLite's bytes for a guess at the order;
// texts held as their UTF-8 bytes by those bytes, as SQLite orders them).
int compareKeyValues(const QVariant& a, const QVariant& b)
{
    const auto rank = [](const QVariant& value) {
        if (value.isNull())
            return 0;
        return value.metaType().id() == QMetaType::QString || StoredText::isHeld(value) ? 2 : 1;
    };
    const int rankA = rank(a);
    const int rankB = rank(b);
    if (rankA != rankB || rankA == 0)
        return rankA - rankB;
    if (rankA == 2) {
        if (StoredText::isBytes(a) && StoredText::isBytes(b)) {
            return QByteArrayView(*static_cast<const QByteArray*>(a.constData()))
                .compare(*static_cast<const QByteArray*>(b.constData()));
        }
        return QString::compare(
            StoredText::readable(a).toString(), StoredText::readable(b).toString());
    }
    const double x = a.toDouble();
    const double y = b.toDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

// Whether the records' keys for the attributes never go down.
bool keysComeInOrder(const EntityDescription& entity, const QStringList& attributes,
    const std::vector<QList<QVariant>>& records)
{
    QList<int> positions;
    for (const QString& attribute : attributes) {
        const int position = entity.indexOfAttribute(attribute);
        if (position < 0)
            return false;
        positions << position;
    }
    const auto value = [](const QList<QVariant>& record, int position) {
        return position < record.size() ? record.at(position) : QVariant();
    };
    for (size_t i = 1; i < records.size(); ++i) {
        for (int position : std::as_const(positions)) {
            const int order
                = compareKeyValues(value(records[i - 1], position), value(records[i], position));
            if (order > 0)
                return false;
            if (order < 0)
                break;
        }
    }
    return true;
}

} // namespace

void ManagedObjectContext::Replacement::buildIndexesLast(
    const EntityDescription& entity, const std::vector<QList<QVariant>>& first)
{
    m_context->checkQueue("Replacement::buildIndexesLast");
    if (m_ended || !m_replaced.contains(&entity))
        return;
    QStringList kept;
    for (const QStringList& columns : entity.indexes()) {
        if (!first.empty() && keysComeInOrder(entity, columns, first))
            kept << entity.name() + "_" + columns.join('_');
    }
    m_lateIndexes += m_begun.first()->dropIndexes(entity, kept);
}

bool ManagedObjectContext::Replacement::buildIndexes(Error* error)
{
    m_context->checkQueue("Replacement::buildIndexes");
    if (m_ended) {
        throw Exception(Exception::InternalInconsistency,
            QStringLiteral("A replacement that has ended cannot build its indexes."));
    }
    auto rollbackUnlessDone = qScopeGuard([this] { rollback(); });
    if (!m_begun.first()->buildIndexes(std::exchange(m_lateIndexes, {}), error))
        return false;
    rollbackUnlessDone.dismiss();
    return true;
}

bool ManagedObjectContext::Replacement::commit(Error* error)
{
    m_context->checkQueue("Replacement::commit");
    if (m_ended) {
        throw Exception(Exception::InternalInconsistency,
            QStringLiteral("A replacement that has ended cannot be committed."));
    }
    // Those left, when buildIndexes was not called; a failure there rolls back.
    if (!buildIndexes(error))
        return false;
    auto rollbackUnlessDone = qScopeGuard([this] { rollback(); });
    for (const auto& store : std::as_const(m_begun)) {
        const auto found = m_changes.constFind(store.get());
        if (store->m_saveHook && found != m_changes.cend() && !found->isEmpty()
            && !store->m_saveHook->storeWillCommit(*store, *found, error))
            return false;
    }
    {
        // The values are written: they are freed while the commit waits for the disk.
        std::jthread freeing([old = std::move(m_written)]() mutable { old.clear(); });
        for (qsizetype i = 0; i < m_begun.size(); ++i) {
            if (!m_begun[i]->commit(error)) {
                // Those committed stay so; the others roll back.
                m_begun.remove(0, i);
                return false;
            }
        }
    }
    for (const auto& store : std::as_const(m_begun)) {
        if (store->m_saveHook)
            store->m_saveHook->storeDidCommit(*store);
    }
    rollbackUnlessDone.dismiss();
    m_ended = true;
    m_begun.clear();
    if (std::exchange(m_locked, false))
        m_coordinator->unlock();

    QList<ManagedObject*> gone;
    for (ManagedObject* object : m_context->registeredObjects()) {
        if (m_replaced.contains(object->m_entity))
            gone.append(object);
    }
    for (ManagedObject* object : std::as_const(gone))
        m_context->invalidate(object);
    const QVariantMap info { { InsertedKey, QVariantList() }, { UpdatedKey, QVariantList() },
        { DeletedKey, objectList(gone) } };
    NotificationCenter::defaultCenter().post(ContextDidSaveNotification, m_context, info);
    return true;
}

ManagedObject* ManagedObjectContext::insertNewObject(const QString& entityName)
{
    ManagedObject* object = createObject(entityName);
    insertObject(object);
    return object;
}

void ManagedObjectContext::insertObject(ManagedObject* object)
{
    checkQueue("insertObject");
    if (!object)
        return;
    if (object->m_owner && object->m_owner != this) {
        throw Exception(Exception::InvalidArgument,
            QStringLiteral("An object of %1 may not be inserted into a context other "
                           "than the one that made it.")
                .arg(object->entity().name()));
    }
    if (!object->m_owner)
        adopt(object);
    switch (object->m_state) {
    case ManagedObject::State::New:
    case ManagedObject::State::Invalid:
        object->m_state = ManagedObject::State::Inserted;
        object->m_context = this;
        object->m_key = 0;
        object->m_storeIdentifier.clear();
        object->m_loaded = true;
        object->m_batch.reset();
        object->m_updated = false;
        object->resetCommitted();
        m_inserted.append(object);
        break;
    case ManagedObject::State::Deleted:
        m_deleted.removeOne(object);
        object->m_state = ManagedObject::State::Persistent;
        if (object->m_updated)
            m_updated.append(object);
        break;
    case ManagedObject::State::Inserted:
    case ManagedObject::State::Persistent:
        break;
    }
}

void ManagedObjectContext::deleteObject(ManagedObject* object)
{
    checkQueue("deleteObject");
    if (!object || !object->m_context)
        return;
    if (object->m_context != this) {
        throw Exception(Exception::InvalidArgument,
            QStringLiteral("An object of %1 may not be deleted from a context other "
                           "than its own.")
                .arg(object->entity().name()));
    }
    switch (object->m_state) {
    case ManagedObject::State::Inserted:
        m_inserted.removeOne(object);
        object->m_state = ManagedObject::State::New;
        object->m_context = nullptr;
        break;
    case ManagedObject::State::Persistent:
        if (object->m_updated)
            m_updated.removeOne(object);
        object->m_state = ManagedObject::State::Deleted;
        m_deleted.append(object);
        break;
    default:
        break;
    }
}

void ManagedObjectContext::objectWillChange(ManagedObject* object)
{
    if (!object->changes().committed)
        object->changes().committed = object->m_values;
    if (!object->m_updated) {
        object->m_updated = true;
        if (object->m_state == ManagedObject::State::Persistent)
            m_updated.append(object);
    }
}

void ManagedObjectContext::invalidate(ManagedObject* object)
{
    const auto store = m_registered.find(object->m_storeIdentifier);
    if (store != m_registered.end())
        store->remove(object->m_entity, object->m_key);
    object->m_state = ManagedObject::State::Invalid;
    object->m_context = nullptr;
    object->m_updated = false;
    object->resetCommitted();
    object->clearChanged();
}

void ManagedObjectContext::fulfillFault(ManagedObject* object)
{
    checkQueue("fault");
    if (object->m_batch) {
        fulfillBatch(object);
        return;
    }
    Error error;
    std::optional<std::vector<PersistentStore::Row>> rows;
    if (m_coordinator) {
        QMutexLocker locker(&m_coordinator->m_mutex);
        if (auto store = m_coordinator->storeWithIdentifier(object->m_storeIdentifier))
            rows = store->fetchRows(object->entity(), { object->m_key }, &error);
        else
            error = lostStoreError();
    } else {
        error = noCoordinatorError();
    }
    if (!rows) {
        qWarning().noquote() << "Could not read an object's values:"
                             << error.localizedDescription();
        return;
    }
    if (rows->empty()) {
        lostRow(object);
        return;
    }
    object->m_values = std::move(rows->front().values);
    object->m_loaded = true;
}

ManagedObject* ManagedObjectContext::registered(const ObjectID& id) const
{
    const auto store = m_registered.constFind(id.storeIdentifier);
    return store == m_registered.cend() ? nullptr : store->value(id.entity, id.key);
}

QList<ManagedObject*> ManagedObjectContext::registeredObjects() const
{
    QList<ManagedObject*> objects;
    for (const Registered& store : m_registered)
        objects.append(store.values());
    return objects;
}

void ManagedObjectContext::lostRow(ManagedObject* object)
{
    m_updated.removeOne(object);
    m_deleted.removeOne(object);
    invalidate(object);
    object->m_loaded = true;
    object->m_batch.reset();
}

void ManagedObjectContext::batchFaults(const QList<ManagedObject*>& objects, quint64 batchSize)
{
    QExplicitlySharedDataPointer<FaultBatch> batch;
    for (ManagedObject* object : objects) {
        if (object->m_loaded || object->m_context != this)
            continue;
        if (!batch) {
            batch = new FaultBatch;
            batch->batchSize = qsizetype(std::min(batchSize, quint64(MostReadAhead)));
            batch->objects.reserve(size_t(objects.size()));
        }
        object->m_batch = batch;
        object->m_batchIndex = int(batch->objects.size());
        batch->objects.push_back(object);
    }
}

void ManagedObjectContext::fulfillBatch(ManagedObject* object)
{
    // Held here: the objects let go of it as they are read.
    const QExplicitlySharedDataPointer<FaultBatch> batch = object->m_batch;
    const qsizetype at = object->m_batchIndex;
    // Reading on where the last read ended (a list scrolled, every row filtered) doubles
    // the read each time; any other touch reads the batch that holds the object.
    qsizetype from = at - at % batch->batchSize;
    qsizetype count = batch->batchSize;
    if (at == batch->next) {
        from = at;
        count = std::min(batch->lastRead * 2, MostReadAhead);
    }
    const qsizetype to = std::min(from + count, qsizetype(batch->objects.size()));
    batch->lastRead = count;
    batch->next = to;

    QHash<QString, QList<ManagedObject*>> byStore;
    for (qsizetype i = from; i < to; ++i) {
        ManagedObject* member = batch->objects[size_t(i)];
        if (member->m_context == this && !member->m_loaded && member->m_batch == batch)
            byStore[member->m_storeIdentifier].append(member);
    }
    QMutexLocker locker(m_coordinator ? &m_coordinator->m_mutex : nullptr);
    for (auto it = byStore.begin(); it != byStore.end(); ++it) {
        QList<ManagedObject*>& members = *it;
        Error error;
        std::optional<std::vector<PersistentStore::Row>> rows;
        if (!m_coordinator) {
            error = noCoordinatorError();
        } else if (auto store = m_coordinator->storeWithIdentifier(it.key())) {
            QList<qint64> keys;
            keys.reserve(members.size());
            for (const ManagedObject* member : std::as_const(members))
                keys.append(member->m_key);
            rows = store->fetchRows(*object->m_entity, keys, &error);
        } else {
            error = lostStoreError();
        }
        if (!rows) {
            qWarning().noquote() << "Could not read the values of objects:"
                                 << error.localizedDescription();
            continue;
        }
        // Both in key order: one walk pairs each object with its row.
        std::sort(members.begin(), members.end(),
            [](const ManagedObject* a, const ManagedObject* b) { return a->m_key < b->m_key; });
        auto row = rows->begin();
        for (ManagedObject* member : std::as_const(members)) {
            while (row != rows->end() && row->key < member->m_key)
                ++row;
            if (row == rows->end() || row->key != member->m_key) {
                lostRow(member);
                continue;
            }
            member->m_values = std::move(row->values);
            member->m_loaded = true;
            member->m_batch.reset();
        }
    }
}

bool ManagedObjectContext::hasChanges() const
{
    return !m_inserted.isEmpty() || !m_updated.isEmpty() || !m_deleted.isEmpty();
}

bool ManagedObjectContext::hasPendingChanges(const EntityDescription* entity) const
{
    for (const auto* list : { &m_inserted, &m_updated, &m_deleted }) {
        for (const ManagedObject* object : *list) {
            if (&object->entity() == entity)
                return true;
        }
    }
    return false;
}

bool ManagedObjectContext::validate(
    const FetchRequest& request, bool objects, const EntityDescription** entity, Error* error) const
{
    if (!m_coordinator) {
        report(error, noCoordinatorError());
        return false;
    }
    *entity = m_coordinator->managedObjectModel()->entity(request.entityName());
    if (!*entity) {
        report(error,
            makeError(CoreDataError,
                QStringLiteral("The model has no entity named \"%1\".").arg(request.entityName())));
        return false;
    }
    QStringList keys;
    for (const auto& term : request.predicate().comparisons()) {
        if (!term.variable.isEmpty()) {
            report(error,
                makeError(CoreDataError,
                    QStringLiteral("The fetch predicate still holds the variable "
                                   "$%1.")
                        .arg(term.variable)));
            return false;
        }
        keys << term.attribute;
    }
    for (const auto& sort : request.sortDescriptors())
        keys << sort.key;
    if (!objects)
        keys << request.propertiesToFetch();
    for (const QString& key : std::as_const(keys)) {
        if ((*entity)->indexOfAttribute(key) < 0) {
            report(error,
                makeError(CoreDataError,
                    QStringLiteral("keypath %1 not found in entity %2")
                        .arg(key, (*entity)->name())));
            return false;
        }
    }
    return true;
}

void ManagedObjectContext::takeStoredValues(ManagedObject* object, QList<QVariant>&& values)
{
    if (!object->m_updated) {
        object->m_values = std::move(values);
    } else {
        // The attributes changed in memory keep their values; the rest follow the store.
        const QBitArray& changed = object->changedBits();
        for (int i = 0; i < object->m_values.size(); ++i) {
            if (i >= changed.size() || !changed.testBit(i))
                object->m_values[i] = values.value(i);
        }
        object->changes().committed = std::move(values);
    }
    object->m_loaded = true;
    object->m_batch.reset();
}

ManagedObject* ManagedObjectContext::materialize(const PersistentStore& store, Registered& objects,
    const EntityDescription* entity, qint64 key, QList<QVariant>* values,
    const std::function<ManagedObject*(const EntityDescription*)>* factory)
{
    if (ManagedObject* known = objects.value(entity, key)) {
        if (values)
            takeStoredValues(known, std::move(*values));
        return known;
    }
    ManagedObject* object
        = factory ? ManagedObject::create(entity, *factory) : ManagedObject::create(entity);
    adopt(object);
    object->m_context = this;
    object->m_state = ManagedObject::State::Persistent;
    object->m_storeIdentifier = store.identifier();
    object->m_key = key;
    if (values) {
        object->m_values = std::move(*values);
    } else {
        object->m_loaded = false;
    }
    objects.insert(object);
    return object;
}

QList<ManagedObject*> ManagedObjectContext::fetchObjects(
    const FetchRequest& request, const EntityDescription* entity, Error* error)
{
    QMutexLocker locker(&m_coordinator->m_mutex);
    const auto stores = m_coordinator->m_stores;
    if (stores.isEmpty()) {
        report(error, noStoreError());
        return {};
    }
    const bool pending = request.includesPendingChanges() && hasPendingChanges(entity);
    // With one store and nothing pending the store sorts and limits; otherwise the
    // results are merged here first.
    const bool storeShapes = stores.size() == 1 && !pending;
    // With a batch size the objects come back as faults whose values are read by batches
    // when first touched: memory follows what is looked at, not the size of the table.
    // Sorting here reads every value anyway, so then they come with the rows.
    const bool withValues = (request.fetchBatchSize() == 0 && request.includesPropertyValues())
        || (!storeShapes && !request.sortDescriptors().isEmpty());
    const Predicate& predicate = request.predicate();
    const ManagedObject::Factory factory = ManagedObject::factoryFor(entity);
    QList<ManagedObject*> results;
    for (const auto& store : stores) {
        auto rows = store->fetch(*entity, predicate,
            storeShapes ? request.sortDescriptors() : QList<SortDescriptor>(),
            storeShapes ? request.fetchLimit() : 0, withValues, error);
        if (!rows)
            return {};
        results.reserve(results.size() + qsizetype(rows->size()));
        // A table of many rows is made at once: room for its objects is made once, not
        // grown and rehashed step by step.
        const size_t objects = m_owned.size() + rows->size();
        if (m_owned.capacity() < objects)
            m_owned.reserve(std::max(objects, 2 * m_owned.capacity()));
        Registered& known = m_registered[store->identifier()];
        known.reserve(known.size() + qsizetype(rows->size()));
        for (auto& row : *rows) {
            ManagedObject* object = materialize(
                *store, known, entity, row.key, withValues ? &row.values : nullptr, &factory);
            if (pending) {
                if (object->m_state != ManagedObject::State::Persistent)
                    continue;
                if (object->m_updated && !predicate.evaluate(*entity, object->m_values))
                    continue;
            }
            results.append(object);
        }
    }
    if (pending) {
        const QSet<ManagedObject*> present(results.cbegin(), results.cend());
        for (const auto* list : { &m_updated, &m_inserted }) {
            for (ManagedObject* object : *list) {
                if (&object->entity() == entity && !present.contains(object)
                    && predicate.evaluate(*entity, object->m_values))
                    results.append(object);
            }
        }
    }
    if (!storeShapes) {
        sortObjects(results, *entity, request.sortDescriptors());
        if (request.fetchLimit() > 0 && quint64(results.size()) > request.fetchLimit())
            results.resize(qsizetype(request.fetchLimit()));
    }
    if (request.fetchBatchSize() > 0)
        batchFaults(results, request.fetchBatchSize());
    return results;
}

QList<ManagedObject*> ManagedObjectContext::executeFetchRequest(
    const FetchRequest& request, Error* error)
{
    checkQueue("executeFetchRequest");
    const EntityDescription* entity = nullptr;
    if (!validate(request, true, &entity, error))
        return {};
    return fetchObjects(request, entity, error);
}

QList<QVariantMap> ManagedObjectContext::executeDictionaryFetchRequest(
    const FetchRequest& request, Error* error)
{
    checkQueue("executeFetchRequest");
    const EntityDescription* entity = nullptr;
    if (!validate(request, false, &entity, error))
        return {};
    QMutexLocker locker(&m_coordinator->m_mutex);
    const auto stores = m_coordinator->m_stores;
    if (stores.isEmpty()) {
        report(error, noStoreError());
        return {};
    }
    QList<QVariantMap> results;
    for (const auto& store : stores) {
        auto part = store->fetchDictionaries(*entity, request, error);
        if (!part)
            return {};
        results.append(*part);
    }
    if (stores.size() > 1) {
        if (request.returnsDistinctResults()) {
            QList<QVariantMap> distinct;
            for (const auto& result : std::as_const(results)) {
                if (!distinct.contains(result))
                    distinct.append(result);
            }
            results = distinct;
        }
        const auto& sorts = request.sortDescriptors();
        std::stable_sort(
            results.begin(), results.end(), [&](const QVariantMap& a, const QVariantMap& b) {
                for (const auto& sort : sorts) {
                    const int order = compareValues(a.value(sort.key), b.value(sort.key));
                    if (order != 0)
                        return sort.ascending ? order < 0 : order > 0;
                }
                return false;
            });
        if (request.fetchLimit() > 0 && quint64(results.size()) > request.fetchLimit())
            results.resize(qsizetype(request.fetchLimit()));
    }
    return results;
}

std::optional<quint64> ManagedObjectContext::countForFetchRequest(
    const FetchRequest& request, Error* error)
{
    checkQueue("countForFetchRequest");
    const EntityDescription* entity = nullptr;
    if (!validate(request, true, &entity, error))
        return std::nullopt;
    if (request.includesPendingChanges() && hasPendingChanges(entity)) {
        Error fetchError;
        const auto objects = fetchObjects(request, entity, &fetchError);
        if (!fetchError.isNull()) {
            report(error, fetchError);
            return std::nullopt;
        }
        return quint64(objects.size());
    }
    QMutexLocker locker(&m_coordinator->m_mutex);
    const auto stores = m_coordinator->m_stores;
    if (stores.isEmpty()) {
        report(error, noStoreError());
        return std::nullopt;
    }
    quint64 total = 0;
    for (const auto& store : stores) {
        const auto count = store->count(*entity, request.predicate(), error);
        if (!count)
            return std::nullopt;
        total += *count;
    }
    if (request.fetchLimit() > 0)
        total = std::min(total, request.fetchLimit());
    return total;
}

ManagedObject* ManagedObjectContext::existingObjectWithID(const ObjectID& id, Error* error)
{
    checkQueue("existingObjectWithID");
    if (ManagedObject* known = registered(id))
        return known;
    if (!m_coordinator) {
        report(error, noCoordinatorError());
        return nullptr;
    }
    QMutexLocker locker(&m_coordinator->m_mutex);
    auto store = m_coordinator->storeWithIdentifier(id.storeIdentifier);
    if (!store || !id.entity || id.isTemporary()) {
        report(error, lostStoreError());
        return nullptr;
    }
    auto rows = store->fetchRows(*id.entity, { id.key }, error);
    if (!rows)
        return nullptr;
    if (rows->empty()) {
        report(error, makeError(CoreDataError, QStringLiteral("The object no longer exists.")));
        return nullptr;
    }
    return materialize(
        *store, m_registered[store->identifier()], id.entity, id.key, &rows->front().values);
}

bool ManagedObjectContext::save(Error* error)
{
    checkQueue("save");
    if (!hasChanges())
        return true;
    if (!m_coordinator) {
        report(error, noCoordinatorError());
        return false;
    }
    QList<std::shared_ptr<PersistentStore>> involved;
    std::vector<std::pair<ManagedObject*, qint64>> insertedKeys;
    {
        QMutexLocker locker(&m_coordinator->m_mutex);
        const auto stores = m_coordinator->m_stores;
        if (stores.isEmpty()) {
            report(error, noStoreError());
            return false;
        }
        QHash<QString, std::shared_ptr<PersistentStore>> byIdentifier;
        // Objects come in runs of one store: the last one found is tried first.
        const QString* lastIdentifier = nullptr;
        PersistentStore* lastStore = nullptr;
        auto storeOf = [&](const ManagedObject* object) -> PersistentStore* {
            if (lastIdentifier && object->m_storeIdentifier == *lastIdentifier)
                return lastStore;
            auto it = byIdentifier.constFind(object->m_storeIdentifier);
            if (it == byIdentifier.cend()) {
                it = byIdentifier.insert(object->m_storeIdentifier,
                    m_coordinator->storeWithIdentifier(object->m_storeIdentifier));
            }
            lastIdentifier = &it.key();
            lastStore = it->get();
            return lastStore;
        };
        // New objects go to the first store.
        const auto& target = stores.first();
        auto involve = [&](const std::shared_ptr<PersistentStore>& store) {
            if (!involved.contains(store))
                involved.append(store);
        };
        PersistentStore* lastInvolved = nullptr;
        for (const auto* list : { &m_deleted, &m_updated }) {
            for (ManagedObject* object : *list) {
                PersistentStore* store = storeOf(object);
                if (!store) {
                    report(error, lostStoreError());
                    return false;
                }
                if (store != lastInvolved)
                    involve(byIdentifier.value(object->m_storeIdentifier));
                lastInvolved = store;
            }
        }
        if (!m_inserted.isEmpty())
            involve(target);

        QList<std::shared_ptr<PersistentStore>> begun;
        auto undo = [&] {
            for (const auto& store : std::as_const(begun))
                store->rollback();
        };
        for (const auto& store : std::as_const(involved)) {
            if (!store->begin(error)) {
                undo();
                return false;
            }
            begun.append(store);
            if (m_inserted.size() + m_updated.size() + m_deleted.size() >= FewestForBigSave)
                store->growCacheForSave();
        }
        if (!deleteRows(storeOf, error)) {
            undo();
            return false;
        }
        const QBitArray all;
        for (ManagedObject* object : std::as_const(m_updated)) {
            PersistentStore* store = storeOf(object);
            const auto found = store->updateRow(object->entity(), object->m_key, object->m_values,
                m_mergePolicy == MergePolicy::PropertyObjectTrump ? object->changedBits() : all,
                error);
            if (!found) {
                undo();
                return false;
            }
            // The row was deleted underneath: the in-memory values win and bring it back.
            if (!*found
                && store->insertRow(object->entity(), object->m_values, object->m_key, error)
                    == 0) {
                undo();
                return false;
            }
        }
        // Each run of new objects of one entity goes to the store at once.
        insertedKeys.reserve(size_t(m_inserted.size()));
        std::vector<const QList<QVariant>*> rows;
        std::vector<qint64> keys;
        for (qsizetype from = 0, to = 0; from < m_inserted.size(); from = to) {
            const EntityDescription* entity = m_inserted[from]->m_entity;
            rows.clear();
            keys.clear();
            for (to = from; to < m_inserted.size() && m_inserted[to]->m_entity == entity; ++to)
                rows.push_back(&m_inserted[to]->m_values);
            if (!target->insertRows(*entity, rows, keys, error)) {
                undo();
                return false;
            }
            for (qsizetype i = from; i < to; ++i)
                insertedKeys.emplace_back(m_inserted[i], keys[size_t(i - from)]);
        }
        if (!tellSaveHooks(involved, insertedKeys, error)) {
            undo();
            return false;
        }
        for (qsizetype i = 0; i < involved.size(); ++i) {
            if (!involved[i]->commit(error)) {
                for (qsizetype j = i; j < involved.size(); ++j)
                    involved[j]->rollback();
                return false;
            }
        }
        for (const auto& store : std::as_const(involved)) {
            if (store->m_saveHook)
                store->m_saveHook->storeDidCommit(*store);
        }

        for (ManagedObject* object : std::as_const(m_deleted))
            invalidate(object);
        for (ManagedObject* object : std::as_const(m_updated)) {
            object->m_updated = false;
            object->resetCommitted();
            object->clearChanged();
        }

        Registered& stored = m_registered[target->identifier()];
        stored.reserve(stored.size() + qsizetype(insertedKeys.size()));
        for (const auto& [object, key] : insertedKeys) {
            object->m_state = ManagedObject::State::Persistent;
            object->m_storeIdentifier = target->identifier();
            object->m_key = key;
            object->clearChanged();
            stored.insert(object);
        }
    }
    const QVariantMap info { { InsertedKey, objectList(m_inserted) },
        { UpdatedKey, objectList(m_updated) }, { DeletedKey, objectList(m_deleted) } };
    m_inserted.clear();
    m_updated.clear();
    m_deleted.clear();
    NotificationCenter::defaultCenter().post(ContextDidSaveNotification, this, info);
    return true;
}

bool ManagedObjectContext::deleteRows(
    const std::function<PersistentStore*(const ManagedObject*)>& storeOf, Error* error)
{
    struct Group {
        PersistentStore* store;
        const EntityDescription* entity;
        std::vector<qint64> keys;
    };
    std::vector<Group> groups;
    for (const ManagedObject* object : std::as_const(m_deleted)) {
        PersistentStore* store = storeOf(object);
        auto group = std::find_if(groups.rbegin(), groups.rend(), [&](const Group& group) {
            return group.store == store && group.entity == object->m_entity;
        });
        if (group == groups.rend()) {
            groups.push_back({ store, object->m_entity, {} });
            group = groups.rbegin();
        }
        group->keys.push_back(object->m_key);
    }
    for (Group& group : groups) {
        // The transaction has begun: no one else changes the table before the commit.
        if (group.keys.size() >= FewestForWholeTable) {
            auto stored = group.store->keys(*group.entity, qint64(group.keys.size()) + 1, error);
            if (!stored)
                return false;
            if (stored->size() == group.keys.size()) {
                std::sort(stored->begin(), stored->end());
                std::sort(group.keys.begin(), group.keys.end());
                if (*stored == group.keys) {
                    if (!group.store->deleteAllRows(*group.entity, error))
                        return false;
                    continue;
                }
            }
        }
        for (qint64 key : group.keys) {
            if (!group.store->deleteRow(*group.entity, key, error))
                return false;
        }
    }
    return true;
}

bool ManagedObjectContext::tellSaveHooks(const QList<std::shared_ptr<PersistentStore>>& stores,
    const std::vector<std::pair<ManagedObject*, qint64>>& insertedKeys, Error* error)
{
    using Change = StoreSaveHook::Change;
    for (const auto& store : stores) {
        if (!store->m_saveHook)
            continue;
        QList<Change> changes;
        for (ManagedObject* object : std::as_const(m_deleted)) {
            if (object->m_storeIdentifier == store->identifier())
                changes.append({ Change::Kind::Delete, object->m_entity, object->m_key });
        }
        for (ManagedObject* object : std::as_const(m_updated)) {
            if (object->m_storeIdentifier == store->identifier())
                changes.append({ Change::Kind::Update, object->m_entity, object->m_key });
        }
        // New objects went to the first store.
        if (store == m_coordinator->m_stores.first()) {
            for (const auto& [object, key] : insertedKeys)
                changes.append({ Change::Kind::Insert, object->m_entity, key });
        }
        if (!changes.isEmpty() && !store->m_saveHook->storeWillCommit(*store, changes, error))
            return false;
    }
    return true;
}

void ManagedObjectContext::mergeChangesFromUbiquitousImport(const QVariantMap& userInfo)
{
    checkQueue("mergeChangesFromUbiquitousImport");
    for (const QVariant& value : userInfo.value(UpdatedKey).toList()) {
        ManagedObject* object = registered(value.value<ObjectID>());
        if (!object || object->m_state != ManagedObject::State::Persistent)
            continue;
        if (!object->m_updated) {
            object->m_loaded = false;
            continue;
        }
        // Changed here too: what was not changed here is read now, so that neither the
        // object nor its next save holds the old values of the other machine's edit.
        refreshUnchangedValues(object);
    }
    for (const QVariant& value : userInfo.value(DeletedKey).toList()) {
        ManagedObject* object = registered(value.value<ObjectID>());
        if (!object)
            continue;
        m_updated.removeOne(object);
        m_deleted.removeOne(object);
        invalidate(object);
        object->m_loaded = true;
    }
}

void ManagedObjectContext::refreshUnchangedValues(ManagedObject* object)
{
    Error error;
    std::optional<std::vector<PersistentStore::Row>> rows;
    if (m_coordinator) {
        QMutexLocker locker(&m_coordinator->m_mutex);
        if (auto store = m_coordinator->storeWithIdentifier(object->m_storeIdentifier))
            rows = store->fetchRows(object->entity(), { object->m_key }, &error);
    }
    // A row that cannot be read now, or is gone, leaves the object as it is: its save
    // writes what changed here, and brings a deleted row back, as any save does.
    if (!rows || rows->empty())
        return;
    takeStoredValues(object, std::move(rows->front().values));
}

void ManagedObjectContext::rollback()
{
    checkQueue("rollback");
    for (ManagedObject* object : std::as_const(m_inserted)) {
        object->m_state = ManagedObject::State::New;
        object->m_context = nullptr;
    }
    for (const auto* list : { &m_updated, &m_deleted }) {
        for (ManagedObject* object : *list) {
            if (object->m_changes && object->m_changes->committed)
                object->m_values = *object->m_changes->committed;
            object->m_state = ManagedObject::State::Persistent;
            object->m_updated = false;
            object->resetCommitted();
            object->clearChanged();
        }
    }
    m_inserted.clear();
    m_updated.clear();
    m_deleted.clear();
}

void ManagedObjectContext::refreshObject(ManagedObject* object, bool mergeChanges)
{
    checkQueue("refreshObject");
    if (!object || object->m_context != this || object->m_state != ManagedObject::State::Persistent
        || !object->m_loaded)
        return;
    if (object->m_updated) {
        if (mergeChanges)
            return;
        m_updated.removeOne(object);
        object->m_updated = false;
        object->resetCommitted();
        object->clearChanged();
    }
    object->m_values = QList<QVariant>();
    object->m_loaded = false;
    // Read alone when used again: the fetch's batch has moved on.
    object->m_batch.reset();
    object->m_batchIndex = -1;
}

void ManagedObjectContext::reset()
{
    checkQueue("reset");
    for (ManagedObject* object : std::as_const(m_inserted)) {
        object->m_state = ManagedObject::State::Invalid;
        object->m_context = nullptr;
    }
    for (ManagedObject* object : std::as_const(m_deleted))
        invalidate(object);
    for (ManagedObject* object : registeredObjects())
        invalidate(object);
    m_registered.clear();
    m_inserted.clear();
    m_updated.clear();
    m_deleted.clear();
}

} // namespace platform::coredata
