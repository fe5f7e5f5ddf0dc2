#include "utilities/store/KivoLibContext.h"

#include "platform/coredata/CoreDataError.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "platform/coredata/ManagedObjectModel.h"
#include "utilities/shell/DebugHelper.h"
#include "utilities/shell/KivoAppDelegate.h"

namespace KivoLib {

namespace {

// Faults come in by batches of this size where the store reads lazily.
constexpr quint64 FetchBatchSize = 20;

void logError(const platform::Error& error)
{
    DebugHelper::singleton().logError(error, false);
}

void logMissingTemplate(const QString& name)
{
    logError(platform::coredata::makeError(platform::coredata::CoreDataError,
        QStringLiteral("The data model has no fetch request named \"%1\".").arg(name)));
}

} // namespace

QList<ManagedObject*> executeWithErrorHandling(ManagedObjectContext* context, FetchRequest request)
{
    if (!context)
        return {};
    request.setFetchBatchSize(FetchBatchSize);
    platform::Error error;
    const auto objects = context->executeFetchRequest(request, &error);
    if (!error.isNull()) {
        logError(error);
        return {};
    }
    return objects;
}

QList<QVariantMap> executeDictionaryWithErrorHandling(
    ManagedObjectContext* context, FetchRequest request, bool* failed)
{
    if (failed)
        *failed = !context;
    if (!context)
        return {};
    request.setResultType(FetchRequest::ResultType::Dictionary);
    request.setFetchBatchSize(FetchBatchSize);
    platform::Error error;
    const auto results = context->executeDictionaryFetchRequest(request, &error);
    if (!error.isNull()) {
        logError(error);
        if (failed)
            *failed = true;
        return {};
    }
    return results;
}

quint64 countWithErrorHandling(ManagedObjectContext* context, const FetchRequest& request)
{
    if (!context)
        return 0;
    platform::Error error;
    const auto count = context->countForFetchRequest(request, &error);
    if (!count) {
        logError(error);
        return 0;
    }
    return *count;
}

ManagedObjectContext* currentContext()
{
    return KivoAppDelegate::ApplicationDelegate()->managedObjectContext();
}

std::shared_ptr<const ManagedObjectModel> currentModel()
{
    return KivoAppDelegate::ApplicationDelegate()->managedObjectModel();
}

std::optional<FetchRequest> getFetchRequest(const QString& name)
{
    const auto model = currentModel();
    return model ? model->fetchRequestTemplate(name) : std::nullopt;
}

std::optional<FetchRequest> getFetchRequest(
    const QString& name, const QVariantMap& substitutionVariables)
{
    const auto model = currentModel();
    return model ? model->fetchRequestFromTemplate(name, substitutionVariables) : std::nullopt;
}

QList<ManagedObject*> executchFetchRequest(const QString& name)
{
    return executchFetchRequest(name, std::nullopt, std::nullopt, 0);
}

QList<ManagedObject*> executchFetchRequest(
    const QString& name, const QVariantMap& substitutionVariables)
{
    return executchFetchRequest(name, substitutionVariables, std::nullopt, 0);
}

QList<ManagedObject*> executchFetchRequest(const QString& name,
    const std::optional<QVariantMap>& substitutionVariables,
    const std::optional<QList<SortDescriptor>>& sortDescriptors, quint64 fetchLimit)
{
    ManagedObjectContext* context = currentContext();
    if (!context)
        return {};
    auto request = substitutionVariables ? getFetchRequest(name, *substitutionVariables)
                                         : getFetchRequest(name);
    if (!request) {
        logMissingTemplate(name);
        return {};
    }
    if (sortDescriptors)
        request->setSortDescriptors(*sortDescriptors);
    if (fetchLimit != 0)
        request->setFetchLimit(fetchLimit);
    return executeWithErrorHandling(context, *request);
}

quint64 countFetchRequest(const QString& name)
{
    ManagedObjectContext* context = currentContext();
    if (!context)
        return 0;
    const auto request = getFetchRequest(name);
    if (!request) {
        logMissingTemplate(name);
        return 0;
    }
    return countWithErrorHandling(context, *request);
}

quint64 countFetchRequest(const QString& name, const QVariantMap& substitutionVariables)
{
    ManagedObjectContext* context = currentContext();
    if (!context)
        return 0;
    const auto request = getFetchRequest(name, substitutionVariables);
    if (!request) {
        logMissingTemplate(name);
        return 0;
    }
    return countWithErrorHandling(context, *request);
}

ManagedObject* addEntity(const QString& entityName)
{
    ManagedObjectContext* context = currentContext();
    return context ? context->createObject(entityName) : nullptr;
}

void insertEntity(ManagedObject* object)
{
    if (ManagedObjectContext* context = currentContext())
        context->insertObject(object);
}

void rollback()
{
    ManagedObjectContext* context = currentContext();
    if (context && context->hasChanges())
        context->rollback();
}

QVariantList getDistinctValues(const QString& attributeName, const QString& entityName)
{
    ManagedObjectContext* context = currentContext();
    if (!context)
        return {};
    FetchRequest request(entityName);
    request.setPropertiesToFetch({ attributeName });
    request.setReturnsDistinctResults(true);
    const auto results = executeDictionaryWithErrorHandling(context, request);
    QVariantList values;
    for (const QVariantMap& result : results)
        values << result.value(attributeName);
    return values;
}

bool commit()
{
    return KivoAppDelegate::ApplicationDelegate()->saveContext();
}

} // namespace KivoLib
