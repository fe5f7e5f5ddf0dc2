#include "ModelFixture.h"

#include "model/Database.h"
#include "model/DefaultContent.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/UserTemplate.h"
#include "platform/Folders.h"
#include "utilities/store/KivoLibContext.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using modeltest::ModelTest;

namespace {

QJsonArray bundledDefinitions()
{
    QFile file(platform::Folders::resourcePath("templates", "json"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).array();
}

QStringList idsOf(const auto& objects)
{
    QStringList ids;
    for (auto* object : objects)
        ids << object->id().toString();
    return ids;
}

quint64 countOf(const QString& entity)
{
    platform::coredata::FetchRequest request(entity);
    return *KivoAppDelegate::ApplicationDelegate()->managedObjectContext()->countForFetchRequest(
        request);
}

} // namespace

TEST_F(ModelTest, NewObjectsStartEmptyAndEnterTheStoreAtTheirFirstSave)
{
    Database* database = Database::add();
    EXPECT_EQ(database->name().toString(), "");
    EXPECT_FALSE(database->issystem().toBool());
    EXPECT_GT(database->ctimestamp().toDouble(), 1.7e9);
    EXPECT_TRUE(Database::getDatabases().isEmpty());
    ASSERT_TRUE(database->saveDatabase());
    EXPECT_EQ(Database::getDatabases(), QList<Database*> { database });
    EXPECT_GE(database->mtimestamp().toDouble(), database->ctimestamp().toDouble());

    Template* definition = Template::add();
    EXPECT_EQ(definition->tilescolumns().toInt(), 2); // tests run as a tablet
    EXPECT_EQ(definition->category().toString(), "");
    EXPECT_FALSE(definition->isprotected().toBool());
    definition->setCategory("Home");
    ASSERT_TRUE(definition->saveTemplate());
    Template* other = Template::add();
    other->setCategory("Home");
    ASSERT_TRUE(other->saveTemplate());
    EXPECT_EQ(Template::getCategories(), QVariantList { "Home" });
    EXPECT_EQ(Template::getTemplatesCount(), 2u);
    EXPECT_EQ(Template::getTemplate(definition->id().toString()), definition);
}

TEST_F(ModelTest, TablesAreOrderedWithinTheirDatabase)
{
    UserTemplate* first = UserTemplate::add("D1");
    EXPECT_EQ(first->order().toInt(), 0);
    EXPECT_TRUE(first->template_id().isNull());
    first->setTemplate_id("T1");
    ASSERT_TRUE(first->saveUserTemplate());
    UserTemplate* second = UserTemplate::add("D1");
    second->setTemplate_id("T1");
    ASSERT_TRUE(second->saveUserTemplate());
    EXPECT_EQ(second->order().toInt(), 1);
    EXPECT_EQ(UserTemplate::add("D2")->order().toInt(), 0);
    EXPECT_TRUE(UserTemplate::isTemplateUsed("T1"));
    EXPECT_FALSE(UserTemplate::isTemplateUsed("T2"));
    EXPECT_TRUE(UserTemplate::isDatabaseUsed("D1"));
    EXPECT_FALSE(UserTemplate::isDatabaseUsed("D2"));

    second->setOrder(-1);
    ASSERT_TRUE(second->saveUserTemplate());
    EXPECT_EQ(UserTemplate::getUserTemplates("D1"), (QList<UserTemplate*> { second, first }));
    ASSERT_TRUE(UserTemplate::deleteUserTemplate(first));
    EXPECT_EQ(UserTemplate::add("D1")->order().toInt(), 0);
}

TEST_F(ModelTest, LookUpByIdAnswersOnlyForExactlyOneMatch)
{
    for (int i = 0; i < 2; ++i) {
        Database* database = Database::add();
        database->setId("SAME");
        ASSERT_TRUE(database->saveDatabase());
        Template* definition = Template::add();
        definition->setId("SAME");
        ASSERT_TRUE(definition->saveTemplate());
    }
    EXPECT_EQ(Database::getDatabase("SAME"), nullptr);
    EXPECT_EQ(Template::getTemplate("SAME"), nullptr);
    EXPECT_EQ(Database::getDatabase("NONE"), nullptr);
}

TEST_F(ModelTest, DefaultContentIsLoadedWithItsFixedIds)
{
    ASSERT_TRUE(Database::loadDefaultTemplates());

    Database* system = Database::getDatabase(DefaultContent::SystemDatabaseId);
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->name().toString(), "ColorsKivo");
    EXPECT_EQ(system->descr().toString(), "ColorsKivo Database");
    EXPECT_TRUE(system->issystem().toBool());
    EXPECT_EQ(Database::getDatabases().size(), 1);

