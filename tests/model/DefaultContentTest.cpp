#include "ModelFixture.h"

#include "model/Database.h"
#include "model/DefaultContent.h"
#include "model/Rows.h"
#include "model/Template.h"
#include "model/UserTemplate.h"
#include "platform/coredata/StoreOptions.h"

using modeltest::ModelTest;

TEST_F(ModelTest, AStoredDefinitionKeepsItsColumnsWhateverTheirMembersSay)
{
    const QString mineId = QStringLiteral("A1B2C3D4-0000-4000-8000-000000000001");
    const QString otherId = QStringLiteral("A1B2C3D4-0000-4000-8000-000000000002");
    Template* other = Template::add();
    other->setId(otherId);
    ASSERT_TRUE(other->saveTemplate());

    // A downloaded object whose column names another definition.
    const QVariantMap object { { "id", mineId }, { "name", "Mine" },
        { "columns",
            QVariantList { QVariantMap { { "id", "C-1" }, { "name", "Title" }, { "type", "Text" },
                { "template_id", otherId } } } } };
    ASSERT_NE(DefaultContent::storeTemplate(object, DefinitionCheck::Source::Download), nullptr);
    EXPECT_EQ(TemplateColumn::getColumnsCount(mineId), 1u);
    EXPECT_EQ(TemplateColumn::getColumnsCount(otherId), 0u);

    // Stored again, the column is refreshed in place rather than made twice.
    ASSERT_NE(DefaultContent::storeTemplate(object, DefinitionCheck::Source::Download), nullptr);
    EXPECT_EQ(TemplateColumn::getColumnsAll().size(), 1);
}

