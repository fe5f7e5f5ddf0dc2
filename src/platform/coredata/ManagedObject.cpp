#include "platform/coredata/ManagedObject.h"

#include "platform/Exception.h"
#include "platform/coredata/FaultBatch.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/StoredText.h"

#include <QMap>

#include <mutex>

namespace platform::coredata {

namespace {

std::mutex& factoriesMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Ordered by name rather than hashed: a text hash right after text comparisons is slow on
// common processors, and objects are made by the thousand.
QMap<QString, ManagedObject::Factory>& factories()
{
    static QMap<QString, ManagedObject::Factory> map;
    return map;
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    if (aNull || bNull)
        return aNull == bNull;
    if (StoredText::isHeld(a) || StoredText::isHeld(b)) {
        if (a.metaType() == b.metaType())
            return a == b;
        return sameValue(StoredText::readable(a), StoredText::readable(b));
    }
    return a.metaType() == b.metaType() && a == b;
}

} // namespace

ManagedObject::ManagedObject(const EntityDescription* entity)
    : m_entity(entity)
{
    Q_ASSERT(entity);
    // m_values is sized when the first value is set and m_changes made at the first change:
    // most fetched objects are only read, and faults hold no values at all.
}

ManagedObject::~ManagedObject() = default;

void ManagedObject::registerFactory(const QString& entityName, Factory factory)
{
    std::lock_guard lock(factoriesMutex());
    factories().insert(entityName, std::move(factory));
}

ManagedObject::Factory ManagedObject::factoryFor(const EntityDescription* entity)
{
    std::lock_guard lock(factoriesMutex());
    return factories().value(entity->name());
}

ManagedObject* ManagedObject::create(const EntityDescription* entity, const Factory& factory)
{
    return factory ? factory(entity) : new ManagedObject(entity);
}

ManagedObject* ManagedObject::create(const EntityDescription* entity)
{
    return create(entity, factoryFor(entity));
}

ManagedObjectContext* ManagedObject::managedObjectContext() const
{
    return m_context;
}

ObjectID ManagedObject::objectID() const
{
    return { m_storeIdentifier, m_entity, m_key };
}

int ManagedObject::checkedIndex(const QString& key) const
{
    const int index = m_entity->indexOfAttribute(key);
    if (index < 0) {
        throw Exception(Exception::InvalidArgument,
            QStringLiteral("the entity %1 is not key value coding-compliant for the key "
                           "\"%2\".")
                .arg(m_entity->name(), key));
    }
    return index;
}

void ManagedObject::ensureLoaded() const
{
    if (!m_loaded && m_context)
        m_context->fulfillFault(const_cast<ManagedObject*>(this));
}

const QBitArray& ManagedObject::changedBits() const
{
    static const QBitArray none;
    return m_changes ? m_changes->changed : none;
}

ManagedObject::Changes& ManagedObject::changes()
{
    if (!m_changes)
        m_changes = std::make_unique<Changes>();
    return *m_changes;
}

void ManagedObject::resetCommitted()
{
    if (m_changes)
        m_changes->committed.reset();
}

void ManagedObject::clearChanged()
{
    if (m_changes)
        m_changes->changed.fill(false);
}

void ManagedObject::willAccessValueForKey(const QString&) const
{
    ensureLoaded();
}

QVariant ManagedObject::value(const QString& key) const
{
    return value(checkedIndex(key));
}

void ManagedObject::setValue(const QString& key, const QVariant& value)
{
    setValue(checkedIndex(key), value);
}

QVariant ManagedObject::value(int index) const
{
    ensureLoaded();
    return StoredText::readable(m_values.value(index));
}

QVariant ManagedObject::storedValue(int index) const
{
    ensureLoaded();
    const QVariant value = m_values.value(index);
    return StoredText::isId(value) ? StoredText::readable(value) : value;
}

void ManagedObject::setStoredText(int index, const QByteArray& utf8)
{
    if (index < 0 || index >= m_entity->attributes().size()
        || m_entity->attributes()[index].type != AttributeType::String) {
        setValue(index, QString::fromUtf8(utf8));
        return;
    }
    assign(index, StoredText::held(utf8));
}

void ManagedObject::setValue(int index, const QVariant& value)
{
    if (index < 0 || index >= m_entity->attributes().size()) {
        throw Exception(Exception::RangeError,
            QStringLiteral("attribute index %1 out of range for %2")
                .arg(index)
                .arg(m_entity->name()));
    }
    const AttributeDescription& attribute = m_entity->attributes()[index];
    const auto coerced = attribute.coerce(value);
    if (!coerced) {
        throw Exception(Exception::InvalidArgument,
            QStringLiteral("Unacceptable type of value for attribute: property = \"%1\"; "
                           "desired type = %2; given type = %3; value = %4.")
                .arg(attribute.name, AttributeDescription::typeName(attribute.type),
                    QString::fromLatin1(value.typeName()), value.toString()));
    }
    assign(index, *coerced);
}

void ManagedObject::assign(int index, const QVariant& value)
{
    ensureLoaded();
    if (m_values.size() != m_entity->attributes().size())
        m_values.resize(m_entity->attributes().size());
    if (sameValue(m_values[index], value))
        return;
    QBitArray& changed = changes().changed;
    if (changed.size() != m_values.size())
        changed.resize(m_values.size());
    if (m_context && (m_state == State::Persistent || m_state == State::Deleted))
        m_context->objectWillChange(this);
    m_values[index] = value;
    changed.setBit(index);
}

QList<QVariant> ManagedObject::values() const
{
    ensureLoaded();
    QList<QVariant> all = m_values;
    if (all.size() != m_entity->attributes().size())
        all.resize(m_entity->attributes().size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (StoredText::isHeld(all.at(i)))
            all[i] = StoredText::readable(all.at(i));
    }
    return all;
}

QStringList ManagedObject::changedKeys() const
{
    QStringList keys;
    const QBitArray& changed = changedBits();
    for (int i = 0; i < changed.size(); ++i) {
        if (changed.testBit(i))
            keys << m_entity->attributes()[i].name;
    }
    return keys;
}

} // namespace platform::coredata
