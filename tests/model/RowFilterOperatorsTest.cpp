#include "ModelFixture.h"

#include "model/FilterExtended.h"
#include "model/Rows.h"
#include "utilities/text/LocalizedStrings.h"

using modeltest::ModelTest;

namespace {

const QString kOperatorsDefinition = QStringLiteral("3E8D1A6F-2C4B-4D7E-9A10-5B6C7D8E9F01");
const QString kOperatorsTable = QStringLiteral("8C2F4A1E-6D3B-4E5A-B7C9-0D1E2F3A4B5C");

// Filters on the operators and types the row tests leave out, each checked against the
// rows picked by hand.
struct RowFilterOperatorsTest : ModelTest {
    void SetUp() override
    {
        ModelTest::SetUp();
        name = column(kOperatorsDefinition, "Name", "Text");
        day = column(kOperatorsDefinition, "Day", "Date");
        at = column(kOperatorsDefinition, "At", "DateTime");
        time = column(kOperatorsDefinition, "Time", "Time");
        columns = { name, day, at, time };
        add("r1", utc(2024, 1, 10, 8));
        add("r2", utc(2024, 1, 11, 23, 15));
        add("r3", utc(2023, 12, 31));
        add("r4", QDateTime()); // no dates at all
    }

    void add(const QString& text, const QDateTime& when)
    {
        Rows* row = Rows::add(kOperatorsTable);
        QVariantMap values { { name->id().toString(), text } };
        if (when.isValid()) {
            for (TemplateColumn* c : { day, at, time })
                values.insert(c->id().toString(), when);
        }
        row->updateData(values, columns, std::nullopt);
        ASSERT_TRUE(row->saveRows());
    }

    QStringList run(TemplateColumn* c, const QString& condition, const QVariant& value)
    {
        auto filter = std::make_shared<FilterExtended>();
        filter->setColumn(c->id().toString());
        filter->setOperator(condition);
        if (value.typeId() == QMetaType::QDateTime)
            filter->setDateValue(value.toDateTime());
        else
            filter->setTextValue(value.toString());
        QStringList names;
        for (Rows* row : Rows::getRows(kOperatorsTable, columns, { filter }, {}, std::nullopt))
            names << row->getData(columns, std::nullopt).value(name->id().toString()).toString();
        return names;
    }

    TemplateColumn *name, *day, *at, *time;
    QList<TemplateColumn*> columns;
};

} // namespace

TEST_F(RowFilterOperatorsTest, DatesNotEqualAndLessThanByTheirOwnUnit)
{
    // A row without a date is unequal to every date and never less or greater.
    EXPECT_EQ(run(day, LocalizedStrings::NotEqualTo(), utc(2024, 1, 10, 20)),
        QStringList({ "r2", "r3", "r4" }));
    EXPECT_EQ(run(at, LocalizedStrings::NotEqualTo(), utc(2024, 1, 10, 8)),
        QStringList({ "r2", "r3", "r4" }));
    EXPECT_EQ(run(time, LocalizedStrings::NotEqualTo(), utc(1980, 5, 5, 8)),
        QStringList({ "r2", "r3", "r4" }));
    EXPECT_EQ(run(at, LocalizedStrings::LessThan(), utc(2024, 1, 10, 8)), QStringList({ "r3" }));
    EXPECT_EQ(run(at, LocalizedStrings::LessThanOrEqualTo(), utc(2024, 1, 10, 8)),
        QStringList({ "r1", "r3" }));
    EXPECT_EQ(run(day, LocalizedStrings::GreaterThanOrEqualTo(), utc(2024, 1, 11, 6)),
        QStringList({ "r2" }));
    EXPECT_EQ(run(time, LocalizedStrings::LessThanOrEqualTo(), utc(2000, 1, 1, 8)),
        QStringList({ "r1", "r3" }));
}

TEST_F(RowFilterOperatorsTest, NotContainsIsExactlyTheRowsContainsLeavesOut)
{
    for (const char* text : { "Ærø Straße", "ÉCOLE", "école", "naïve" })
        add(QString::fromUtf8(text), QDateTime());
    const QStringList all = run(name, LocalizedStrings::None(), QString());
    ASSERT_EQ(all.size(), 8);
    for (const char* needle : { "ECOLE", "Ecole", "ïv", "NAI", "r", "straße", "R1", "", "zz" }) {
        const QString value = QString::fromUtf8(needle);
        const QStringList in = run(name, LocalizedStrings::Contains(), value);
        const QStringList out = run(name, LocalizedStrings::NotContains(), value);
        EXPECT_EQ(in.size() + out.size(), all.size()) << needle;
        for (const QString& row : in)
            EXPECT_FALSE(out.contains(row)) << needle;
    }
    EXPECT_EQ(run(name, LocalizedStrings::Contains(), "ecole"),
        QStringList({ QString::fromUtf8("ÉCOLE"), QString::fromUtf8("école") }));
    EXPECT_EQ(run(name, LocalizedStrings::NotContains(), "NAIVE").size(), 7);
}
