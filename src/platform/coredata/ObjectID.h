#pragma once

#include <QHashFunctions>
#include <QMetaType>
#include <QString>

namespace platform::coredata {

class EntityDescription;

// Identity of a stored object: its store, entity and row key. An object that has not
// been saved yet has a temporary identity (key 0).
struct ObjectID {
    QString storeIdentifier;
    const EntityDescription* entity = nullptr;
    qint64 key = 0;

    bool isTemporary() const { return key == 0; }
    bool operator==(const ObjectID&) const = default;
};

// The store is left out of the hash: a context holds objects of one or two stores, and
// hashing its identifier for every row fetched cost more than the rare shared bucket.
inline size_t qHash(const ObjectID& id, size_t seed = 0)
{
    return qHashMulti(seed, quintptr(id.entity), id.key);
}

} // namespace platform::coredata

Q_DECLARE_METATYPE(platform::coredata::ObjectID)
