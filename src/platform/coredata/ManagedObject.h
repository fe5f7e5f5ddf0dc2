#pragma once

#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/ObjectID.h"

#include <QBitArray>
#include <QByteArray>
#include <QExplicitlySharedDataPointer>
#include <QList>
#include <QObject>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

namespace platform::coredata {

class ManagedObjectContext;
struct FaultBatch;

// One object of an entity. Its attributes are values in the entity's declared order,
// each unset (null QVariant) until given one. Entity classes derive from it, declare
// their attributes as QVariant Qt properties whose accessors call value()/setValue(),
// and register themselves with registerClass<T>("Entity") before objects are made.
//
// An object is made by a context (ManagedObjectContext::createObject) detached: it
// belongs to that context but is in none until insertObject; it reaches the store at
// the next save. Objects live as long as the context that made them.
class ManagedObject : public QObject {
    Q_OBJECT

public:
    using Factory = std::function<ManagedObject*(const EntityDescription* entity)>;

    explicit ManagedObject(const EntityDescription* entity);
    ~ManagedObject() override;

    // Makes objects of the entity as instances of T (constructible from the entity).
    template<class T> static void registerClass(const QString& entityName)
    {
        registerFactory(entityName,
            [](const EntityDescription* entity) -> ManagedObject* { return new T(entity); });
    }
    static void registerFactory(const QString& entityName, Factory factory);
    // A new object of the entity's registered class, or of this class when none is.
    static ManagedObject* create(const EntityDescription* entity);

    const EntityDescription& entity() const { return *m_entity; }
    // The context the object is in; null while detached or after it became invalid.
    ManagedObjectContext* managedObjectContext() const;
    ObjectID objectID() const;

    bool isInserted() const { return m_state == State::Inserted; }
    bool isUpdated() const { return m_state == State::Persistent && m_updated; }
    bool isDeleted() const { return m_state == State::Deleted; }
    bool hasChanges() const { return isInserted() || isUpdated() || isDeleted(); }
    // True when the object holds no trustworthy values: its row was deleted by a save or
    // found missing, or its context was reset; also while its values are not yet read.
    bool isFault() const { return m_state == State::Invalid || !m_loaded; }
    // Reads the values from the store when they are not yet in memory (with those of the
    // object's batch); afterwards the object is a fault only when its row is gone.
    void willAccessValueForKey(const QString& key = {}) const;

    // Attribute values by name; an unknown name raises platform::Exception (invalid
    // argument). setValue converts to the attribute's type and raises for a value of a
    // kind the attribute cannot hold.
    QVariant value(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    QVariant value(int index) const;
    void setValue(int index, const QVariant& value);
    // The value as held: a long text as its stored UTF-8 bytes (a QByteArray, see
    // StoredText), anything else as value() gives it. For readers of many rows that parse
    // the bytes themselves.
    QVariant storedValue(int index) const;
    // Sets a text attribute from UTF-8 bytes (a text made as bytes need not be converted
    // twice); as setValue with the text for any other attribute.
    void setStoredText(int index, const QByteArray& utf8);
    // Every attribute value in declared order.
    QList<QVariant> values() const;
    // Names of the attributes changed since the last save.
    QStringList changedKeys() const;

private:
    friend class ManagedObjectContext;
    friend class FaultReader;
    friend class RegisteredObjects;

    enum class State : quint8 { New, Inserted, Persistent, Deleted, Invalid };

    // The entity's registered maker (empty when none), looked up once for many objects.
    static Factory factoryFor(const EntityDescription* entity);
    static ManagedObject* create(const EntityDescription* entity, const Factory& factory);

    int checkedIndex(const QString& key) const;
    // Sets a value already in the attribute's type, marking the change.
    void assign(int index, const QVariant& value);
    void ensureLoaded() const;
    // What only a changed object needs, made at its first change.
    struct Changes {
        std::optional<QList<QVariant>> committed; // store values, kept from the first change
        QBitArray changed; // one bit per attribute
    };
    // The bits of the attributes changed since the last save (empty before any change).
    const QBitArray& changedBits() const;
    Changes& changes();
    void resetCommitted();
    void clearChanged();

    // Tables are fetched by the hundred thousand objects: the members are laid out so that
    // none leaves a gap, and what only a changed object needs is made at the change.
    const EntityDescription* m_entity;
    ManagedObjectContext* m_owner = nullptr; // the context that holds the object's memory
    ManagedObjectContext* m_context = nullptr; // the context the object is in
    State m_state = State::New;
    bool m_loaded = true;
    bool m_updated = false;
    // The fetch's faults this one is read with, and its place among them.
    int m_batchIndex = -1;
    QExplicitlySharedDataPointer<FaultBatch> m_batch;
    QList<QVariant> m_values; // empty until the first value is read or set
    std::unique_ptr<Changes> m_changes;
    QString m_storeIdentifier;
    qint64 m_key = 0;
};

} // namespace platform::coredata
