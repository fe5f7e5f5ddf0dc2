#include "utilities/store/StoreStack.h"

#include "platform/Folders.h"
#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "platform/coredata/PersistentStore.h"
#include "platform/coredata/PersistentStoreCoordinator.h"
#include "platform/coredata/StoreOptions.h"

#include <QUrl>

#include <mutex>

namespace cd = platform::coredata;

namespace {

const QString ModelName = QStringLiteral("Kivotab");
const QString ModelType = QStringLiteral("momd");

std::unique_ptr<StoreStack>& installed()
{
    static std::unique_ptr<StoreStack> stack;
    return stack;
}

// The model never changes while the process runs: it is read once and shared by every
// stack made after.
std::shared_ptr<const cd::ManagedObjectModel> bundledModel(platform::Error* error)
{
    static std::mutex mutex;
    static std::shared_ptr<const cd::ManagedObjectModel> model;
    std::lock_guard lock(mutex);
    if (!model) {
        const QString path = platform::Folders::resourcePath(ModelName, ModelType);
        if (path.isEmpty()) {
            cd::report(error,
                cd::makeError(cd::CoreDataError,
                    QStringLiteral("The data model \"%1.%2\" is missing from the bundle.")
                        .arg(ModelName, ModelType)));
            return nullptr;
        }
        model = cd::ManagedObjectModel::fromFile(path, error);
    }
    return model;
}

} // namespace

StoreStack::StoreStack(std::shared_ptr<const ManagedObjectModel> model)
    : m_model(std::move(model))
    , m_coordinator(std::make_shared<PersistentStoreCoordinator>(m_model))
{
}

StoreStack::~StoreStack()
{
    // The objects go before the stores they came from.
    m_context.reset();
}

std::unique_ptr<StoreStack> StoreStack::make(platform::Error* error)
{
    auto model = bundledModel(error);
    if (!model)
        return nullptr;
    return std::unique_ptr<StoreStack>(new StoreStack(std::move(model)));
}

std::unique_ptr<StoreStack> StoreStack::open(
    const QString& path, const QVariantMap& options, platform::Error* error)
{
    auto stack = make(error);
    if (!stack)
        return nullptr;
    QVariantMap all = migrationOptions();
    all.insert(options);
    if (!stack->addStore(path, all, error))
        return nullptr;
    stack->makeContext();
    return stack;
}

QVariantMap StoreStack::migrationOptions()
{
    return { { cd::MigratePersistentStoresAutomaticallyOption, true },
        { cd::InferMappingModelAutomaticallyOption, true } };
}

std::shared_ptr<cd::PersistentStore> StoreStack::addStore(
    const QString& path, const QVariantMap& options, platform::Error* error)
{
    return m_coordinator->addPersistentStore(
        cd::SQLiteStoreType, {}, QUrl::fromLocalFile(path), options, error);
}

cd::ManagedObjectContext* StoreStack::makeContext()
{
    m_context.reset();
    m_context
        = std::make_unique<ManagedObjectContext>(ManagedObjectContext::ConcurrencyType::MainQueue);
    m_context->setPersistentStoreCoordinator(m_coordinator);
    m_context->setMergePolicy(ManagedObjectContext::MergePolicy::PropertyObjectTrump);
    return m_context.get();
}

cd::ManagedObjectContext* StoreStack::makeContext(
    std::shared_ptr<PersistentStoreCoordinator> coordinator)
{
    m_context.reset();
    if (coordinator)
        m_coordinator = std::move(coordinator);
    return makeContext();
}

void StoreStack::dropContext()
{
    m_context.reset();
}

StoreStack* StoreStack::instance()
{
    return installed().get();
}

void StoreStack::install(std::unique_ptr<StoreStack> stack)
{
    // The old stack goes only after the new one is in place, so nothing looks it up half
    // taken down.
    std::swap(installed(), stack);
}
