#include "StoreFixture.h"

#include <QSet>

#include <sqlite3.h>

using namespace storetest;

namespace {

// Two of everything, linked crosswise, so each template has objects to include and to
// leave out.
class FetchTemplates : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        make("Database", { { "id", "D1" }, { "name", "One" } });
        make("Database", { { "id", "D2" }, { "name", "Two" } });
        make("Template", { { "id", "T1" }, { "category", "Home" } });
        make("Template", { { "id", "T2" }, { "category", "Work" } });
        make("Template", { { "id", "T3" }, { "category", "Home" } });
        make("UserTemplate",
            { { "id", "U1" }, { "database_id", "D1" }, { "template_id", "T1" }, { "order", 0 } });
        make("UserTemplate",
            { { "id", "U2" }, { "database_id", "D1" }, { "template_id", "T2" }, { "order", 1 } });
        make("UserTemplate",
            { { "id", "U3" }, { "database_id", "D2" }, { "template_id", "T1" }, { "order", 0 } });
        make("TemplateColumn", { { "id", "C1" }, { "template_id", "T1" }, { "order", 1 } });
        make("TemplateColumn", { { "id", "C2" }, { "template_id", "T1" }, { "order", 0 } });
        make("TemplateColumn", { { "id", "C3" }, { "template_id", "T2" }, { "order", 0 } });
        for (int i = 0; i < 5; ++i)
            make("Rows",
                { { "id", QString("R1-%1").arg(i) }, { "usertemplate_id", "U1" }, { "order", i } });
        make("Rows", { { "id", "R2-0" }, { "usertemplate_id", "U2" }, { "order", 0 } });
        ASSERT_TRUE(context->save());
    }

    QSet<QString> fetch(const QString& name, const QVariantMap& variables = {})
    {
        const auto request = variables.isEmpty() ? model->fetchRequestTemplate(name)
                                                 : model->fetchRequestFromTemplate(name, variables);
        platform::Error error;
        const auto objects = context->executeFetchRequest(*request, &error);
        EXPECT_TRUE(error.isNull()) << error.localizedDescription().toStdString();
        const QStringList list = ids(objects);
        EXPECT_EQ(QSet<QString>(list.cbegin(), list.cend()).size(), list.size()) << "duplicates";
        return QSet<QString>(list.cbegin(), list.cend());
    }
};

using Set = QSet<QString>;

} // namespace

TEST_F(FetchTemplates, EachTemplateReturnsExactlyWhatItsPredicateSays)
{
    EXPECT_EQ(fetch("FetchRequest_Databases"), Set({ "D1", "D2" }));
    EXPECT_EQ(fetch("FetchRequest_Database", { { "DATABASE_ID", "D2" } }), Set({ "D2" }));
    EXPECT_EQ(fetch("FetchRequest_Database", { { "DATABASE_ID", "D9" } }), Set());
    EXPECT_EQ(
        fetch("FetchRequest_UserTemplates", { { "DATABASE_ID", "D1" } }), Set({ "U1", "U2" }));
    EXPECT_EQ(
        fetch("FetchRequest_UserTemplates_DatabaseId", { { "DATABASE_ID", "D2" } }), Set({ "U3" }));
    EXPECT_EQ(fetch("FetchRequest_UserTemplates_TemplateId", { { "TEMPLATE_ID", "T1" } }),
        Set({ "U1", "U3" }));
    EXPECT_EQ(fetch("FetchRequest_UserTemplate_All"), Set({ "U1", "U2", "U3" }));
    EXPECT_EQ(fetch("FetchRequest_Templates"), Set({ "T1", "T2", "T3" }));
    EXPECT_EQ(fetch("FetchRequest_Template", { { "TEMPLATE_ID", "T3" } }), Set({ "T3" }));
    EXPECT_EQ(fetch("FetchRequest_Template_All"), Set({ "T1", "T2", "T3" }));
    EXPECT_EQ(fetch("FetchRequest_Columns", { { "TEMPLATE_ID", "T1" } }), Set({ "C1", "C2" }));
    EXPECT_EQ(fetch("FetchRequest_TemplateColumn_All"), Set({ "C1", "C2", "C3" }));
    EXPECT_EQ(fetch("FetchRequest_Rows", { { "USERTEMPLATE_ID", "U2" } }), Set({ "R2-0" }));
    EXPECT_EQ(fetch("FetchRequest_Rows_All").size(), 6);
}

TEST_F(FetchTemplates, UnsavedInsertsChangesAndDeletionsCount)
{
    make("Rows", { { "id", "R2-1" }, { "usertemplate_id", "U2" }, { "order", 1 } });
    auto u1rows = context->executeFetchRequest(
        *model->fetchRequestFromTemplate("FetchRequest_Rows", { { "USERTEMPLATE_ID", "U1" } }));
    ASSERT_EQ(u1rows.size(), 5);
    context->deleteObject(u1rows[0]);
    u1rows[1]->setValue("usertemplate_id", "U2");

    EXPECT_EQ(fetch("FetchRequest_Rows", { { "USERTEMPLATE_ID", "U2" } }),
        Set({ "R2-0", "R2-1", ids({ u1rows[1] }).first() }));
    EXPECT_EQ(fetch("FetchRequest_Rows", { { "USERTEMPLATE_ID", "U1" } }).size(), 3);
    EXPECT_EQ(*context->countForFetchRequest(*model->fetchRequestFromTemplate(
                  "FetchRequest_Rows", { { "USERTEMPLATE_ID", "U2" } })),
        3u);

    context->rollback();
    EXPECT_EQ(fetch("FetchRequest_Rows", { { "USERTEMPLATE_ID", "U2" } }), Set({ "R2-0" }));
    EXPECT_EQ(fetch("FetchRequest_Rows", { { "USERTEMPLATE_ID", "U1" } }).size(), 5);
}

