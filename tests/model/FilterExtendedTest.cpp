#include "model/FilterExtended.h"
#include "model/TypeConstants.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/LocalizedStrings.h"

#include <QTimeZone>
#include <gtest/gtest.h>

TEST(FilterExtended, GivesTheValueOfTheColumnTypesGroup)
{
    FilterExtended filter;
    filter.setTextValue("abc");
    filter.setNumericValue(12.5);
    filter.setYesnoValue(true);
    const QDateTime moment(QDate(2024, 3, 5), QTime(14, 30, 15), QTimeZone::utc());
    filter.setDateValue(moment);

    for (const char* type : { "Text", "BigText", "List", "Link", "Protected" })
        EXPECT_EQ(filter.getValueForType(type), QVariant("abc")) << type;
    EXPECT_EQ(filter.getValueForType("Numeric").toDouble(), 12.5);
    EXPECT_EQ(filter.getValueForType("Currency").toDouble(), 12.5);
    EXPECT_EQ(filter.getValueForType("Yes/No"), QVariant(true));
    EXPECT_EQ(filter.getValueForType("DateTime").toDateTime(), moment);
    EXPECT_EQ(filter.getValueForType("Date").toDateTime(), KivoDateUtils::getOnlyDate(moment));
    EXPECT_EQ(filter.getValueForType("Time").toDateTime(), KivoDateUtils::getOnlyTime(moment));
    EXPECT_FALSE(filter.getValueForType("Colour").isValid());
    EXPECT_FALSE(filter.getValueForType(QString()).isValid());

    // No date entered: no date for any date type, not the start of 1970.
    filter.setDateValue(QDateTime());
    for (const char* type : { "Date", "Time", "DateTime" })
        EXPECT_FALSE(filter.getValueForType(type).isValid()) << type;
}

TEST(FilterExtended, JoinsWithAndOnlyForTheLocalizedAnd)
{
    FilterExtended filter;
    filter.setAndOr(LocalizedStrings::And());
    EXPECT_EQ(filter.AndOrEnglish(), "AND");
    filter.setAndOr(LocalizedStrings::Or());
    EXPECT_EQ(filter.AndOrEnglish(), "OR");
    filter.setAndOr("and");
    EXPECT_EQ(filter.AndOrEnglish(), "OR");
    filter.setAndOr(QString());
    EXPECT_EQ(filter.AndOrEnglish(), "OR");

    // Every filter gets an id of its own.
    const FilterExtended other;
    EXPECT_EQ(filter.id().size(), 36);
    EXPECT_EQ(filter.id(), filter.id().toUpper());
    EXPECT_NE(filter.id(), other.id());
}
