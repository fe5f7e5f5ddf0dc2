#pragma once

#include "platform/coredata/FetchRequest.h"

#include <QList>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

namespace platform::coredata {
class ManagedObject;
class ManagedObjectContext;
class ManagedObjectModel;
} // namespace platform::coredata

// Store operations of the managed object context: named fetches, counts, creation,
// rollback and commit. The class-level ones always work on the application delegate's
// current context and model, looked up again at every call, so they follow the store
// when it is reloaded; while no store is loaded they find nothing and make nothing.
namespace KivoLib {

using platform::coredata::FetchRequest;
using platform::coredata::ManagedObject;
using platform::coredata::ManagedObjectContext;
using platform::coredata::ManagedObjectModel;
using platform::coredata::SortDescriptor;

// The fetch on the given context, with a batch size of 20. Errors are written to the
// debug log and read as nothing found; a null context finds nothing.
QList<ManagedObject*> executeWithErrorHandling(ManagedObjectContext* context, FetchRequest request);
// The dictionary fetch (attribute values, from the stores only) on the given context, with
// the same handling of errors and of a null context; `failed`, when given, tells the two
// apart from finding nothing.
QList<QVariantMap> executeDictionaryWithErrorHandling(
    ManagedObjectContext* context, FetchRequest request, bool* failed = nullptr);
// The count of the fetch on the given context; 0 after an error (logged).
quint64 countWithErrorHandling(ManagedObjectContext* context, const FetchRequest& request);

ManagedObjectContext* currentContext();
std::shared_ptr<const ManagedObjectModel> currentModel();

// A copy of the model's template of that name (with the variables substituted); nullopt
// when there is no model or no such template.
[[nodiscard]] std::optional<FetchRequest> getFetchRequest(const QString& name);
[[nodiscard]] std::optional<FetchRequest> getFetchRequest(
    const QString& name, const QVariantMap& substitutionVariables);

// Named fetches on the current context. A name the model lacks is logged and finds
// nothing. Absent variables or sorts leave the template as it is; a limit of 0 is none.
QList<ManagedObject*> executchFetchRequest(const QString& name);
QList<ManagedObject*> executchFetchRequest(
    const QString& name, const QVariantMap& substitutionVariables);
QList<ManagedObject*> executchFetchRequest(const QString& name,
    const std::optional<QVariantMap>& substitutionVariables,
    const std::optional<QList<SortDescriptor>>& sortDescriptors, quint64 fetchLimit);

quint64 countFetchRequest(const QString& name);
quint64 countFetchRequest(const QString& name, const QVariantMap& substitutionVariables);

// A new object of the entity, inserted in no context (insertEntity or Save inserts it).
// Null without a current context or for an entity the model lacks.
[[nodiscard]] ManagedObject* addEntity(const QString& entityName);
void insertEntity(ManagedObject* object);
// Drops the current context's unsaved changes, when it has any.
void rollback();
// The distinct stored values of the attribute over every object of the entity.
QVariantList getDistinctValues(const QString& attributeName, const QString& entityName);
// Saves the current context through the application delegate, which shows a failure.
[[nodiscard]] bool commit();

} // namespace KivoLib