TEST_F(FetchTemplates, SortsLimitsAndCountsInTheStoreAndInMemoryAlike)
{
    auto request
        = *model->fetchRequestFromTemplate("FetchRequest_Rows", { { "USERTEMPLATE_ID", "U1" } });
    request.setSortDescriptors({ { "order", false } });
    request.setFetchLimit(1);
    EXPECT_EQ(ids(context->executeFetchRequest(request)), QStringList({ "R1-4" }));

    make("Rows", { { "id", "R1-5" }, { "usertemplate_id", "U1" }, { "order", 5 } });
    EXPECT_EQ(ids(context->executeFetchRequest(request)), QStringList({ "R1-5" }));

    auto columns
        = *model->fetchRequestFromTemplate("FetchRequest_Columns", { { "TEMPLATE_ID", "T1" } });
    columns.setSortDescriptors({ { "order", true } });
    EXPECT_EQ(ids(context->executeFetchRequest(columns)), QStringList({ "C2", "C1" }));

    request.setFetchLimit(0);
    EXPECT_EQ(*context->countForFetchRequest(request), 6u);
    ASSERT_TRUE(context->save());
    EXPECT_EQ(*context->countForFetchRequest(request), 6u);
    request.setFetchLimit(2);
    EXPECT_EQ(*context->countForFetchRequest(request), 2u);
}

TEST_F(FetchTemplates, WithoutSortsRowsComeInTheOrderTheyWereStored)
{
    // Stored after the others with lower numbers, so the table's index lists them first.
    for (int i = 0; i < 3; ++i)
        make("Rows",
            { { "id", QString("R1-low%1").arg(i) }, { "usertemplate_id", "U1" },
                { "order", -1 - i } });
    ASSERT_TRUE(context->save());
    const QStringList stored { "R1-0", "R1-1", "R1-2", "R1-3", "R1-4", "R1-low0", "R1-low1",
        "R1-low2" };
    auto request
        = *model->fetchRequestFromTemplate("FetchRequest_Rows", { { "USERTEMPLATE_ID", "U1" } });
    EXPECT_EQ(ids(context->executeFetchRequest(request)), stored);
    context->reset();
    EXPECT_EQ(ids(context->executeFetchRequest(request)), stored);

    // Sorted without a limit: every row, equal numbers in stored order.
    request.setSortDescriptors({ { "order", true } });
    EXPECT_EQ(ids(context->executeFetchRequest(request)),
        QStringList({ "R1-low2", "R1-low1", "R1-low0", "R1-0", "R1-1", "R1-2", "R1-3", "R1-4" }));
    request.setFetchLimit(2);
    EXPECT_EQ(ids(context->executeFetchRequest(request)), QStringList({ "R1-low2", "R1-low1" }));
}

TEST_F(FetchTemplates, AStoredRowIsOneObjectAndDistinctValuesComeFromTheStore)
{
    const auto first
        = context->executeFetchRequest(*model->fetchRequestTemplate("FetchRequest_Databases"));
    const auto second
        = context->executeFetchRequest(*model->fetchRequestTemplate("FetchRequest_Databases"));
    EXPECT_EQ(first, second);
    EXPECT_TRUE(qobject_cast<TestDatabase*>(first.value(0)));

    cd::FetchRequest distinct("Template");
    distinct.setResultType(cd::FetchRequest::ResultType::Dictionary);
    distinct.setPropertiesToFetch({ "category" });
    distinct.setReturnsDistinctResults(true);
    distinct.setSortDescriptors({ { "category", true } });
    const auto values = context->executeDictionaryFetchRequest(distinct);
    ASSERT_EQ(values.size(), 2);
    EXPECT_EQ(values[0].value("category"), "Home");
    EXPECT_EQ(values[1].value("category"), "Work");
}

TEST_F(FetchTemplates, BadRequestsReportErrors)
{
    platform::Error error;
    EXPECT_TRUE(context->executeFetchRequest(cd::FetchRequest("Nothing"), &error).isEmpty());
    EXPECT_FALSE(error.isNull());
    error = {};
    auto unbound = *model->fetchRequestTemplate("FetchRequest_Rows");
    EXPECT_TRUE(context->executeFetchRequest(unbound, &error).isEmpty());
    EXPECT_FALSE(error.isNull());
    error = {};
    cd::FetchRequest badSort("Rows");
    badSort.setSortDescriptors({ { "nothing", true } });
    EXPECT_FALSE(context->countForFetchRequest(badSort, &error));
    EXPECT_FALSE(error.isNull());
}

TEST_F(FetchTemplates, FilteredColumnsAreIndexedAndTheStoreIsInWalMode)
{
    QStringList indexes;
    {
        auto reader = reopen();
        Q_UNUSED(reader);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(
        sqlite3_open_v2(storeUrl().toLocalFile().toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr),
        SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db,
        "SELECT tbl_name || '(' || sql || ')' FROM sqlite_master WHERE type='index' AND sql IS NOT "
        "NULL",
        -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW)
        indexes << QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &statement, nullptr);
    sqlite3_step(statement);
    const QString mode
        = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    EXPECT_EQ(mode, "wal");
    // Every attribute a template filters on leads an index of its entity.
    for (const QString& name : model->fetchRequestTemplateNames()) {
        const auto request = model->fetchRequestTemplate(name);
        for (const auto& term : request->predicate().comparisons()) {
            const QString lead
                = QString("ON \"%1\" (\"%2\"").arg(request->entityName(), term.attribute);
            EXPECT_TRUE(std::any_of(indexes.cbegin(), indexes.cend(), [&](const QString& index) {
                return index.contains(lead);
            })) << lead.toStdString();
        }
    }
}
