#pragma once

#include <QString>

// Names shared by the coordinator, its stores and the code that loads stores: store
// types, the option keys a store is added with, and the metadata keys every store holds.
namespace platform::coredata {

extern const QString SQLiteStoreType; // "SQLite"

// Options. A flag option is on when its value converts to true.
extern const QString ReadOnlyPersistentStoreOption;
// Both must be on for an existing store to take columns and tables the model added.
extern const QString MigratePersistentStoresAutomaticallyOption;
extern const QString InferMappingModelAutomaticallyOption;
// Drops the cloud-sync keys (UbiquityMetadataPrefix) from the store's metadata.
extern const QString PersistentStoreRemoveUbiquitousMetadataOption;
// Cloud-store options: kept with the store for the cloud layer, not read by the store.
extern const QString PersistentStoreUbiquitousContentNameKey;
extern const QString PersistentStoreUbiquitousContentURLKey;
extern const QString PersistentStoreUbiquitousContainerIdentifierKey;
extern const QString PersistentStoreRebuildFromUbiquitousContentOption;
// The token of the cloud account the store belongs to; without it, the account signed in
// when the store is added. The store is refused in a cloud folder of another account.
extern const QString PersistentStoreUbiquitousIdentityTokenOption;

// Metadata keys every store carries.
extern const QString StoreUUIDKey; // "NSStoreUUID": random identity made with the store
extern const QString StoreTypeKey; // "NSStoreType"
// Prefix of the metadata keys that belong to cloud synchronisation.
extern const QString UbiquityMetadataPrefix; // "com.apple.coredata.ubiquity"

// Notifications (NotificationCenter), posted on the thread that made the change.
// Object: the coordinator; user info "added" / "removed": lists of store URLs.
extern const QString StoresDidChangeNotification;
// Posted by the cloud layer with the coordinator as object before its stores change.
extern const QString StoresWillChangeNotification;
// Posted by the cloud layer with the coordinator as object after importing changes.
extern const QString DidImportUbiquitousContentChangesNotification;
// Object: the context; user info "inserted", "updated", "deleted": lists of QObject*.
extern const QString ContextDidSaveNotification;

} // namespace platform::coredata
