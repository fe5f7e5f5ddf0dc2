#pragma once

#include "platform/coredata/Predicate.h"
#include "platform/coredata/SortDescriptor.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace platform::coredata {

// What to fetch: the objects (or, with the dictionary result type, chosen attribute
// values) of one entity that satisfy the predicate, in the order of the sort
// descriptors, at most fetchLimit of them (0: no limit). A plain value: copies are
// independent of each other and of the model's templates.
class FetchRequest {
public:
    enum class ResultType { ManagedObject, Dictionary };

    FetchRequest() = default;
    explicit FetchRequest(QString entityName)
        : m_entityName(std::move(entityName))
    {
    }

    const QString& entityName() const { return m_entityName; }
    void setEntityName(const QString& name) { m_entityName = name; }

    const Predicate& predicate() const { return m_predicate; }
    void setPredicate(const Predicate& predicate) { m_predicate = predicate; }

    const QList<SortDescriptor>& sortDescriptors() const { return m_sortDescriptors; }
    void setSortDescriptors(const QList<SortDescriptor>& sorts) { m_sortDescriptors = sorts; }

    quint64 fetchLimit() const { return m_fetchLimit; }
    void setFetchLimit(quint64 limit) { m_fetchLimit = limit; }

    // When not 0, objects come back as faults whose values are read from the store when
    // first touched, this many (or, touched one after another, more) at a time.
    quint64 fetchBatchSize() const { return m_fetchBatchSize; }
    void setFetchBatchSize(quint64 size) { m_fetchBatchSize = size; }

    // When false, objects come back as faults that read their values on first use.
    bool includesPropertyValues() const { return m_includesPropertyValues; }
    void setIncludesPropertyValues(bool include) { m_includesPropertyValues = include; }

    // When true (the default) a fetch of objects sees the context's unsaved inserts,
    // changes and deletions. Dictionary fetches read the store only.
    bool includesPendingChanges() const { return m_includesPendingChanges; }
    void setIncludesPendingChanges(bool include) { m_includesPendingChanges = include; }

    ResultType resultType() const { return m_resultType; }
    void setResultType(ResultType type) { m_resultType = type; }

    // The attributes a dictionary fetch returns (all of them when empty).
    const QStringList& propertiesToFetch() const { return m_propertiesToFetch; }
    void setPropertiesToFetch(const QStringList& names) { m_propertiesToFetch = names; }

    bool returnsDistinctResults() const { return m_returnsDistinctResults; }
    void setReturnsDistinctResults(bool distinct) { m_returnsDistinctResults = distinct; }

    bool operator==(const FetchRequest&) const = default;

private:
    QString m_entityName;
    Predicate m_predicate;
    QList<SortDescriptor> m_sortDescriptors;
    quint64 m_fetchLimit = 0;
    quint64 m_fetchBatchSize = 0;
    bool m_includesPropertyValues = true;
    bool m_includesPendingChanges = true;
    ResultType m_resultType = ResultType::ManagedObject;
    QStringList m_propertiesToFetch;
    bool m_returnsDistinctResults = false;
};

} // namespace platform::coredata
