#include "platform/coredata/ManagedObjectModel.h"

#include "platform/coredata/CoreDataError.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace platform::coredata {

namespace {

const QString VariablePrefix = QStringLiteral("$");

Error modelError(const QString& what)
{
    return makeError(CoreDataError, QStringLiteral("The data model is not valid: %1").arg(what));
}

} // namespace

std::shared_ptr<const ManagedObjectModel> ManagedObjectModel::fromJson(
    const QByteArray& json, Error* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        report(error, modelError(parseError.errorString()));
        return nullptr;
    }
    const QJsonObject root = document.object();
    std::shared_ptr<ManagedObjectModel> model(new ManagedObjectModel);
    model->m_name = root.value(QStringLiteral("name")).toString();

    QSet<QString> entityNames;
    for (const QJsonValue& entityValue : root.value(QStringLiteral("entities")).toArray()) {
        const QJsonObject entity = entityValue.toObject();
        const QString name = entity.value(QStringLiteral("name")).toString();
        if (name.isEmpty() || name.startsWith('_') || entityNames.contains(name)) {
            report(error, modelError(QStringLiteral("entity name \"%1\"").arg(name)));
            return nullptr;
        }
        entityNames.insert(name);
        QList<AttributeDescription> attributes;
        QSet<QString> attributeNames;
        for (const QJsonValue& attributeValue :
            entity.value(QStringLiteral("attributes")).toArray()) {
            const QJsonObject attribute = attributeValue.toObject();
            const QString attributeName = attribute.value(QStringLiteral("name")).toString();
            const auto type = AttributeDescription::typeFromName(
                attribute.value(QStringLiteral("type")).toString());
            if (attributeName.isEmpty() || attributeName.startsWith('_') || !type
                || attributeNames.contains(attributeName)) {
                report(error,
                    modelError(QStringLiteral("attribute \"%1\" of %2").arg(attributeName, name)));
                return nullptr;
            }
            attributeNames.insert(attributeName);
            attributes.append({ attributeName, *type });
        }
        QList<QStringList> indexes;
        for (const QJsonValue& indexValue : entity.value(QStringLiteral("indexes")).toArray()) {
            QStringList columns;
            for (const QJsonValue& column : indexValue.toArray()) {
                if (!attributeNames.contains(column.toString())) {
                    report(error,
                        modelError(QStringLiteral("index column \"%1\" of %2")
                                       .arg(column.toString(), name)));
                    return nullptr;
                }
                columns << column.toString();
            }
            if (!columns.isEmpty())
                indexes << columns;
        }
        model->m_entities.push_back(std::make_unique<EntityDescription>(
            name, attributes, indexes, int(model->m_entities.size())));
    }

    for (const QJsonValue& templateValue : root.value(QStringLiteral("fetchRequests")).toArray()) {
        const QJsonObject object = templateValue.toObject();
        const QString name = object.value(QStringLiteral("name")).toString();
        const EntityDescription* entity
            = model->entity(object.value(QStringLiteral("entity")).toString());
        if (name.isEmpty() || !entity || model->m_templates.contains(name)) {
            report(error, modelError(QStringLiteral("fetch request \"%1\"").arg(name)));
            return nullptr;
        }
        FetchRequest request(entity->name());
        Predicate predicate;
        const QJsonObject terms = object.value(QStringLiteral("predicate")).toObject();
        for (auto it = terms.begin(); it != terms.end(); ++it) {
            if (entity->indexOfAttribute(it.key()) < 0) {
                report(error,
                    modelError(QStringLiteral("predicate of \"%1\" names %2").arg(name, it.key())));
                return nullptr;
            }
            const QString text = it.value().toString();
            predicate = predicate
                && (it.value().isString() && text.startsWith(VariablePrefix)
                        ? Predicate::equalToVariable(it.key(), text.mid(1))
                        : Predicate::equal(it.key(), it.value().toVariant()));
        }
        request.setPredicate(predicate);
        model->m_templates.insert(name, request);
    }
    return model;
}

std::shared_ptr<const ManagedObjectModel> ManagedObjectModel::fromFile(
    const QString& path, Error* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report(error,
            makeError(CoreDataError,
                QStringLiteral("The data model could not be read: %1").arg(file.errorString()),
                path));
        return nullptr;
    }
    return fromJson(file.readAll(), error);
}

QList<const EntityDescription*> ManagedObjectModel::entities() const
{
    QList<const EntityDescription*> list;
    for (const auto& entity : m_entities)
        list << entity.get();
    return list;
}

const EntityDescription* ManagedObjectModel::entity(const QString& name) const
{
    for (const auto& entity : m_entities) {
        if (entity->name() == name)
            return entity.get();
    }
    return nullptr;
}

std::optional<FetchRequest> ManagedObjectModel::fetchRequestTemplate(const QString& name) const
{
    const auto it = m_templates.constFind(name);
    if (it == m_templates.cend())
        return std::nullopt;
    return *it;
}

std::optional<FetchRequest> ManagedObjectModel::fetchRequestFromTemplate(
    const QString& name, const QVariantMap& variables) const
{
    auto request = fetchRequestTemplate(name);
    if (request)
        request->setPredicate(request->predicate().withSubstitutionVariables(variables));
    return request;
}

} // namespace platform::coredata
