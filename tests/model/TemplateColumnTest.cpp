#include "ModelFixture.h"

#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/LocalizedStrings.h"

using modeltest::ModelTest;

namespace {

const QString kColumnsDefinition = QStringLiteral("6C1D8F5A-9B3E-4E0B-A6D2-1F5C7E9A3B40");

} // namespace

TEST(TypeConstants, GroupsTheElevenTypeNamesByExactName)
{
    const QStringList text { "Text", "BigText", "List", "Link", "Protected" };
    const QStringList date { "DateTime", "Date", "Time" };
    for (const QString& type : TypeConstants::allTypes()) {
        EXPECT_EQ(TypeConstants::isText(type), text.contains(type)) << type.toStdString();
        EXPECT_EQ(TypeConstants::isDate(type), date.contains(type)) << type.toStdString();
        EXPECT_EQ(TypeConstants::isNumber(type), type == "Numeric" || type == "Currency");
        EXPECT_EQ(TypeConstants::isBoolean(type), type == "Yes/No");
    }
    EXPECT_EQ(TypeConstants::allTypes().size(), 11);
    for (const QString& other :
        { QString(), QString("text"), QString("Yes/no"), QString("Number") }) {
        EXPECT_FALSE(TypeConstants::isText(other) || TypeConstants::isDate(other)
            || TypeConstants::isNumber(other) || TypeConstants::isBoolean(other)
            || TypeConstants::isList(other) || TypeConstants::isLink(other)
            || TypeConstants::isProtected(other));
    }
}

TEST_F(ModelTest, NewColumnsAreNumberedAndOnlyTheFirstIsOnTheTiles)
{
    TemplateColumn* first = TemplateColumn::add(kColumnsDefinition);
    EXPECT_EQ(first->order().toInt(), 0);
    EXPECT_TRUE(first->intable().toBool());
    EXPECT_TRUE(first->intiles().toBool());
    EXPECT_EQ(first->typeName(), "Text");
    EXPECT_EQ(first->listvalues().toString(), "");
    EXPECT_EQ(first->id().toString().size(), 36);
    EXPECT_EQ(first->id().toString(), first->id().toString().toUpper());
    ASSERT_TRUE(first->saveTemplateColumn());

    TemplateColumn* second = TemplateColumn::add(kColumnsDefinition);
    EXPECT_EQ(second->order().toInt(), 1);
    EXPECT_TRUE(second->intable().toBool());
    EXPECT_TRUE(second->intiles().isNull());
    ASSERT_TRUE(second->saveTemplateColumn());
    EXPECT_EQ(TemplateColumn::getColumnsCount(kColumnsDefinition), 2u);
    EXPECT_EQ(
        TemplateColumn::getColumns(kColumnsDefinition), (QList<TemplateColumn*> { first, second }));
    EXPECT_TRUE(TemplateColumn::getColumns("no such definition").isEmpty());
}

TEST_F(ModelTest, DefaultValuesFollowTheType)
{
    const QDateTime before = QDateTime::currentDateTimeUtc();
    TemplateColumn* c = TemplateColumn::add(kColumnsDefinition);
    for (const char* type : { "Text", "BigText", "List", "Link", "Protected" }) {
        c->setType(type);
        EXPECT_EQ(c->defaultValue(), QVariant(QString(""))) << type;
    }
    for (const char* type : { "Numeric", "Currency", "Yes/No" }) {
        c->setType(type);
        EXPECT_EQ(c->defaultValue().toInt(), 0);
        EXPECT_TRUE(c->defaultValue().isValid());
    }
    c->setType("Date");
    const QDateTime day = c->defaultValue().toDateTime();
    EXPECT_EQ(day.toUTC().time(), QTime(0, 0));
    EXPECT_EQ(day.toUTC().date(), before.date());
    c->setType("Time");
    // The time of day on the first day of year 1, far before 1970.
    EXPECT_LT(c->defaultValue().toDateTime().toSecsSinceEpoch(), -62000000000LL);
    c->setType("DateTime");
    EXPECT_GE(c->defaultValue().toDateTime(), before.addSecs(-1));
    c->setType("Colour");
    EXPECT_FALSE(c->defaultValue().isValid());
}

