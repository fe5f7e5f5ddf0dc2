#include "platform/coredata/StoreOptions.h"

namespace platform::coredata {

const QString SQLiteStoreType = QStringLiteral("SQLite");

const QString ReadOnlyPersistentStoreOption = QStringLiteral("NSReadOnlyPersistentStoreOption");
const QString MigratePersistentStoresAutomaticallyOption
    = QStringLiteral("NSMigratePersistentStoresAutomaticallyOption");
const QString InferMappingModelAutomaticallyOption
    = QStringLiteral("NSInferMappingModelAutomaticallyOption");
const QString PersistentStoreRemoveUbiquitousMetadataOption
    = QStringLiteral("NSPersistentStoreRemoveUbiquitousMetadataOption");
const QString PersistentStoreUbiquitousContentNameKey
    = QStringLiteral("NSPersistentStoreUbiquitousContentNameKey");
const QString PersistentStoreUbiquitousContentURLKey
    = QStringLiteral("NSPersistentStoreUbiquitousContentURLKey");
const QString PersistentStoreUbiquitousContainerIdentifierKey
    = QStringLiteral("NSPersistentStoreUbiquitousContainerIdentifierKey");
const QString PersistentStoreRebuildFromUbiquitousContentOption
    = QStringLiteral("NSPersistentStoreRebuildFromUbiquitousContentOption");
const QString PersistentStoreUbiquitousIdentityTokenOption
    = QStringLiteral("KivoPersistentStoreUbiquitousIdentityTokenOption");

const QString StoreUUIDKey = QStringLiteral("NSStoreUUID");
const QString StoreTypeKey = QStringLiteral("NSStoreType");
const QString UbiquityMetadataPrefix = QStringLiteral("com.apple.coredata.ubiquity");

const QString StoresDidChangeNotification
    = QStringLiteral("NSPersistentStoreCoordinatorStoresDidChangeNotification");
const QString StoresWillChangeNotification
    = QStringLiteral("NSPersistentStoreCoordinatorStoresWillChangeNotification");
const QString DidImportUbiquitousContentChangesNotification
    = QStringLiteral("NSPersistentStoreDidImportUbiquitousContentChangesNotification");
const QString ContextDidSaveNotification
    = QStringLiteral("NSManagedObjectContextDidSaveNotification");

} // namespace platform::coredata