TEST_F(ModelTest, DefaultColoursAreNotWrittenInTheClearIntoAProtectedTable)
{
    ASSERT_TRUE(Database::loadDefaultTemplates());
    const auto columns = TemplateColumn::getColumns(DefaultContent::ColorListTemplateId);
    UserTemplate* colours
        = UserTemplate::getUserTemplates(DefaultContent::SystemDatabaseId).first();
    const QString tableId = colours->id().toString();
    ASSERT_TRUE(colours->changeProtection(std::nullopt, QStringLiteral("pw"), columns));
    QStringList before;
    for (Rows* row : Rows::getRows(tableId, columns, {}, {}, std::nullopt))
        before << row->json().toString();
    ASSERT_EQ(before.size(), 17);

    ASSERT_TRUE(Database::loadDefaultColors(DefaultContent::SystemDatabaseId));
    QStringList after;
    for (Rows* row : Rows::getRows(tableId, columns, {}, {}, std::nullopt))
        after << row->json().toString();
    EXPECT_EQ(after, before);
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(ModelTest, DefaultColoursGoOnlyIntoTheColourTableWhereverItStands)
{
    ASSERT_TRUE(Database::loadDefaultTemplates());
    auto tables = UserTemplate::getUserTemplates(DefaultContent::SystemDatabaseId);
    ASSERT_GE(tables.size(), 2);
    // The user puts another table (Contacts) first.
    UserTemplate* colours = tables.first();
    UserTemplate* other = tables.at(1);
    const int otherOrder = other->order().toInt();
    other->setOrder(-1);
    ASSERT_TRUE(other->saveUserTemplate());
    colours->setOrder(otherOrder);
    ASSERT_TRUE(colours->saveUserTemplate());
    ASSERT_EQ(UserTemplate::getUserTemplates(DefaultContent::SystemDatabaseId).first(), other);

    // A colour deleted by the user comes back, into the colour table alone.
    const auto columns = TemplateColumn::getColumns(DefaultContent::ColorListTemplateId);
    const QString colourTable = colours->id().toString();
    ASSERT_TRUE(Rows::deleteRows(Rows::getRows(colourTable, columns, {}, {}, std::nullopt)[2]));
    ASSERT_TRUE(Database::loadDefaultTemplates());
    EXPECT_FALSE(Rows::doesRowExists(other->id().toString()));
    EXPECT_EQ(Rows::getRows(colourTable, columns, {}, {}, std::nullopt).size(), 17);

    // A database without a colour table gets no colours.
    ASSERT_TRUE(Database::loadDefaultColors("D"));
    UserTemplate* plain = UserTemplate::add("D");
    plain->setTemplate_id(other->template_id());
    ASSERT_TRUE(plain->saveUserTemplate());
    ASSERT_TRUE(Database::loadDefaultColors("D"));
    EXPECT_FALSE(Rows::doesRowExists(plain->id().toString()));
    EXPECT_EQ(Rows::getRowsAll().size(), 17);
}

namespace {

const QString kMine = QStringLiteral("A1B2C3D4-0000-4000-8000-00000000000A");

QVariantMap definitionWith(const QVariantMap& members, const QVariantMap& column = {})
{
    QVariantMap definition { { "id", kMine }, { "name", "Mine" }, { "image", "books" },
        { "tilescolumns", 2 } };
    for (auto it = members.begin(); it != members.end(); ++it)
        definition.insert(it.key(), it.value());
    QVariantMap first { { "id", "COL-1" }, { "name", "Title" }, { "type", "Text" },
        { "length", 40 }, { "precision", 0 } };
    for (auto it = column.begin(); it != column.end(); ++it)
        first.insert(it.key(), it.value());
    if (!definition.contains("columns"))
        definition.insert("columns", QVariantList { first });
    return definition;
}

} // namespace

TEST_F(ModelTest, DefinitionsThatColumnsAndGridsCannotUseAreRefusedWithTheirReason)
{
    Template* other = Template::add();
    other->setId("OTHER");
    ASSERT_TRUE(other->saveTemplate());
    TemplateColumn* taken = TemplateColumn::add("OTHER");
    taken->setId("TAKEN");
    ASSERT_TRUE(taken->saveTemplateColumn());

    using Source = DefinitionCheck::Source;
    const struct {
        QVariantMap definition;
        const char* reason;
    } refused[] = {
        { definitionWith({}, { { "id", "TAKEN" } }), "already used by another table definition" },
        { definitionWith({}, { { "type", "Bogus" } }), "unknown type \u201cBogus\u201d" },
        { definitionWith({}, { { "type", QVariant::fromValue(nullptr) } }), "unknown type" },
        { definitionWith({}, { { "length", -1 } }), "\u201clength\u201d should be a whole number" },
        { definitionWith({}, { { "length", 12.5 } }), "\u201clength\u201d should be a whole" },
        { definitionWith({}, { { "length", 1e12 } }), "\u201clength\u201d should be a whole" },
        { definitionWith({}, { { "precision", -2 } }), "\u201cprecision\u201d should be" },
        { definitionWith({}, { { "precision", 21 } }), "from 0 to 20" },
        { definitionWith({}, { { "precision", "many" } }), "\u201cprecision\u201d should be" },
        { definitionWith({}, { { "mandatory", 2 } }), "\u201cmandatory\u201d should be yes or no" },
        { definitionWith({}, { { "name", QVariantList {} } }),
            "\u201cname\u201d should be a text" },
        { definitionWith({ { "tilescolumns", -1 } }), "from 1 to 4" },
        { definitionWith({ { "tilescolumns", 0 } }), "from 1 to 4" },
        { definitionWith({ { "tilescolumns", 5 } }), "from 1 to 4" },
        { definitionWith({ { "image", "../../etc/passwd" } }), "not a plain name" },
        { definitionWith({ { "image", "a/b" } }), "not a plain name" },
        { definitionWith({ { "image", ":/icons/x" } }), "not a plain name" },
        { definitionWith({ { "image", ".hidden" } }), "not a plain name" },
        { definitionWith({ { "image", 7 } }), "\u201cimage\u201d should be a text" },
        { definitionWith({ { "issystem", true } }), "only the bundled definitions" },
        { definitionWith({ { "issystem", "1" } }), "only the bundled definitions" },
        { definitionWith({ { "id", "" } }), "has no id" },
        { definitionWith({ { "id", 12 } }), "has no id" },
        { definitionWith({ { "columns", "none" } }), "should be a list of columns" },
        { definitionWith({ { "columns", QVariantList { 1 } } }), "not a column object" },
        { definitionWith({ { "columns", QVariantList { QVariantMap { { "name", "x" } } } } }),
            "column 1 of the list has no id" },
        { definitionWith({ { "columns",
              QVariantList {
                  QVariantMap { { "id", "TWICE" } }, QVariantMap { { "id", "TWICE" } } } } }),
            "listed twice" },
    };
    for (const auto& test : refused) {
        QString reason;
        EXPECT_EQ(
            DefaultContent::storeTemplate(test.definition, Source::Download, &reason), nullptr)
            << test.reason;
        EXPECT_TRUE(reason.startsWith("The table definition \u201c")) << reason.toStdString();
        EXPECT_TRUE(reason.contains(QString::fromUtf8(test.reason))) << reason.toStdString();
    }
    // Nothing of any of them was stored, and nothing waits in the context.
    EXPECT_EQ(Template::getTemplatesAll().size(), 1);
    EXPECT_EQ(TemplateColumn::getColumnsAll().size(), 1);
    EXPECT_EQ(taken->template_id().toString(), "OTHER");
    EXPECT_FALSE(context()->hasChanges());

    // What passes: numbers as decimal text, flags as numbers, an empty image; the system
    // flag from the bundle.
    QString reason;
    EXPECT_NE(DefaultContent::storeTemplate(definitionWith({ { "image", "" } },
                                                { { "length", "2000" }, { "precision", 20 },
                                                    { "mandatory", 1 }, { "type", "Link" } }),
                  Source::Download, &reason),
        nullptr)
        << reason.toStdString();
    EXPECT_NE(DefaultContent::storeTemplate(
                  definitionWith({ { "issystem", true } }), Source::Bundle, &reason),
        nullptr)
        << reason.toStdString();
    // Once a system definition, it may not be replaced from outside.
    EXPECT_EQ(
        DefaultContent::storeTemplate(definitionWith({}), Source::Download, &reason), nullptr);
    EXPECT_TRUE(reason.contains("replace the system definition")) << reason.toStdString();
}

TEST_F(ModelTest, ADefinitionIsStoredWholeOrNotAtAll)
{
    using Source = DefinitionCheck::Source;
    ASSERT_NE(DefaultContent::storeTemplate(definitionWith({}), Source::Download), nullptr);
    Template* stored = Template::getTemplate(kMine);
    ASSERT_NE(stored, nullptr);

    // A refreshed object whose second column is bad changes neither the definition, nor
    // its first column, nor adds the second.
    QVariantMap changed = definitionWith({ { "name", "Renamed" } }, { { "name", "Heading" } });
    QVariantList columns = changed.value("columns").toList();
    columns << QVariantMap { { "id", "COL-2" }, { "type", "Bogus" } };
    changed.insert("columns", columns);
    QString reason;
    EXPECT_EQ(DefaultContent::storeTemplate(changed, Source::Download, &reason), nullptr);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(context()->hasChanges());
    context()->reset();
    EXPECT_EQ(Template::getTemplate(kMine)->name().toString(), "Mine");
    const auto kept = TemplateColumn::getColumns(kMine);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept.first()->name().toString(), "Title");

    // A store that takes nothing: the load says so and leaves nothing behind.
    ASSERT_TRUE(coordinator()->removePersistentStore(coordinator()->persistentStores().first()));
    ASSERT_TRUE(coordinator()->addPersistentStore(modeltest::cd::SQLiteStoreType, {},
        QUrl::fromLocalFile(testsupport::homePath() + "/Kivotab.sqlite"),
        { { modeltest::cd::ReadOnlyPersistentStoreOption, true } }));
    EXPECT_EQ(DefaultContent::storeTemplate(
                  definitionWith({ { "name", "Again" } }), Source::Download, &reason),
        nullptr);
    EXPECT_TRUE(reason.contains("could not be saved")) << reason.toStdString();
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_FALSE(Database::loadDefaultTemplates());
    EXPECT_FALSE(context()->hasChanges());
}
