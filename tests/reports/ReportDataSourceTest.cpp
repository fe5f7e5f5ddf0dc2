#include "ReportFixture.h"

#include "platform/Date.h"
#include "reports/DetailReportDataSource.h"
#include "reports/ReportRows.h"

#include <thread>

using reporttest::ReportTest;

namespace {

struct ReportDataSourceTest : ReportTest {
    void SetUp() override
    {
        ReportTest::SetUp();
        name = addColumn("Name", TypeConstants::Text);
        amount = addColumn("Amount", TypeConstants::Currency);
        when = addColumn("When", TypeConstants::DateTime);
        // Not shown in the grid's columns, yet exported.
        notes = addColumn("Notes", TypeConstants::BigText);
        notes->setIntable(false);
        name->setIntable(true);
        amount->setIntable(true);
        when->setIntable(true);
        table = addTable("Clients");
        storeRows(table,
            { { { "Name", "Ann" }, { "Amount", 12.5 }, { "When", utc(2024, 5, 1, 8, 30) },
                  { "Notes", "first" } },
                { { "Name", "Bob" } } });
        open(table);
    }

    TemplateColumn* name = nullptr;
    TemplateColumn* amount = nullptr;
    TemplateColumn* when = nullptr;
    TemplateColumn* notes = nullptr;
    UserTemplate* table = nullptr;
};

} // namespace

TEST_F(ReportDataSourceTest, TheTableSourceAnswersTitleColumnsAndOneWidthPerColumn)
{
    EXPECT_EQ(source->reportTitle(), "Clients");
    const OrderedDictionary reported = source->reportColumns();
    EXPECT_EQ(reported.keyEnumerator(),
        QStringList({ key("Name"), key("Amount"), key("When"), key("Notes") }));
    EXPECT_EQ(reported.allValues(), QVariantList({ "Name", "Amount", "When", "Notes" }));
    const QList<double> widths = source->reportColumnWidths();
    ASSERT_EQ(widths.size(), 4);
    for (int c = 0; c < 4; ++c)
        EXPECT_DOUBLE_EQ(widths[c], columns[c]->getColumnWidth() + 15.0);
    EXPECT_EQ(source->reportRowsCount(), 2u);
}

TEST_F(ReportDataSourceTest, RowsAreTypedRawAndDisplayTextsFormatted)
{
    const QVariantMap first = source->reportRow(0);
    EXPECT_EQ(first.value(key("Name")), "Ann");
    EXPECT_EQ(first.value(key("Amount")).toDouble(), 12.5);
    EXPECT_EQ(
        first.value(key("When")).value<platform::Date>(), platform::Date(utc(2024, 5, 1, 8, 30)));
    // A row without a value for a column lacks its key.
    EXPECT_FALSE(source->reportRow(1).contains(key("Amount")));

    const QVariantMap formatted = source->reportRowFormatted(0);
    EXPECT_EQ(formatted.value(key("Amount")), amount->getStringValue(12.5));
    EXPECT_EQ(formatted.value(key("When")), when->getStringValue(first.value(key("When"))));
    EXPECT_EQ(source->reportRowFormatted(1).value(key("Amount")), "");
}

TEST_F(ReportDataSourceTest, TheRowsShownAreTheSearchsWhileOneIsActive)
{
    controller->filterRows("Bob", [](const QVariant& row) {
        return qobject_cast<Rows*>(RowObject::object(row))->json().toString().contains("Bob");
    });
    ASSERT_EQ(source->reportRowsCount(), 1u);
    EXPECT_EQ(source->reportRow(0).value(key("Name")), "Bob");
}

