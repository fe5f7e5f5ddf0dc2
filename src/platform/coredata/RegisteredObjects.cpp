#include "platform/coredata/RegisteredObjects.h"

#include "platform/coredata/ManagedObject.h"

#include <QHash>

#include <algorithm>
#include <bit>

namespace platform::coredata {

namespace {

// At most this share of the slots is taken (in eighths): probes stay short.
constexpr size_t MostTakenEighths = 7;
constexpr size_t FewestSlots = 16;

size_t slotsFor(size_t count)
{
    return std::bit_ceil(
        std::max(FewestSlots, (count * 8 + MostTakenEighths - 1) / MostTakenEighths));
}

} // namespace

size_t RegisteredObjects::hash(const EntityDescription* entity, qint64 key)
{
    return qHashMulti(0, quintptr(entity), key);
}

size_t RegisteredObjects::slotOf(const EntityDescription* entity, qint64 key) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = hash(entity, key) & mask;; slot = (slot + 1) & mask) {
        const ManagedObject* object = m_slots[slot];
        if (!object || (object->m_entity == entity && object->m_key == key))
            return slot;
    }
}

ManagedObject* RegisteredObjects::value(const EntityDescription* entity, qint64 key) const
{
    return m_slots.empty() ? nullptr : m_slots[slotOf(entity, key)];
}

void RegisteredObjects::insert(ManagedObject* object)
{
    if (!object)
        return;
    if (m_slots.size() < slotsFor(size_t(m_count) + 1))
        rehash(slotsFor(size_t(m_count) + 1));
    ManagedObject*& slot = m_slots[slotOf(object->m_entity, object->m_key)];
    if (!slot)
        ++m_count;
    slot = object;
}

void RegisteredObjects::remove(const EntityDescription* entity, qint64 key)
{
    if (m_slots.empty())
        return;
    size_t hole = slotOf(entity, key);
    if (!m_slots[hole])
        return;
    m_slots[hole] = nullptr;
    --m_count;
    // The objects after it in the same run move back into the hole when it lies between
    // their own slot and where they are, so that every object stays reachable.
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = (hole + 1) & mask; m_slots[slot]; slot = (slot + 1) & mask) {
        ManagedObject* object = m_slots[slot];
        const size_t home = hash(object->m_entity, object->m_key) & mask;
        const bool stays
            = hole <= slot ? (hole < home && home <= slot) : (hole < home || home <= slot);
        if (!stays) {
            m_slots[hole] = object;
            m_slots[slot] = nullptr;
            hole = slot;
        }
    }
}

void RegisteredObjects::reserve(qsizetype count)
{
    if (count > 0 && m_slots.size() < slotsFor(size_t(count)))
        rehash(slotsFor(size_t(count)));
}

QList<ManagedObject*> RegisteredObjects::values() const
{
    QList<ManagedObject*> objects;
    objects.reserve(m_count);
    for (ManagedObject* object : m_slots)
        if (object)
            objects.append(object);
    return objects;
}

void RegisteredObjects::rehash(size_t size)
{
    std::vector<ManagedObject*> old(size, nullptr);
    old.swap(m_slots);
    for (ManagedObject* object : old)
        if (object)
            m_slots[slotOf(object->m_entity, object->m_key)] = object;
}

} // namespace platform::coredata
