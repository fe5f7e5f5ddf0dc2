#include "forms/FormDateTimeElement.h"
#include "forms/FormDateTimeInlineElement.h"
#include "forms/FormSection.h"
#include "platform/MutableDictionary.h"

#include "forms/FormTestSupport.h"

#include <QDateTime>
#include <QTimeZone>

using platform::KeyValueCoding;

namespace {

QDateTime utcTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc());
}

} // namespace

using DateTest = formtest::FormTest;

TEST_F(DateTest, TheRowShowsItsValueByModeAndACustomFormatWins)
{
    const QDateTime when = utcTime(2024, 3, 5, 14, 7);
    auto time
        = FormDateTimeInlineElement::initWithTitle("Time", when, FormDateTimeInlineElement::Time);
    auto date
        = FormDateTimeInlineElement::initWithTitle("Date", when, FormDateTimeInlineElement::Date);
    auto both = FormDateTimeInlineElement::initWithTitle(
        "Both", when, FormDateTimeInlineElement::DateAndTime);
    // Newer locale data puts a narrow space before the day period.
    EXPECT_EQ(time->displayText().replace(QChar(0x202F), u' '), "2:07 PM");
    EXPECT_EQ(date->displayText(), "Mar 5, 2024");
    EXPECT_TRUE(both->displayText().startsWith("Mar 5, 2024"));
    EXPECT_TRUE(both->displayText().contains("2:07"));

    date->setCustomDateFormat("yyyy/MM/dd HH:mm");
    EXPECT_EQ(date->displayText(), "2024/03/05 14:07");
    time->setCustomDateFormat("EEEE");
    EXPECT_EQ(time->displayText(), "Tuesday");

    date->setDateValue(QDateTime());
    EXPECT_EQ(date->displayText(), "");
}

TEST_F(DateTest, CountdownShowsHoursOnlyFromAnHourOn)
{
    EXPECT_EQ(FormDateTimeInlineElement::formatInterval(3725), "1 hrs, 2 mins");
    EXPECT_EQ(FormDateTimeInlineElement::formatInterval(59), "0 mins");
    EXPECT_EQ(FormDateTimeInlineElement::formatInterval(3600), "1 hrs, 0 mins");
    EXPECT_EQ(FormDateTimeInlineElement::formatInterval(0), "0 mins");

    auto timer = FormDateTimeInlineElement::initWithTitle(
        "Timer", {}, FormDateTimeInlineElement::CountDownTimer);
    timer->setCustomDateFormat("yyyy");
    timer->setTicksValue(7260.0);
    EXPECT_EQ(timer->displayText(), "2 hrs, 1 mins");
}

TEST_F(DateTest, NilTicksAreIgnoredAndNilDateEmpties)
{
    auto element = FormDateTimeInlineElement::initWithTitle("Due", utcTime(2020, 1, 1), 1);
    element->setBind("ticksValue:ticks");
    element->bindToObject(QVariantMap {});
    EXPECT_EQ(element->dateValue(), utcTime(2020, 1, 1));
    element->bindToObject(QVariantMap { { "ticks", 86400.5 } });
    EXPECT_EQ(element->dateValue(), QDateTime::fromMSecsSinceEpoch(86400500, QTimeZone::utc()));
    EXPECT_EQ(element->ticksValue(), QVariant(86400.5));

    element->setBind("dateValue:due");
    element->bindToObject(QVariantMap {});
    EXPECT_FALSE(element->dateValue().isValid());
    EXPECT_FALSE(element->ticksValue().isValid());
    platform::MutableDictionary saved(QVariantMap { { "due", utcTime(2000, 1, 1) } });
    element->fetchValueUsingBindingsIntoObject(QVariant::fromValue(saved));
    EXPECT_EQ(saved.value("due"), QVariant(utcTime(2000, 1, 1)));
}

TEST_F(DateTest, MadeRowsStayOrLeaveSelectedAndTellTimeToGo)
{
    EXPECT_TRUE(FormDateTimeInlineElement().keepSelected());
    auto made = FormDateTimeInlineElement::initWithTitle("x", utcTime(2020, 1, 1), 1);
    EXPECT_FALSE(made->keepSelected());
    EXPECT_EQ(made->value().toString(), "2020-01-01 00:00:00 +0000");

    auto soon = FormDateTimeInlineElement::initWithTitle(
        "x", QDateTime::currentDateTime().addSecs(3725), 3);
    EXPECT_TRUE(soon->textValue() == "01:02:05" || soon->textValue() == "01:02:04")
        << soon->textValue().toStdString();
    auto past = FormDateTimeInlineElement::initWithTitle(
        "x", QDateTime::currentDateTime().addSecs(-3725), 3);
    EXPECT_TRUE(past->textValue().startsWith("-1:-2:-")) << past->textValue().toStdString();
}

TEST_F(DateTest, DateTimeElementBuildsItsTimeFormAndJoinsThePickedTime)
{
    FormDateTimeElement element;
    EXPECT_TRUE(element.grouped());
    EXPECT_EQ(element.mode(), 2);
    ASSERT_EQ(element.numberOfSections(), 1);
    EXPECT_EQ(element.getSectionForIndex(0)->title(), "\n");
    auto* time = qobject_cast<FormDateTimeInlineElement*>(element.elementWithKey("time"));
    ASSERT_NE(time, nullptr);
    EXPECT_TRUE(time->centerLabel());
    EXPECT_TRUE(time->hiddenToolbar());
    EXPECT_EQ(time->mode(), 0);

    element.setMode(1);
    EXPECT_EQ(element.getSectionForIndex(0)->title(), "\n\n");
    EXPECT_EQ(element.elementWithKey("time"), nullptr);
    element.setMode(0);
    element.setMinuteInterval(15);
    time = qobject_cast<FormDateTimeInlineElement*>(element.elementWithKey("time"));
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->minuteInterval(), 15);

    const QDateTime start = utcTime(2024, 6, 1, 8, 0);
    element.setDateValue(start);
    EXPECT_EQ(time->dateValue(), start);
    element.setMode(2);
    time = qobject_cast<FormDateTimeInlineElement*>(element.elementWithKey("time"));
    time->setDateValue(QDateTime(QDate(2030, 1, 1), QTime(17, 45)));
    element.takeValuesFromSubForm();
    const QDateTime joined = element.dateValue().toLocalTime();
    EXPECT_EQ(joined.date(), start.toLocalTime().date());
    EXPECT_EQ(joined.time(), QTime(17, 45));

    auto shown = FormDateTimeElement::initWithTitle("When", utcTime(2024, 3, 5, 14, 7));
    EXPECT_EQ(shown->numberOfSections(), 0);
    EXPECT_TRUE(shown->displayText().startsWith("Mar 5, 2024"));
    element.setMode(7);
    formtest::LogCapture log;
    element.takeValuesFromSubForm();
    EXPECT_EQ(log.lines(),
        QStringList { "This control was not created to handle this time of UIDatePickerMode" });
}
