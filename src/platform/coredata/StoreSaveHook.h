#pragma once

#include "platform/Error.h"

#include <QList>

namespace platform::coredata {

class EntityDescription;
class PersistentStore;

// A party that keeps a record of a store's saves elsewhere (the cloud side of a cloud
// store). The store calls it with its coordinator's lock held.
class StoreSaveHook {
public:
    struct Change {
        enum class Kind { Insert, Update, Delete };
        Kind kind = Kind::Insert;
        const EntityDescription* entity = nullptr;
        qint64 key = 0; // the row's key in the store
    };

    virtual ~StoreSaveHook() = default;

    // Inside the save's transaction, after its rows are written and before the commit, so
    // that what the hook writes to the store lands with them or not at all. False (with
    // the error) fails the save.
    virtual bool storeWillCommit(PersistentStore& store, const QList<Change>& changes, Error* error)
        = 0;
    // After the commit.
    virtual void storeDidCommit(PersistentStore& store) = 0;
    // The store is closing; the hook must not touch it from now on.
    virtual void storeWillClose(PersistentStore& store) = 0;
};

} // namespace platform::coredata
