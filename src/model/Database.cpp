#include "model/Database.h"

#include "model/DefaultContent.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"
#include "utilities/store/KivoLibContext.h"
#include "utilities/store/KivoLibObject.h"

namespace {

const QString kFetchDatabases = QStringLiteral("FetchRequest_Databases");
const QString kFetchDatabase = QStringLiteral("FetchRequest_Database");
const QString kDatabaseIdVariable = QStringLiteral("DATABASE_ID");

} // namespace

QString Database::entityName()
{
    return QStringLiteral("Database");
}

QList<Database*> Database::getDatabases()
{
    return ModelRegistry::fetch<Database>(kFetchDatabases);
}

Database* Database::getDatabase(const QString& databaseId)
{
    const auto found
        = ModelRegistry::fetch<Database>(kFetchDatabase, { { kDatabaseIdVariable, databaseId } });
    return found.size() == 1 ? found.first() : nullptr;
}

Database* Database::add()
{
    ModelRegistry::registerClasses();
    auto* database = qobject_cast<Database*>(KivoLib::addEntity(entityName()));
    if (!database)
        return nullptr;
    database->setId(ModelRegistry::newId());
    database->setIssystem(false);
    database->setCtimestamp(ModelRegistry::now());
    database->setName(QString(QLatin1String("")));
    database->setDescr(QString(QLatin1String("")));
    return database;
}

bool Database::saveDatabase()
{
    // Unlike the other entities, no check for changes made underneath.
    return ModelRegistry::saveStamped(this, false);
}

bool Database::deleteDatabase(Database* database)
{
    if (!database)
        return false;
    return KivoLib::Delete(database);
}

bool Database::loadDefaultTemplates()
{
    return DefaultContent::loadDefaultTemplates();
}

bool Database::loadDefaultTemplatesToDatabase(const QString& databaseId)
{
    return DefaultContent::loadDefaultTemplatesToDatabase(databaseId);
}

bool Database::loadDefaultColors(const QString& databaseId)
{
    return DefaultContent::loadDefaultColors(databaseId);
}

bool Database::cleanDatabase()
{
    // Rows first, definitions last; stop at the first failure so nothing after it goes.
    for (const QString& entity : { Rows::entityName(), UserTemplate::entityName(),
             Database::entityName(), TemplateColumn::entityName(), Template::entityName() }) {
        if (!KivoLib::deleteEntity(entity))
            return false;
    }
    return true;
}

QByteArray Database::toJSON()
{
    const auto databases = getDatabases();
    return KivoLib::toJSON({ databases.cbegin(), databases.cend() });
}
