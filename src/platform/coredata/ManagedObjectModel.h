#pragma once

#include "platform/Error.h"
#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/FetchRequest.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <vector>

namespace platform::coredata {

// The data model: entities in model order and the named fetch-request templates. Read
// from a model file (JSON, see fromJson) and shared, unchanged, by every coordinator
// and context made over it.
class ManagedObjectModel {
public:
    // The model file format:
    //   { "name": "...",
    //     "entities": [ { "name": "Rows",
    //                     "attributes": [ { "name": "id", "type": "String" }, ... ],
    //                     "indexes": [ ["id"], ["usertemplate_id", "order"] ] }, ... ],
    //     "fetchRequests": [ { "name": "FetchRequest_Rows", "entity": "Rows",
    //                          "predicate": { "usertemplate_id": "$USERTEMPLATE_ID" } } ] }
    // Types are "String", "Integer", "Double" and "Boolean". A predicate value that is a
    // text starting with "$" is a substitution variable; others are constants.
    [[nodiscard]] static std::shared_ptr<const ManagedObjectModel> fromJson(
        const QByteArray& json, Error* error = nullptr);
    [[nodiscard]] static std::shared_ptr<const ManagedObjectModel> fromFile(
        const QString& path, Error* error = nullptr);

    const QString& name() const { return m_name; }
    QList<const EntityDescription*> entities() const;
    const EntityDescription* entity(const QString& name) const;

    QStringList fetchRequestTemplateNames() const { return m_templates.keys(); }
    // A copy of the named template; nullopt when the model has none of that name.
    [[nodiscard]] std::optional<FetchRequest> fetchRequestTemplate(const QString& name) const;
    // A copy of the named template with its variables replaced by the given values.
    // Raises platform::Exception (invalid argument) when a variable has no value.
    [[nodiscard]] std::optional<FetchRequest> fetchRequestFromTemplate(
        const QString& name, const QVariantMap& variables) const;

private:
    ManagedObjectModel() = default;

    QString m_name;
    std::vector<std::unique_ptr<EntityDescription>> m_entities;
    QMap<QString, FetchRequest> m_templates;
};

} // namespace platform::coredata
