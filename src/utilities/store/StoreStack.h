#pragma once

#include "platform/Error.h"

#include <QString>
#include <QVariantMap>

#include <memory>

namespace platform::coredata {
class ManagedObjectContext;
class ManagedObjectModel;
class PersistentStore;
class PersistentStoreCoordinator;
} // namespace platform::coredata

// The application's store stack: the data model read from the bundle ("Kivotab" of type
// "momd"), a coordinator over it and the one main-queue context the store helpers use.
// One stack is installed for the process; the application's delegate answers its
// managedObjectContext, managedObjectModel and persistentStoreCoordinator from it, so the
// application, the tests and the benchmarks all build the stack the same way.
class StoreStack {
public:
    using ManagedObjectContext = platform::coredata::ManagedObjectContext;
    using ManagedObjectModel = platform::coredata::ManagedObjectModel;
    using PersistentStore = platform::coredata::PersistentStore;
    using PersistentStoreCoordinator = platform::coredata::PersistentStoreCoordinator;

    ~StoreStack();
    StoreStack(const StoreStack&) = delete;
    StoreStack& operator=(const StoreStack&) = delete;

    // The bundled model and a coordinator without stores; no context yet. Null, and the
    // error, when the model cannot be read.
    [[nodiscard]] static std::unique_ptr<StoreStack> make(platform::Error* error = nullptr);
    // A stack over the store file at the path (made when missing, migrated with
    // migrationOptions() plus the given options) with a context: what tools, tests and
    // benchmarks use. Null, and the error, when the model or the store cannot be opened.
    [[nodiscard]] static std::unique_ptr<StoreStack> open(
        const QString& path, const QVariantMap& options = {}, platform::Error* error = nullptr);
    // The options that let a store take the columns and tables the model added.
    static QVariantMap migrationOptions();

    const std::shared_ptr<const ManagedObjectModel>& model() const { return m_model; }
    const std::shared_ptr<PersistentStoreCoordinator>& coordinator() const { return m_coordinator; }
    // The current context; null before makeContext and after dropContext.
    ManagedObjectContext* context() const { return m_context.get(); }

    // Adds the SQLite store file at the path to the coordinator.
    [[nodiscard]] std::shared_ptr<PersistentStore> addStore(
        const QString& path, const QVariantMap& options, platform::Error* error = nullptr);
    // A new main-queue context over the coordinator whose in-memory values win over the
    // store's, replacing the current one (whose objects go with it).
    ManagedObjectContext* makeContext();
    // The same over another coordinator over the stack's model (the store manager's, which
    // loads the application's store), which becomes the stack's coordinator.
    ManagedObjectContext* makeContext(std::shared_ptr<PersistentStoreCoordinator> coordinator);
    // No context until the next makeContext: fetches find nothing, saves save nothing.
    void dropContext();

    // The installed stack, or null.
    static StoreStack* instance();
    static void install(std::unique_ptr<StoreStack> stack);

private:
    explicit StoreStack(std::shared_ptr<const ManagedObjectModel> model);

    std::shared_ptr<const ManagedObjectModel> m_model;
    std::shared_ptr<PersistentStoreCoordinator> m_coordinator;
    std::unique_ptr<ManagedObjectContext> m_context;
};
