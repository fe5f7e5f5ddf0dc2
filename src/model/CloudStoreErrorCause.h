#pragma once

#include <QString>

// Where a failure of the store manager happened; every failure travels as an error, a
// cause and a context object.
enum CloudStoreErrorCause : qint32 {
    CloudStoreErrorCauseNoError = 0,
    CloudStoreErrorCauseDeleteStore,
    CloudStoreErrorCauseCreateStorePath,
    CloudStoreErrorCauseClearStore,
    CloudStoreErrorCauseOpenActiveStore,
    CloudStoreErrorCauseOpenSeedStore,
    CloudStoreErrorCauseSeedStore,
    CloudStoreErrorCauseImportChanges,
    CloudStoreErrorCauseConfirmActiveStore,
    CloudStoreErrorCauseCorruptActiveStore,
    CloudStoreErrorCauseEnumerateStores,
};

// How a store is seeded from another; 0 handed to a migration means the manager's own.
enum CloudStoreMigrationStrategy : qint32 {
    CloudStoreMigrationStrategyCopyEntities = 1,
    CloudStoreMigrationStrategyIOS = 2,
    CloudStoreMigrationStrategyManual = 3,
    CloudStoreMigrationStrategyNone = 4,
};

// The cause's name as logs show it ("CloudStoreErrorCauseSeedStore"), and
// "UnsupportedCause:%d" for a value outside the enumeration.
QString CSMNameOfCause(qint32 cause);
