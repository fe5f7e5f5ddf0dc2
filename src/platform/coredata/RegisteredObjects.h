#pragma once

#include <QList>

#include <vector>

namespace platform::coredata {

class EntityDescription;
class ManagedObject;

// The stored objects of one store that a context holds, found by entity and row. The
// objects know their own entity and row, so the table keeps the objects alone: a table of
// a hundred thousand rows costs about a megabyte instead of the three a hash of keys and
// values takes.
class RegisteredObjects {
public:
    // The object of the entity's row, or null.
    ManagedObject* value(const EntityDescription* entity, qint64 key) const;
    // Adds the object under its entity and row, in place of one held there before.
    void insert(ManagedObject* object);
    void remove(const EntityDescription* entity, qint64 key);
    // Makes room for that many objects at once.
    void reserve(qsizetype count);
    qsizetype size() const { return m_count; }
    QList<ManagedObject*> values() const;

private:
    static size_t hash(const EntityDescription* entity, qint64 key);
    // The slot holding the entity's row, or the empty slot where it would go.
    size_t slotOf(const EntityDescription* entity, qint64 key) const;
    void rehash(size_t size);

    std::vector<ManagedObject*> m_slots; // a power of two of them, or none
    qsizetype m_count = 0;
};

} // namespace platform::coredata