TEST_F(ModelTest, DisplayTextsOfEveryType)
{
    TemplateColumn* c = TemplateColumn::add(kColumnsDefinition);
    c->setType("Text");
    EXPECT_EQ(c->getStringValue("abc"), "abc");
    EXPECT_EQ(c->getStringValue(QVariant()), "");
    c->setType("Yes/No");
    EXPECT_EQ(c->getStringValue(true), "Yes");
    EXPECT_EQ(c->getStringValue(1), "Yes");
    EXPECT_EQ(c->getStringValue(0), "No");
    EXPECT_EQ(c->getStringValue(QVariant()), "No");
    c->setType("Numeric");
    c->setPrecision(2);
    EXPECT_EQ(c->getStringValue(1234.5), "1,234.50");
    c->setPrecision(0);
    EXPECT_EQ(c->getStringValue(7.4), "7");
    // A value missing from an older row shows nothing rather than a made-up zero.
    EXPECT_EQ(c->getStringValue(QVariant()), "");
    c->setType("Currency");
    c->setPrecision(2);
    EXPECT_EQ(c->getStringValue(3.5), "$3.50");
    const QDateTime moment = utc(2024, 3, 5, 14, 30, 15);
    c->setType("Date");
    EXPECT_EQ(c->getStringValue(moment), KivoDateUtils::getDateString(moment));
    EXPECT_EQ(c->getStringValue(QVariant()), "");
    c->setType("DateTime");
    EXPECT_EQ(c->getStringValue(moment), KivoDateUtils::getDateTimeString(moment));
    // A stored number (Unix seconds) shows as the date it stands for.
    EXPECT_EQ(
        c->getStringValue(moment.toSecsSinceEpoch()), KivoDateUtils::getDateTimeString(moment));
    c->setType("Time");
    EXPECT_EQ(c->getStringValue(moment), KivoDateUtils::getTimeString(moment));
    c->setType("Unknown");
    EXPECT_EQ(c->getStringValue(42), "42");
}

TEST_F(ModelTest, FilterConditionsAndTheirQueries)
{
    TemplateColumn* c = TemplateColumn::add(kColumnsDefinition);
    const auto count = [c](const QString& type) {
        c->setType(type);
        return c->availableConditions().size();
    };
    EXPECT_EQ(count("Link"), 9);
    EXPECT_EQ(count("Text"), 9);
    EXPECT_EQ(count("Currency"), 7);
    EXPECT_EQ(count("Time"), 7);
    EXPECT_EQ(count("Yes/No"), 3);
    EXPECT_EQ(count("Other"), 0);
    c->setType("Text");
    EXPECT_EQ(c->availableConditions().mid(3, 2), QStringList({ "Contains", "Not Contains" }));
    c->setType("Numeric");
    EXPECT_FALSE(c->availableConditions().contains("Contains"));

    EXPECT_EQ(c->getPredicateString(LocalizedStrings::None()), "%K ");
    EXPECT_EQ(c->getPredicateString(LocalizedStrings::NotContains()), "NOT (%K CONTAINS %@)");
    EXPECT_EQ(c->getPredicateString(LocalizedStrings::Contains()), "%K CONTAINS[cd] %@");
    EXPECT_EQ(c->getPredicateString(LocalizedStrings::EqualTo()), "%K == %@");
    EXPECT_EQ(c->getPredicateString(LocalizedStrings::NotEqualTo()), "%K != %@");
    EXPECT_EQ(c->getPredicateString(LocalizedStrings::GreaterThan()), "%K > %@");
    EXPECT_EQ(c->getPredicateString(LocalizedStrings::GreaterThanOrEqualTo()), "%K >= %@");
    EXPECT_EQ(c->getPredicateString(LocalizedStrings::LessThan()), "%K < %@");
    EXPECT_EQ(c->getPredicateString(LocalizedStrings::LessThanOrEqualTo()), "%K <= %@");
    EXPECT_EQ(c->getPredicateString("equal to"), "%K ");
}

TEST_F(ModelTest, TypedTextBecomesTheStoredValue)
{
    TemplateColumn* c = TemplateColumn::add(kColumnsDefinition);
    c->setType("Numeric");
    c->setPrecision(2);
    EXPECT_DOUBLE_EQ(c->getColumnValue("1,234.56").toDouble(), 1234.56);
    EXPECT_EQ(c->getColumnValue("abc").toDouble(), 0.0);
    EXPECT_EQ(c->getColumnValue("").toDouble(), 0.0);
    EXPECT_TRUE(c->getColumnValue("").isValid());
    EXPECT_FLOAT_EQ(float(c->getColumnValue("12.5kg").toDouble()), 12.5f);
    c->setType("Yes/No");
    EXPECT_TRUE(c->getColumnValue("1").toBool());
    EXPECT_TRUE(c->getColumnValue("Yes").toBool());
    EXPECT_FALSE(c->getColumnValue("yes").toBool());
    EXPECT_FALSE(c->getColumnValue("true").toBool());
    c->setType("List");
    EXPECT_EQ(c->getColumnValue("Work").toString(), "Work");
    c->setType("DateTime");
    EXPECT_EQ(c->getColumnValue("2024-03-05 14:30:00 +0000").toDateTime(), utc(2024, 3, 5, 14, 30));
    EXPECT_FALSE(c->getColumnValue("yesterday").isValid());
    c->setType("Other");
    EXPECT_FALSE(c->getColumnValue("x").isValid());
}