TEST_F(ReportDataSourceTest, TheSnapshotDecodesOnAnotherThreadAsTheScreenDoes)
{
    const auto rows = source->reportRowsSnapshot();
    ASSERT_EQ(rows->count(), 2u);
    std::optional<QVariantMap> raw;
    std::optional<QVariantMap> formatted;
    std::thread worker([&] {
        raw = rows->row(0);
        formatted = rows->rowFormatted(0);
    });
    worker.join();
    ASSERT_TRUE(raw && formatted);
    EXPECT_EQ(*raw, source->reportRow(0));
    EXPECT_EQ(*formatted, source->reportRowFormatted(0));
    EXPECT_FALSE(rows->row(2));

    // The texts of keys in any order, one not among the columns, are the display texts.
    const QStringList keys { key("When"), "no such column", key("Name"), key("Amount") };
    for (quint64 r = 0; r < 2; ++r) {
        const auto texts = rows->rowTexts(r, keys);
        const auto shown = rows->rowFormatted(r);
        ASSERT_TRUE(texts && shown);
        ASSERT_EQ(texts->size(), keys.size());
        for (qsizetype k = 0; k < keys.size(); ++k)
            EXPECT_EQ(texts->at(k), shown->value(keys[k]).toString()) << r << " " << k;
    }
    EXPECT_EQ(rows->rowTexts(0, keys)->at(0), when->getStringValue(raw->value(key("When"))));
    EXPECT_FALSE(rows->rowTexts(2, keys));
}

TEST_F(ReportDataSourceTest, AProtectedTableIsReadWithItsPasswordOrNotAtAll)
{
    const QString password = "pass";
    UserTemplate* locked = addTable("Locked", password);
    storeRows(locked, { { { "Name", "Secret" } } }, password);
    open(locked, password);
    EXPECT_EQ(source->reportRow(0).value(key("Name")), "Secret");
    EXPECT_EQ(source->reportRowsSnapshot()->row(0)->value(key("Name")), "Secret");

    open(locked);
    EXPECT_TRUE(source->reportRow(0).isEmpty());
    EXPECT_FALSE(source->reportRowsSnapshot()->row(0));
    EXPECT_FALSE(source->reportRowsSnapshot()->rowFormatted(0));
    EXPECT_FALSE(source->reportRowsSnapshot()->rowTexts(0, { key("Name") }));
}

TEST_F(ReportDataSourceTest, ATableWithoutColumnsIsEmpty)
{
    controller->tableColumns.clear();
    EXPECT_EQ(source->reportColumns().count(), 0);
    EXPECT_TRUE(source->reportColumnWidths().isEmpty());
    EXPECT_TRUE(source->reportRowFormatted(0).isEmpty());
}

TEST_F(ReportDataSourceTest, AGoneControllerLeavesAnEmptyTable)
{
    GenericTemplateReportDataSource orphan(nullptr);
    EXPECT_EQ(orphan.reportRowsCount(), 0u);
    EXPECT_TRUE(orphan.reportTitle().isEmpty());
    EXPECT_EQ(orphan.reportRowsSnapshot()->count(), 0u);
}

TEST_F(ReportDataSourceTest, TheDetailSourceListsOneColumnValuePairPerColumn)
{
    const QVariantMap row = source->reportRow(1); // Bob: no amount, date or notes
    platform::ui::ViewController form;
    form.setTitle("Bob");
    DetailReportDataSource detail(&form, row, controller.get());
    EXPECT_EQ(detail.reportTitle(), "Bob");
    EXPECT_EQ(detail.reportColumns().keyEnumerator(), QStringList({ "Column", "Value" }));
    EXPECT_EQ(detail.reportColumns().allValues(), QVariantList({ "Column", "Value" }));
    ASSERT_EQ(detail.reportRowsCount(), 4u);
    EXPECT_EQ(detail.reportRow(0), QVariantMap({ { "Column", "Name" }, { "Value", "Bob" } }));
    EXPECT_EQ(detail.reportRow(1).value("Column"), "Amount");
    EXPECT_TRUE(detail.reportRow(1).contains("Value"));
    EXPECT_FALSE(detail.reportRow(1).value("Value").isValid());
    EXPECT_EQ(
        detail.reportRowFormatted(1), QVariantMap({ { "Column", "Amount" }, { "Value", "" } }));
    EXPECT_TRUE(detail.reportRow(4).isEmpty());

    const QList<double> widths = detail.reportColumnWidths();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_EQ(widths[0], 15.0 * 6); // "Amount"
    double widest = 0;
    for (TemplateColumn* c : { name, amount, when })
        widest = std::max(widest, c->getColumnWidth());
    EXPECT_EQ(widths[1], widest);
}
