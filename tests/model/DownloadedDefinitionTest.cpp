#include "ModelFixture.h"

#include "model/Database.h"
#include "model/DefaultContent.h"
#include "model/DefinitionCheck.h"
#include "model/Template.h"
#include "model/TemplateColumn.h"
#include "model/UserTemplate.h"

using modeltest::ModelTest;

namespace {

const QString kEntry = QStringLiteral("0F6C2B7E-8A41-4C39-9D52-3E7A1B9C4D60");
const QString kTitle = QStringLiteral("1A2B3C4D-5E6F-4A7B-8C9D-0E1F2A3B4C5D");
const QString kCount = QStringLiteral("2B3C4D5E-6F70-4B8C-9DAE-1F2A3B4C5D6E");

QVariantMap entryWith(const QVariantMap& members, const QVariantList& columns = {})
{
    QVariantMap entry { { "id", kEntry }, { "name", "Books" }, { "descr", "What I read" },
        { "image", "books" }, { "tilescolumns", 2 } };
    for (auto it = members.begin(); it != members.end(); ++it)
        entry.insert(it.key(), it.value());
    entry.insert("columns",
        columns.isEmpty() ? QVariantList { QVariantMap {
            { "id", kTitle }, { "name", "Title" }, { "type", "Text" }, { "length", 40 } } }
                          : columns);
    return entry;
}

QVariantMap columnWith(const QString& id, const QVariantMap& members)
{
    QVariantMap column { { "id", id }, { "name", "Count" }, { "type", "Numeric" },
        { "length", 10 } };
    for (auto it = members.begin(); it != members.end(); ++it)
        column.insert(it.key(), it.value());
    return column;
}

bool store(const QVariantMap& entry, QString* reason)
{
    const QVariantMap definition = DefinitionCheck::downloadable(entry);
    *reason = DefinitionCheck::downloadProblemOf(definition);
    return reason->isEmpty()
        && DefaultContent::storeTemplate(definition, DefinitionCheck::Source::Download, reason);
}

} // namespace

TEST_F(ModelTest, ADownloadKeepsOnlyWhatAPersonCanEditAndNormalisesItsColumns)
{
    const QVariantMap entry = entryWith(
        { { "image", "" }, { "ctimestamp", 5 }, { "mtimestamp", 6 }, { "unknown", "x" } },
        { QVariantMap { { "id", kTitle }, { "name", "Site" }, { "type", "Link" }, { "length", 3 },
              { "precision", 4 }, { "listvalues", "a,b" }, { "template_id", "ELSEWHERE" },
              { "currentmaxlength", 99 } },
            columnWith(kCount, { { "type", "Date" }, { "listvalues", "x" }, { "precision", 2 } }),
            QVariantMap { { "id", "3C4D5E6F-7081-4C9D-AEBF-2A3B4C5D6E7F" }, { "name", "Kind" },
                { "type", "List" }, { "listvalues", "a,b" }, { "length", 9 } },
            QVariantMap { { "id", "4D5E6F70-8192-4DAE-BFC0-3B4C5D6E7F80" }, { "name", "Note" },
                { "type", "BigText" }, { "length", 200 }, { "precision", 3 } } });
    const QVariantMap kept = DefinitionCheck::downloadable(entry);
    EXPECT_EQ(kept.value("image").toString(), "template");
    EXPECT_FALSE(kept.contains("ctimestamp"));
    EXPECT_FALSE(kept.contains("mtimestamp"));
    EXPECT_FALSE(kept.contains("unknown"));
    const QVariantList columns = kept.value("columns").toList();
    ASSERT_EQ(columns.size(), 4);
    const QVariantMap link = columns[0].toMap();
    EXPECT_EQ(link.value("length").toInt(), 2000);
    EXPECT_EQ(link.value("precision").toInt(), 0);
    EXPECT_FALSE(link.contains("listvalues"));
    EXPECT_FALSE(link.contains("template_id"));
    EXPECT_FALSE(link.contains("currentmaxlength"));
    const QVariantMap date = columns[1].toMap();
    EXPECT_EQ(date.value("length").toInt(), 0);
    EXPECT_EQ(date.value("precision").toInt(), 0);
    EXPECT_FALSE(date.contains("listvalues"));
    const QVariantMap list = columns[2].toMap();
    EXPECT_EQ(list.value("length").toInt(), 0);
    EXPECT_EQ(list.value("listvalues").toString(), "a,b");
    EXPECT_EQ(columns[3].toMap().value("precision").toInt(), 0);

    QString reason;
    ASSERT_TRUE(store(entry, &reason)) << reason.toStdString();
    const Template* stored = Template::getTemplate(kEntry);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->image().toString(), "template");
    TemplateColumn* site
        = TemplateColumn::getColumnForId(kTitle, TemplateColumn::getColumns(kEntry));
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(site->template_id().toString(), kEntry);
    EXPECT_EQ(site->length().toInt(), 2000);
}