    // Every definition and column of the file, by its own id.
    const QJsonArray file = bundledDefinitions();
    ASSERT_GE(file.size(), 6);
    QStringList fileIds;
    for (const QJsonValue& definition : file) {
        fileIds << definition["id"].toString();
        Template* stored = Template::getTemplate(definition["id"].toString());
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(stored->name().toString(), definition["name"].toString());
        EXPECT_EQ(stored->issystem().toBool(), definition["issystem"].toBool());
        QStringList columnIds;
        for (const QJsonValue& column : definition["columns"].toArray())
            columnIds << column["id"].toString();
        EXPECT_EQ(idsOf(TemplateColumn::getColumns(stored->id().toString())), columnIds);
    }
    EXPECT_EQ(idsOf(Template::getTemplates()), fileIds);
    EXPECT_EQ(fileIds.first(), DefaultContent::ColorListTemplateId);

    // All eleven types appear among the definitions.
    QSet<QString> types;
    for (TemplateColumn* column : TemplateColumn::getColumnsAll())
        types.insert(column->typeName());
    EXPECT_EQ(types.size(), 11);

    // One table per system definition in the system database; the colour table first.
    const auto tables = UserTemplate::getUserTemplates(DefaultContent::SystemDatabaseId);
    ASSERT_EQ(tables.size(), file.size());
    EXPECT_EQ(tables.first()->template_id().toString(), DefaultContent::ColorListTemplateId);
    EXPECT_EQ(tables.first()->name().toString(), "Colors");

    const auto columns = TemplateColumn::getColumns(DefaultContent::ColorListTemplateId);
    const auto rows = Rows::getRows(tables.first()->id().toString(), columns, {}, {}, std::nullopt);
    ASSERT_EQ(rows.size(), 17);
    const QVariantMap white = rows.first()->getData(columns, std::nullopt);
    EXPECT_EQ(white.value(DefaultContent::ColorNameColumnId).toString(), "White");
    EXPECT_EQ(white.value(DefaultContent::ColorValueColumnId).toString(),
        "{0.9373, 0.9333, 0.9333, 1.0000}");
    EXPECT_EQ(white.value(DefaultContent::ColorHexColumnId).toString(), "EFEEEE");
    EXPECT_EQ(rows.last()->getData(columns, std::nullopt).value(DefaultContent::ColorNameColumnId),
        "Orange");
}

TEST_F(ModelTest, LoadingTwiceRefreshesWithoutDuplicates)
{
    ASSERT_TRUE(Database::loadDefaultTemplates());
    Template* colours = Template::getTemplate(DefaultContent::ColorListTemplateId);
    colours->setName("Renamed");
    ASSERT_TRUE(colours->saveTemplate());
    UserTemplate* palette
        = UserTemplate::getUserTemplates(DefaultContent::SystemDatabaseId).first();
    palette->setName("Palette");
    palette->setDescr("Mine");
    ASSERT_TRUE(palette->saveUserTemplate());
    const QVariant renamedAt = palette->mtimestamp();
    const quint64 templates = countOf("Template");
    const quint64 columns = countOf("TemplateColumn");
    const quint64 tables = countOf("UserTemplate");

    ASSERT_TRUE(Database::loadDefaultTemplates());
    EXPECT_EQ(countOf("Database"), 1u);
    EXPECT_EQ(countOf("Template"), templates);
    EXPECT_EQ(countOf("TemplateColumn"), columns);
    EXPECT_EQ(countOf("UserTemplate"), tables);
    EXPECT_EQ(countOf("Rows"), 17u);
    // The file wins for definitions; a table keeps what the user named it, untouched.
    EXPECT_EQ(
        Template::getTemplate(DefaultContent::ColorListTemplateId)->name().toString(), "Colors");
    UserTemplate* kept = UserTemplate::getUserTemplates(DefaultContent::SystemDatabaseId).first();
    EXPECT_EQ(kept->name(), "Palette");
    EXPECT_EQ(kept->descr(), "Mine");
    EXPECT_EQ(kept->mtimestamp(), renamedAt);

    // A colour deleted by the user comes back; the others are not added again.
    const auto colourColumns = TemplateColumn::getColumns(DefaultContent::ColorListTemplateId);
    const QString colourTable
        = UserTemplate::getUserTemplates(DefaultContent::SystemDatabaseId).first()->id().toString();
    ASSERT_TRUE(
        Rows::deleteRows(Rows::getRows(colourTable, colourColumns, {}, {}, std::nullopt)[3]));
    ASSERT_TRUE(Database::loadDefaultColors(DefaultContent::SystemDatabaseId));
    EXPECT_EQ(countOf("Rows"), 17u);
}