TEST_F(ModelTest, WidthsCountCharactersThenMeasureTheSample)
{
    TemplateColumn* c = TemplateColumn::add(kColumnsDefinition);
    c->setName("Abc");
    c->setType("Text");
    c->setLength(200);
    EXPECT_DOUBLE_EQ(c->getColumnWidth(), TemplateColumn::widthForLenght(50));
    c->setLength(12);
    EXPECT_DOUBLE_EQ(c->getColumnWidth(), TemplateColumn::widthForLenght(12));
    c->setCurrentmaxlength(120);
    EXPECT_DOUBLE_EQ(c->getColumnWidth(), TemplateColumn::widthForLenght(50));
    c->setCurrentmaxlength(0);
    EXPECT_DOUBLE_EQ(c->getColumnWidth(), TemplateColumn::widthForLenght(12));

    c->setType("Yes/No");
    c->setName("Completed on time"); // longer than the type's 10: the header is never cut
    EXPECT_DOUBLE_EQ(c->getColumnWidth(), TemplateColumn::widthForLenght(17));
    c->setName("Done");
    EXPECT_DOUBLE_EQ(c->getColumnWidth(), TemplateColumn::widthForLenght(10));
    c->setType("Time");
    EXPECT_DOUBLE_EQ(c->getColumnWidth(), TemplateColumn::widthForLenght(8));

    // Up to 20 characters the sample is all "M"; from 21 the narrower mixed pattern.
    EXPECT_GT(TemplateColumn::widthForLenght(20), TemplateColumn::widthForLenght(19));
    const double perM = TemplateColumn::widthForLenght(20) / 20;
    EXPECT_LT(TemplateColumn::widthForLenght(21) / 21, perM);
    EXPECT_EQ(TemplateColumn::widthForLenght(0), 0.0);
}

TEST_F(ModelTest, ColumnsAreSelectedForTilesTableNameAndId)
{
    TemplateColumn* name = column(kColumnsDefinition, "Name", "Text");
    TemplateColumn* done = column(kColumnsDefinition, "Done", "Yes/No");
    TemplateColumn* note = column(kColumnsDefinition, "Note", "BigText");
    TemplateColumn* flag = column(kColumnsDefinition, "Flag", "Yes/No");
    done->setIntiles(true);
    flag->setIntiles(true);
    note->setIntable(false);
    const QList<TemplateColumn*> all { name, done, note, flag };
    EXPECT_EQ(TemplateColumn::getTilesColumns(all), QList<TemplateColumn*> { name });
    EXPECT_EQ(TemplateColumn::getTilesBooleanColumn(all), done);
    EXPECT_EQ(TemplateColumn::getTableColumns(all), (QList<TemplateColumn*> { name, done, flag }));
    EXPECT_EQ(TemplateColumn::getColumnForName("Note", all), note);
    EXPECT_EQ(TemplateColumn::getColumnForName("note", all), nullptr);
    EXPECT_EQ(TemplateColumn::getColumnForId(flag->id().toString(), all), flag);
    EXPECT_EQ(TemplateColumn::getColumnForId("missing", all), nullptr);
}

TEST_F(ModelTest, TypeIconsAreNamedByType)
{
    EXPECT_EQ(TemplateColumn::imageNameForType("Numeric"), "number");
    EXPECT_EQ(TemplateColumn::imageNameForType("Link"), "site");
    EXPECT_EQ(TemplateColumn::imageNameForType("Protected"), "passwordlock");
    EXPECT_EQ(TemplateColumn::imageNameForType("Yes/No"), "yesno");
    EXPECT_TRUE(TemplateColumn::imageNameForType("Other").isEmpty());
    EXPECT_TRUE(TemplateColumn::imageForType("Other").isNull());
    for (const QString& type : TypeConstants::allTypes())
        EXPECT_FALSE(TemplateColumn::imageNameForType(type).isEmpty());
}