TEST_F(ModelTest, ADownloadIsRefusedForIdsNamesAndColumnsTheScreensWouldRefuse)
{
    // A definition of its own, named "Taken".
    QString reason;
    ASSERT_TRUE(
        store(entryWith({ { "id", "5E6F7081-92A3-4EBF-C0D1-4C5D6E7F8091" }, { "name", "Taken" } },
                  { columnWith("6F708192-A3B4-4FC0-D1E2-5D6E7F8091A2", {}) }),
            &reason))
        << reason.toStdString();

    const struct {
        QVariantMap entry;
        const char* reason;
    } refused[] = {
        { entryWith({ { "id", "not-a-guid" } }), "is not a GUID" },
        { entryWith({ { "id", "0F6C2B7E8A414C399D523E7A1B9C4D60" } }), "is not a GUID" },
        { entryWith({}, { columnWith("COL-1", {}) }), "\u201cCOL-1\u201d is not a GUID" },
        { entryWith({ { "id", DefaultContent::ColorListTemplateId } }), "colour definition" },
        { entryWith({ { "name", "" } }), "has no name" },
        { entryWith({ { "name", "   " } }), "has no name" },
        { entryWith({ { "name", QString(256, u'x') } }), "longer than 255" },
        { entryWith({ { "name", "Taken" } }), "already named \u201cTaken\u201d" },
        { entryWith({}, { columnWith(kCount, { { "name", "" } }) }), "has no name" },
        { entryWith({}, { columnWith(kCount, { { "type", QVariant() } }) }), "Invalid Type." },
        { entryWith({}, { columnWith(kCount, { { "type", "" } }) }), "unknown type" },
        { entryWith({}, { columnWith(kCount, { { "length", 0 } }) }), "Invalid Length." },
        { entryWith({}, { columnWith(kCount, { { "type", "Text" }, { "length", 0 } }) }),
            "Invalid Length." },
        { entryWith({}, { columnWith(kCount, { { "type", "List" }, { "listvalues", " " } }) }),
            "Invalid List Values." },
        { entryWith({}, { columnWith(kCount, { { "length", -3 } }) }), "from 0 to" },
        { entryWith({}, { columnWith(kCount, { { "precision", 99 } }) }), "from 0 to 20" },
        { entryWith({ { "tilescolumns", -1 } }), "from 1 to 4" },
        { entryWith({}, { columnWith(kCount, {}), columnWith(kTitle, {}) }),
            "in column \u201cCount\u201d, Duplicate Entry." },
    };
    for (const auto& test : refused) {
        EXPECT_FALSE(store(test.entry, &reason)) << test.reason;
        EXPECT_TRUE(reason.startsWith("The table definition \u201c")) << reason.toStdString();
        EXPECT_TRUE(reason.contains(QString::fromUtf8(test.reason))) << reason.toStdString();
    }
    EXPECT_EQ(Template::getTemplate(kEntry), nullptr);
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(ModelTest, OverADefinitionInUseAColumnKeepsItsFamilyAndNoTextShrinks)
{
    QString reason;
    const auto textColumn = [](const QVariantMap& members) {
        QVariantMap column { { "id", kTitle }, { "name", "Title" }, { "type", "Text" },
            { "length", 40 } };
        for (auto it = members.begin(); it != members.end(); ++it)
            column.insert(it.key(), it.value());
        return column;
    };
    ASSERT_TRUE(store(entryWith({}, { textColumn({}), columnWith(kCount, {}) }), &reason))
        << reason.toStdString();

    // Unused, a column may change its type; a text column still may not shrink.
    EXPECT_FALSE(store(entryWith({}, { textColumn({ { "length", 20 } }) }), &reason));
    EXPECT_TRUE(reason.contains("shorter than the 40 characters")) << reason.toStdString();
    ASSERT_TRUE(store(
        entryWith({}, { textColumn({}), columnWith(kCount, { { "type", "Date" } }) }), &reason))
        << reason.toStdString();
    ASSERT_TRUE(store(entryWith({}, { textColumn({}), columnWith(kCount, {}) }), &reason))
        << reason.toStdString();

    // Once a table is made from it: Numeric to Currency and Text to List stay within their
    // families; Numeric to Text does not.
    Database* database = Database::add();
    ASSERT_TRUE(database->saveDatabase());
    UserTemplate* table = UserTemplate::add(database->id().toString());
    table->setName("Shelf");
    table->setTemplate_id(kEntry);
    ASSERT_TRUE(table->saveUserTemplate());
    EXPECT_FALSE(store(
        entryWith({}, { textColumn({}), columnWith(kCount, { { "type", "Text" } }) }), &reason));
    EXPECT_TRUE(reason.contains("within its family")) << reason.toStdString();
    EXPECT_TRUE(reason.contains("in column \u201cCount\u201d")) << reason.toStdString();
    EXPECT_EQ(TemplateColumn::getColumnForId(kCount, TemplateColumn::getColumns(kEntry))
                  ->type()
                  .toString(),
        "Numeric");
    EXPECT_TRUE(store(entryWith({},
                          { textColumn({ { "type", "List" }, { "listvalues", "a,b" } }),
                              columnWith(kCount, { { "type", "Currency" } }) }),
        &reason))
        << reason.toStdString();
}