TEST_F(ModelTest, TablesAreAddedOnlyForSystemDefinitionsAndKeptAsTheUserLeftThem)
{
    Template* mine = Template::add();
    mine->setName("Mine");
    mine->setDescr("Made here");
    mine->setIssystem(true);
    ASSERT_TRUE(mine->saveTemplate());
    ASSERT_TRUE(Database::loadDefaultTemplatesToDatabase("D"));
    auto tables = UserTemplate::getUserTemplates("D");
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(tables.first()->name().toString(), "Mine");
    EXPECT_EQ(tables.first()->descr().toString(), "Made here");

    // The name and description the user gives the table are his, whatever the definition
    // is called since.
    tables.first()->setName("Tools");
    tables.first()->setDescr("Hand tools in the shed");
    ASSERT_TRUE(tables.first()->saveUserTemplate());
    mine->setName("Ours");
    ASSERT_TRUE(mine->saveTemplate());
    ASSERT_TRUE(Database::loadDefaultTemplatesToDatabase("D"));
    KivoLib::currentContext()->reset();
    tables = UserTemplate::getUserTemplates("D");
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(tables.first()->name().toString(), "Tools");
    EXPECT_EQ(tables.first()->descr().toString(), "Hand tools in the shed");

    // Another database gets its own table, under the definition's name.
    ASSERT_TRUE(Database::loadDefaultTemplatesToDatabase("E"));
    tables = UserTemplate::getUserTemplates("E");
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(tables.first()->name().toString(), "Ours");

    mine = Template::getTemplate(mine->id().toString());
    mine->setIssystem(false);
    mine->setName("Private");
    ASSERT_TRUE(mine->saveTemplate());
    ASSERT_TRUE(Database::loadDefaultTemplatesToDatabase("F"));
    EXPECT_TRUE(UserTemplate::getUserTemplates("F").isEmpty());
    EXPECT_EQ(UserTemplate::getUserTemplates("D").first()->name().toString(), "Tools");
}

TEST_F(ModelTest, AResourceThatDoesNotParseLoadsNothing)
{
    EXPECT_FALSE(DefaultContent::loadTemplates("[ { \"id\": "));
    EXPECT_FALSE(DefaultContent::loadTemplates("{ \"id\": \"x\" }"));
    EXPECT_EQ(countOf("Database"), 0u);
    EXPECT_EQ(countOf("Template"), 0u);

    // Numbers may come as decimal text; a refused definition leaves the others to load.
    QStringList refusals;
    EXPECT_FALSE(DefaultContent::loadTemplates(R"([ { "id": "T", "name": "N", "descr": "d",
        "issystem": true, "columns": [ { "id": "C", "name": "N", "type": "Text",
        "length": "12" } ] }, { "id": "U", "name": 5 } ])",
        &refusals));
    Template* loaded = Template::getTemplate("T");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(TemplateColumn::getColumns("T").size(), 1);
    EXPECT_EQ(TemplateColumn::getColumns("T").first()->length().toInt(), 12);
    EXPECT_EQ(Template::getTemplate("U"), nullptr);
    ASSERT_EQ(refusals.size(), 1);
    EXPECT_TRUE(refusals.first().contains("\u201cname\u201d should be a text"))
        << refusals.first().toStdString();
}

TEST_F(ModelTest, DeletingOneObjectLeavesTheOthers)
{
    ASSERT_TRUE(Database::loadDefaultTemplates());
    Database* extra = Database::add();
    ASSERT_TRUE(extra->saveDatabase());
    const quint64 rows = countOf("Rows");
    const quint64 tables = countOf("UserTemplate");
    ASSERT_TRUE(Database::deleteDatabase(Database::getDatabase(DefaultContent::SystemDatabaseId)));
    EXPECT_EQ(Database::getDatabases(), QList<Database*> { extra });
    EXPECT_EQ(countOf("UserTemplate"), tables);
    EXPECT_EQ(countOf("Rows"), rows);

    UserTemplate* colourTable = UserTemplate::getUserTemplatesAll().first();
    ASSERT_TRUE(UserTemplate::deleteUserTemplate(colourTable));
    EXPECT_EQ(countOf("UserTemplate"), tables - 1);
    EXPECT_EQ(countOf("Rows"), rows);
    const quint64 columns = countOf("TemplateColumn");
    ASSERT_TRUE(
        Template::deleteTemplate(Template::getTemplate(DefaultContent::ColorListTemplateId)));
    EXPECT_EQ(countOf("TemplateColumn"), columns);
    EXPECT_FALSE(Database::deleteDatabase(nullptr));
}

TEST_F(ModelTest, CleaningEmptiesEveryEntity)
{
    EXPECT_TRUE(Database::cleanDatabase());
    ASSERT_TRUE(Database::loadDefaultTemplates());
    ASSERT_GT(countOf("Rows"), 0u);
    EXPECT_TRUE(Database::cleanDatabase());
    for (const char* entity : { "Database", "UserTemplate", "Template", "TemplateColumn", "Rows" })
        EXPECT_EQ(countOf(entity), 0u) << entity;
    // A reset context reads the same from the store.
    context()->reset();
    EXPECT_TRUE(Database::getDatabases().isEmpty());
    EXPECT_TRUE(Rows::getRowsAll().isEmpty());
}

TEST_F(ModelTest, EntityFilesListEveryObject)
{
    ASSERT_TRUE(Database::loadDefaultTemplates());
    const QJsonArray databases = QJsonDocument::fromJson(Database::toJSON()).array();
    ASSERT_EQ(databases.size(), 1);
    EXPECT_EQ(databases.first()["ManageObjectName"].toString(), "Database");
    EXPECT_EQ(QJsonDocument::fromJson(Rows::toJSON()).array().size(), 17);
    EXPECT_EQ(
        QJsonDocument::fromJson(Template::toJSON()).array().size(), bundledDefinitions().size());
    EXPECT_EQ(QJsonDocument::fromJson(TemplateColumn::toJSON()).array().size(),
        qsizetype(countOf("TemplateColumn")));
    EXPECT_EQ(QJsonDocument::fromJson(UserTemplate::toJSON()).array().size(),
        qsizetype(countOf("UserTemplate")));
}

TEST_F(ModelTest, TheProtectionCheckVerifiesOnlyItsOwnPassword)
{
    UserTemplate* table = UserTemplate::add("D");
    EXPECT_FALSE(table->isPasswordValid(""));
    ASSERT_TRUE(table->setProtectionCheck("first"));
    const QString check = table->protectioncheck().toString();
    EXPECT_TRUE(table->isPasswordValid("first"));
    EXPECT_FALSE(table->isPasswordValid("second"));
    EXPECT_EQ(UserTemplate::decryptString(check, "first"), UserTemplate::ProtectionCheckPhrase);
    EXPECT_FALSE(UserTemplate::decryptString(check, "second").has_value());
    // The container salts itself: the same password gives another text each time.
    ASSERT_TRUE(table->setProtectionCheck("first"));
    EXPECT_NE(table->protectioncheck().toString(), check);
    EXPECT_TRUE(table->isPasswordValid("first"));
}
