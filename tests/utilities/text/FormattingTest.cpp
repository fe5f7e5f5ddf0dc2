#include "utilities/text/FormatLocale.h"
#include "utilities/text/Formatter.h"
#include "utilities/text/HTTP.h"
#include "utilities/text/IcuDateFormatter.h"
#include "utilities/text/KivoArray.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/KivoNumber.h"
#include "utilities/text/KivoString.h"
#include "utilities/text/Numbers.h"
#include "utilities/text/Strings.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <unicode/ucal.h>
#include <unicode/udat.h>

#include <cmath>
#include <thread>

namespace {

// Every case runs in US English and a chosen zone, set before the first formatter is made.
class Formatting : public ::testing::Test {
protected:
    void SetUp() override
    {
        FormatLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        useZone(u"UTC");
    }
    void TearDown() override { useZone(u"UTC"); }

    static void useZone(const char16_t* zone)
    {
        UErrorCode status = U_ZERO_ERROR;
        ucal_setDefaultTimeZone(reinterpret_cast<const UChar*>(zone), &status);
        ASSERT_TRUE(U_SUCCESS(status));
    }

    static QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
    {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), QTimeZone::utc());
    }
};

} // namespace

TEST_F(Formatting, UnixTimeRoundTripsWithFractionsAndBefore1970)
{
    EXPECT_EQ(KivoDateUtils::ConvertToUnixTime(utc(1970, 1, 1)), 0.0);
    EXPECT_EQ(KivoDateUtils::ConvertFromUnixTime(0).toDateTime().toMSecsSinceEpoch(), 0);
    EXPECT_EQ(KivoDateUtils::ConvertToUnixTime(utc(2024, 1, 5, 9, 0, 0, 250)), 1704445200.25);
    EXPECT_EQ(KivoDateUtils::ConvertToUnixTime(utc(1969, 12, 31, 23, 59, 58, 500)), -1.5);
    // Every fraction the double holds survives, finer than milliseconds included.
    for (double seconds : { 0.001, 1.5, -1.5, -0.001, 1704445200.123, -2208988800.875, 1e12,
             1704445200.123456, 0.0000005, -62135769600.000001, 1.0 / 3.0 }) {
        const platform::Date date = KivoDateUtils::ConvertFromUnixTime(seconds);
        ASSERT_TRUE(date.isValid()) << seconds;
        EXPECT_EQ(KivoDateUtils::ConvertToUnixTime(date), seconds) << seconds;
    }
    EXPECT_EQ(
        KivoDateUtils::ConvertFromUnixTime(-1.5).toDateTime(), utc(1969, 12, 31, 23, 59, 58, 500));
    // For display the moment is taken to the nearest millisecond.
    EXPECT_EQ(KivoDateUtils::ConvertFromUnixTime(1704445200.1236).toDateTime(),
        utc(2024, 1, 5, 9, 0, 0, 124));
    EXPECT_FALSE(KivoDateUtils::ConvertFromUnixTime(std::nan("")).isValid());
    EXPECT_FALSE(KivoDateUtils::ConvertFromUnixTime(INFINITY).isValid());
    EXPECT_FALSE(KivoDateUtils::ConvertFromUnixTime(1e300).isValid());
    EXPECT_TRUE(std::isnan(KivoDateUtils::ConvertToUnixTime(QDateTime())));

    // Held in a value, a date still reads as a QDateTime.
    const QVariant held = QVariant::fromValue(KivoDateUtils::ConvertFromUnixTime(-1.5));
    EXPECT_EQ(held.toDateTime(), utc(1969, 12, 31, 23, 59, 58, 500));
    // Now is the clock's own time.
    const double now = KivoDateUtils::ConvertToUnixTime(platform::Date::now());
    EXPECT_NEAR(now, double(QDateTime::currentMSecsSinceEpoch()) / 1000.0, 5.0);
}

TEST_F(Formatting, OnlyDateIsLocalMidnightAndOnlyTimeLiesInYearOne)
{
    useZone(u"America/New_York");
    // 22:30 in New York is already the next day in UTC.
    const QDateTime evening = utc(2024, 3, 6, 3, 30);
    EXPECT_EQ(KivoDateUtils::ConvertToUnixTime(KivoDateUtils::getOnlyDate(evening)), 1709614800.0);

    useZone(u"UTC");
    const QDateTime onlyTime = KivoDateUtils::getOnlyTime(utc(2024, 7, 9, 10, 20, 30, 999));
    // 1 January of year 1 (Julian, as the calendar has it) plus 10:20:30.
    EXPECT_EQ(KivoDateUtils::ConvertToUnixTime(onlyTime), -62135769600.0 + 37230.0);
}

TEST_F(Formatting, KeptCalendarsFollowTheZoneAndTheLocale)
{
    const QDateTime evening = utc(2024, 3, 6, 3, 30);
    useZone(u"America/New_York");
    EXPECT_EQ(KivoDateUtils::ConvertToUnixTime(KivoDateUtils::getOnlyDate(evening)), 1709614800.0);
    useZone(u"UTC");
    EXPECT_EQ(KivoDateUtils::ConvertToUnixTime(KivoDateUtils::getOnlyDate(evening)), 1709683200.0);
    useZone(u"Asia/Kolkata");
    // 09:00 there on 1 January of year 1, not 03:30.
    EXPECT_NE(KivoDateUtils::ConvertToUnixTime(KivoDateUtils::getOnlyTime(evening)),
        -62135769600.0 + 12600.0);
    EXPECT_EQ(KivoDateUtils::ConvertToUnixTime(KivoDateUtils::getOnlyDate(evening)),
        1709663400.0); // 6 March 00:00 in India
    // A locale with another calendar: the Buddhist year in Thailand.
    FormatLocale::setDefault(QLocale(QLocale::Thai, QLocale::Thailand));
    useZone(u"UTC");
    EXPECT_EQ(KivoDateUtils::ConvertToUnixTime(KivoDateUtils::getOnlyDate(evening)), 1709683200.0);
    EXPECT_EQ(KivoDateUtils::kivo_dateByAddingCalendarUnits(evening, KivoDateUtils::YearUnit, 1),
        utc(2025, 3, 6, 3, 30));
}

namespace {

// The day and the time of day as the locale's calendar itself works them out, one call at
// a time: what stored dates have always been reduced to.
struct CalendarReference {
    UCalendar* calendar = nullptr;

    CalendarReference()
    {
        UErrorCode status = U_ZERO_ERROR;
        calendar = ucal_open(
            nullptr, -1, QLocale().name().toLatin1().constData(), UCAL_DEFAULT, &status);
    }
    ~CalendarReference() { ucal_close(calendar); }
    CalendarReference(const CalendarReference&) = delete;
    CalendarReference& operator=(const CalendarReference&) = delete;

    qint64 onlyDate(qint64 ms) const
    {
        UErrorCode status = U_ZERO_ERROR;
        ucal_setMillis(calendar, UDate(ms), &status);
        ucal_set(calendar, UCAL_HOUR_OF_DAY, 0);
        ucal_set(calendar, UCAL_MINUTE, 0);
        ucal_set(calendar, UCAL_SECOND, 0);
        ucal_set(calendar, UCAL_MILLISECOND, 0);
        return qint64(ucal_getMillis(calendar, &status));
    }
    qint64 onlyTime(qint64 ms) const
    {
        UErrorCode status = U_ZERO_ERROR;
        ucal_setMillis(calendar, UDate(ms), &status);
        const int32_t hour = ucal_get(calendar, UCAL_HOUR_OF_DAY, &status);
        const int32_t minute = ucal_get(calendar, UCAL_MINUTE, &status);
        const int32_t second = ucal_get(calendar, UCAL_SECOND, &status);
        ucal_clear(calendar);
        ucal_set(calendar, UCAL_YEAR, 1);
        ucal_set(calendar, UCAL_MONTH, 0);
        ucal_set(calendar, UCAL_DAY_OF_MONTH, 1);
        ucal_set(calendar, UCAL_HOUR_OF_DAY, hour);
        ucal_set(calendar, UCAL_MINUTE, minute);
        ucal_set(calendar, UCAL_SECOND, second);
        ucal_set(calendar, UCAL_MILLISECOND, 0);
        return qint64(ucal_getMillis(calendar, &status));
    }
    // The zone's changes of offset between the two moments.
    QList<qint64> transitions(qint64 from, qint64 until) const
    {
        QList<qint64> found;
        UErrorCode status = U_ZERO_ERROR;
        UDate at = UDate(from);
        while (at < UDate(until)) {
            ucal_setMillis(calendar, at, &status);
            UDate next = 0;
            if (!ucal_getTimeZoneTransitionDate(calendar, UCAL_TZ_TRANSITION_NEXT, &next, &status)
                || U_FAILURE(status))
                break;
            found << qint64(next);
            at = next;
        }
        return found;
    }
};

} // namespace

// Dates reduced to their day or time of day give the calendar's answer to the millisecond,
// in zones with summer time, half-hour and odd offsets, a skipped day, changes at midnight,
// and around every change of offset, from before 1900 to after 2200, for dates kept as
// QDateTime and as stored dates (fractions of a millisecond rounded as a QDateTime has them).
TEST_F(Formatting, OnlyDateAndOnlyTimeEqualTheCalendarEverywhere)
{
    QRandomGenerator random(29);
    const auto check = [&](qint64 ms, const CalendarReference& reference, const char* zone) {
        const QDateTime moment = QDateTime::fromMSecsSinceEpoch(ms);
        const qint64 day = reference.onlyDate(ms);
        const qint64 time = reference.onlyTime(ms);
        ASSERT_EQ(KivoDateUtils::getOnlyDate(moment).toMSecsSinceEpoch(), day) << zone << " " << ms;
        ASSERT_EQ(KivoDateUtils::getOnlyTime(moment).toMSecsSinceEpoch(), time)
            << zone << " " << ms;
        const double fraction = double(random.bounded(1000)) / 1e6 - 0.0004;
        const platform::Date stored
            = KivoDateUtils::ConvertFromUnixTime((double(ms) + fraction) / 1000.0);
        const qint64 rounded = qint64(std::round(stored.unixTime() * 1000.0));
        ASSERT_EQ(KivoDateUtils::getOnlyDate(stored).unixTime(),
            double(reference.onlyDate(rounded)) / 1000.0)
            << zone << " " << ms;
        ASSERT_EQ(KivoDateUtils::getOnlyTime(stored).unixTime(),
            double(reference.onlyTime(rounded)) / 1000.0)
            << zone << " " << ms;
    };
    const qint64 from = utc(1850, 1, 1).toMSecsSinceEpoch();
    const qint64 until = utc(2250, 1, 1).toMSecsSinceEpoch();
    for (const char16_t* zone : { u"UTC", u"Europe/Berlin", u"America/New_York",
             u"Australia/Lord_Howe", u"Pacific/Apia", u"America/Sao_Paulo", u"Asia/Kathmandu",
             u"America/St_Johns", u"Africa/Casablanca", u"Europe/Dublin", u"America/Havana",
             u"Antarctica/Troll", u"Asia/Gaza", u"Pacific/Kiritimati" }) {
        useZone(zone);
        const CalendarReference reference;
        ASSERT_NE(reference.calendar, nullptr);
        const QByteArray name = QString::fromUtf16(zone).toLatin1();
        for (int i = 0; i < 1500; ++i)
            check(from + qint64(random.bounded(double(until - from))), reference, name);
        // Around each change of offset in a century, where a day may start twice or not at
        // all, and two days on either side.
        for (const qint64 transition : reference.transitions(
                 utc(1950, 1, 1).toMSecsSinceEpoch(), utc(2050, 1, 1).toMSecsSinceEpoch())) {
            for (qint64 hours = -60; hours <= 60; hours += 7)
                check(transition + hours * 3600000 + random.bounded(3600000), reference, name);
            check(transition, reference, name);
            check(transition - 1, reference, name);
        }
    }
    // Another calendar than the Gregorian one keeps its own answers.
    FormatLocale::setDefault(QLocale(QLocale::Thai, QLocale::Thailand));
    useZone(u"Asia/Bangkok");
    const CalendarReference thai;
    for (int i = 0; i < 200; ++i)
        check(from + qint64(random.bounded(double(until - from))), thai, "Bangkok");
}

TEST_F(Formatting, DateTextsAreWhatICUFormatsForEachLocaleAndStyle)
{
    QRandomGenerator random(3);
    for (const char* locale : { "en_US", "de_DE", "ja_JP@calendar=japanese", "th_TH", "ar_EG" }) {
        const QString name = QString::fromLatin1(locale);
        for (const auto& [date, time] :
            { std::pair { IcuDateFormatter::Medium, IcuDateFormatter::None },
                std::pair { IcuDateFormatter::Medium, IcuDateFormatter::Short },
                std::pair { IcuDateFormatter::Full, IcuDateFormatter::Full },
                std::pair { IcuDateFormatter::None, IcuDateFormatter::Medium } }) {
            const auto ours = IcuDateFormatter::withStyles(date, time, name);
            ASSERT_TRUE(ours);
            UErrorCode status = U_ZERO_ERROR;
            UDateFormat* reference = udat_open(UDateFormatStyle(time), UDateFormatStyle(date),
                locale, nullptr, -1, nullptr, -1, &status);
            ASSERT_TRUE(U_SUCCESS(status));
            for (int i = 0; i < 200; ++i) {
                // From before year 1 to far ahead.
                const qint64 ms = qint64(random.bounded(1 << 30)) * 200000 - 70000000000000LL;
                UChar text[256];
                status = U_ZERO_ERROR;
                const int32_t length
                    = udat_format(reference, UDate(ms), text, 256, nullptr, &status);
                ASSERT_TRUE(U_SUCCESS(status));
                EXPECT_EQ(
                    ours->stringFromDate(QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc())),
                    QString(reinterpret_cast<const QChar*>(text), length))
                    << locale << " " << ms;
            }
            udat_close(reference);
        }
    }
}

// The bounds let a column's longest text grow without making most texts: one shorter than
// a text it bounds would leave a column too narrow.
TEST_F(Formatting, DateTextsNeverExceedTheirPatternsLongestLength)
{
    QRandomGenerator random(11);
    const qint64 first = -30576009600000LL; // 1001-02-01
    const qint64 last = 221842713600000LL; // 8999-12-01
    EXPECT_TRUE(IcuDateFormatter::isBoundedMoment(first));
    EXPECT_FALSE(IcuDateFormatter::isBoundedMoment(first - 1));
    EXPECT_TRUE(IcuDateFormatter::isBoundedMoment(last - 1));
    EXPECT_FALSE(IcuDateFormatter::isBoundedMoment(last));
    for (const char* locale : { "en_US", "C", "de_DE", "fr_FR", "fi_FI", "ru_RU", "ar_EG", "hi_IN",
             "zh_CN", "ja_JP", "ko_KR", "th_TH", "fa_IR", "bn_BD", "en_US_POSIX" }) {
        for (const char16_t* zone : { u"UTC", u"Asia/Kathmandu", u"America/St_Johns" }) {
            useZone(zone);
            for (const auto& [date, time] :
                { std::pair { IcuDateFormatter::Medium, IcuDateFormatter::None },
                    std::pair { IcuDateFormatter::Medium, IcuDateFormatter::Short },
                    std::pair { IcuDateFormatter::None, IcuDateFormatter::Medium },
                    std::pair { IcuDateFormatter::Full, IcuDateFormatter::None },
                    std::pair { IcuDateFormatter::Long, IcuDateFormatter::Long } }) {
                const auto formatter
                    = IcuDateFormatter::withStyles(date, time, QString::fromLatin1(locale));
                ASSERT_TRUE(formatter);
                const auto longest = formatter->longestTextLength();
                if (!longest)
                    continue;
                qsizetype reached = 0;
                for (int i = 0; i < 400; ++i) {
                    const qint64 ms = first
                        + qint64(random.bounded(quint64(last - first) / 1000)) * 1000
                        + (i % 2 ? 999 : 0);
                    const qsizetype length = formatter->stringFromMSecs(ms).size();
                    reached = std::max(reached, length);
                    ASSERT_LE(length, *longest) << locale << " " << ms;
                }
                EXPECT_GT(reached, 0) << locale;
            }
        }
    }
    useZone(u"UTC");
    // The display styles of the locales most used have a bound, and it is reached.
    for (const char* locale : { "en_US", "C", "de_DE" }) {
        const auto medium = IcuDateFormatter::withStyles(
            IcuDateFormatter::Medium, IcuDateFormatter::None, QString::fromLatin1(locale));
        ASSERT_TRUE(medium->longestTextLength()) << locale;
        EXPECT_TRUE(IcuDateFormatter::withStyles(
            IcuDateFormatter::Medium, IcuDateFormatter::Short, QString::fromLatin1(locale))
                        ->longestTextLength())
            << locale;
        EXPECT_TRUE(IcuDateFormatter::withStyles(
            IcuDateFormatter::None, IcuDateFormatter::Medium, QString::fromLatin1(locale))
                        ->longestTextLength())
            << locale;
    }
    const auto medium = IcuDateFormatter::withStyles(
        IcuDateFormatter::Medium, IcuDateFormatter::None, QStringLiteral("en_US"));
    EXPECT_EQ(medium->longestTextLength(),
        medium->stringFromDate(utc(2026, 12, 25)).size()); // "Dec 25, 2026"
    // A zone's name has no known width.
    EXPECT_FALSE(IcuDateFormatter::withStyles(
        IcuDateFormatter::None, IcuDateFormatter::Full, QStringLiteral("en_US"))
                     ->longestTextLength());

    // Outside those years, and for moments the pattern cannot bound, only the text tells.
    const platform::Date early(utc(999, 6, 1));
    EXPECT_FALSE(KivoDateUtils::getDateStringLengthBound(early));
    EXPECT_EQ(KivoDateUtils::getDateStringLengthBound(platform::Date()), 0);
    const platform::Date moment(utc(2024, 1, 5, 14, 7, 9));
    EXPECT_GE(KivoDateUtils::getDateStringLengthBound(moment).value_or(-1),
        KivoDateUtils::getDateString(moment).size());
    EXPECT_GE(KivoDateUtils::getDateTimeStringLengthBound(moment).value_or(-1),
        KivoDateUtils::getDateTimeString(moment).size());
    EXPECT_GE(KivoDateUtils::getTimeStringLengthBound(moment).value_or(-1),
        KivoDateUtils::getTimeString(moment).size());
}

TEST_F(Formatting, NumberTextsNeverExceedTheirLengthBound)
{
    QRandomGenerator random(5);
    QList<double> values { 0.0, -0.0, 9.995, -9.995, 99.999, 999.5, -999.5, 0.4, 0.5, -0.001,
        999999.995, 9999999999.99, 999999999999999.0, -999999999999999.0, 1e14, 0.000001 };
    for (int i = 0; i < 3000; ++i) {
        const double magnitude = std::pow(10.0, -3.0 + random.bounded(18.0));
        values << (random.bounded(2u) ? -1 : 1) * magnitude * random.bounded(1.0);
    }
    for (const unsigned decimals : { 0u, 1u, 2u, 5u, 20u, 25u }) {
        for (const double value : std::as_const(values)) {
            const auto plain = KivoNumber::getStringLengthBound(value, decimals);
            const auto currency = KivoNumber::getCurrencyLengthBound(value, decimals);
            ASSERT_TRUE(plain && currency) << value;
            EXPECT_LE(KivoNumber::getStringWithDecimal(value, decimals).size(), *plain)
                << value << " " << decimals;
            EXPECT_LE(KivoNumber::getCurrencyWithDecimal(value, decimals).size(), *currency)
                << value << " " << decimals;
        }
    }
    // A number of as many digits and the same sign reaches it.
    EXPECT_EQ(KivoNumber::getCurrencyLengthBound(1234.5, 2),
        KivoNumber::getCurrencyWithDecimal(9999.5, 2).size());
    EXPECT_EQ(KivoNumber::getCurrencyLengthBound(-1234.5, 2),
        KivoNumber::getCurrencyWithDecimal(-1234.5, 2).size());
    for (const double value : { 1e15, -1e300, double(INFINITY), double(NAN) })
        EXPECT_FALSE(KivoNumber::getStringLengthBound(value, 2)) << value;
}

TEST_F(Formatting, DateTextsAndParsing)
{
    const QDateTime date = utc(2024, 1, 5, 14, 7, 9);
    EXPECT_EQ(KivoDateUtils::getDateString(date), QStringLiteral("Jan 5, 2024"));
    EXPECT_TRUE(KivoDateUtils::getDateTimeString(date).startsWith(QStringLiteral("Jan 5, 2024")));
    EXPECT_TRUE(KivoDateUtils::getDateTimeString(date).contains(QStringLiteral("2:07")));
    EXPECT_TRUE(KivoDateUtils::getTimeString(date).startsWith(QStringLiteral("2:07:09")));
    EXPECT_EQ(KivoDateUtils::getMonthYearString(date), QStringLiteral("Jan 2024"));
    EXPECT_EQ(KivoDateUtils::getYearString(date), QStringLiteral("2024"));
    EXPECT_EQ(
        KivoDateUtils::FormatDate(date, QStringLiteral("dd.MM.yy")), QStringLiteral("05.01.24"));

    const auto parsed
        = KivoDateUtils::convertFromString(QStringLiteral("2024-01-05 10:00:00 +0100"));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(KivoDateUtils::ConvertToUnixTime(*parsed), 1704445200.0);
    EXPECT_EQ(
        KivoDateUtils::convertFromString(QStringLiteral("2024-01-05 10:00:00")), std::nullopt);
    EXPECT_EQ(KivoDateUtils::convertFromString(QStringLiteral("yesterday")), std::nullopt);
    EXPECT_EQ(KivoDateUtils::convertFromString(QString()), std::nullopt);

    EXPECT_EQ(Formatter::FormatDate(date), QStringLiteral("2024-01-05"));
    EXPECT_EQ(Formatter::DateForString(QStringLiteral("2024-01-05 14:07:09")), date);
    EXPECT_EQ(Formatter::DateForString(QStringLiteral("2024-01-05")), std::nullopt);
}

// The machine form is written in UTC and read back to the same moment, also for a time
// of day, which is kept on the first day of year 1 (a Julian date to ICU).
TEST_F(Formatting, TheMachineFormReadsBackWhatItWrites)
{
    EXPECT_EQ(KivoDateUtils::convertToString(utc(2024, 1, 5, 14, 7, 9)),
        QStringLiteral("2024-01-05 14:07:09 +0000"));
    EXPECT_TRUE(KivoDateUtils::convertToString(QDateTime()).isEmpty());
    for (const QDateTime& moment : { utc(2024, 2, 29, 23, 59, 59), utc(1969, 12, 31, 23, 59, 59),
             KivoDateUtils::getOnlyTime(utc(2024, 7, 9, 10, 20, 30)), utc(1582, 10, 4, 12) }) {
        const QString text = KivoDateUtils::convertToString(moment);
        EXPECT_TRUE(text.endsWith(QStringLiteral(" +0000"))) << text.toStdString();
        const auto back = KivoDateUtils::convertFromString(text);
        ASSERT_TRUE(back.has_value()) << text.toStdString();
        EXPECT_EQ(back->toMSecsSinceEpoch(), moment.toMSecsSinceEpoch()) << text.toStdString();
    }
}

// The machine form is written directly for dates from year 1 on: it must be what ICU's
// own formatter writes, at the ends of that range, on both sides of the change from the
// Julian calendar, across days and before 1970 with parts of a second.
TEST_F(Formatting, TheMachineFormIsICUsForEveryOrdinaryMoment)
{
    const auto icu = IcuDateFormatter::withPattern(QStringLiteral("yyyy-MM-dd HH:mm:ss ZZZ"),
        IcuDateFormatter::PosixLocale, QStringLiteral("UTC"));
    ASSERT_TRUE(icu);
    QList<qint64> moments { 0, -1, -999, -1000, -1001, 86399999, -86400001, -12212553600000,
        -12212553600001, 253402300799999, 253402300800000, 951782400000, 951868799999,
        4107542400000, -62135769600000, -62135769600001, -62135596800000, -12219292800000,
        -12219292800001, -12219379200000, -59006361600000 };
    QRandomGenerator random(5);
    for (int i = 0; i < 20000; ++i)
        moments << random.bounded(-12212553600000LL, 253402300800000LL);
    // Before the change, and the times of day, which are kept in year 1.
    for (int i = 0; i < 5000; ++i) {
        moments << random.bounded(-62135769600000LL, -12212553600000LL)
                << random.bounded(-62135769600000LL, -62135769600000LL + 3 * 86400000LL);
    }
    for (qint64 ms : moments) {
        const QDateTime moment = QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc());
        EXPECT_EQ(KivoDateUtils::convertToString(moment), icu->stringFromDate(moment)) << ms;
        EXPECT_EQ(KivoDateUtils::convertToString(platform::Date::fromUnixTime(double(ms) / 1000)),
            icu->stringFromDate(moment))
            << ms;
        // Another zone's view of the moment writes the same.
        EXPECT_EQ(KivoDateUtils::convertToString(moment.toOffsetFromUtc(-5 * 3600)),
            icu->stringFromDate(moment))
            << ms;
    }
}

// The display texts of stored dates are those of their QDateTime, also when moments come
// back (kept texts) or share a kept place with others.
TEST_F(Formatting, StoredDatesShowAsTheirDateTimes)
{
    const auto icu
        = IcuDateFormatter::withStyles(IcuDateFormatter::Medium, IcuDateFormatter::Short);
    ASSERT_TRUE(icu);
    QRandomGenerator random(9);
    QList<qint64> moments { 0, -1, 86400000, -62135769600000 };
    for (int i = 0; i < 3000; ++i)
        moments << random.bounded(-62135769600000LL, 253402300800000LL);
    for (int round = 0; round < 2; ++round) {
        for (qint64 ms : moments) {
            const auto date = platform::Date::fromUnixTime(double(ms) / 1000);
            const QDateTime moment = date.toDateTime();
            EXPECT_EQ(KivoDateUtils::getDateTimeString(date), icu->stringFromDate(moment)) << ms;
            EXPECT_EQ(
                KivoDateUtils::getDateTimeString(date), KivoDateUtils::getDateTimeString(moment))
                << ms;
            EXPECT_EQ(KivoDateUtils::getDateString(date), KivoDateUtils::getDateString(moment))
                << ms;
            EXPECT_EQ(KivoDateUtils::getTimeString(date), KivoDateUtils::getTimeString(moment))
                << ms;
        }
    }
    EXPECT_TRUE(KivoDateUtils::getDateString(platform::Date()).isEmpty());
    EXPECT_TRUE(KivoDateUtils::getTimeString(QDateTime()).isEmpty());
}

TEST_F(Formatting, AddingCalendarUnits)
{
    const QDateTime date = utc(2024, 1, 31, 12);
    using namespace KivoDateUtils;
    EXPECT_EQ(kivo_dateByAddingCalendarUnits(date, MonthUnit, 1), utc(2024, 2, 29, 12));
    EXPECT_EQ(kivo_dateByAddingCalendarUnits(date, YearUnit, -1), utc(2023, 1, 31, 12));
    EXPECT_EQ(kivo_dateByAddingCalendarUnits(date, WeekUnit, 2), utc(2024, 2, 14, 12));
    EXPECT_EQ(kivo_dateByAddingCalendarUnits(date, HourUnit, 13), utc(2024, 2, 1, 1));
    EXPECT_EQ(kivo_dateByAddingCalendarUnits(date, SecondUnit, -1), utc(2024, 1, 31, 11, 59, 59));
    EXPECT_EQ(kivo_dateByAddingCalendarUnits(date, EraUnit, 1), date);
}

TEST_F(Formatting, FixedDecimalsAndCurrency)
{
    EXPECT_EQ(KivoNumber::getStringWithDecimal(1.5, 2), QStringLiteral("1.50"));
    EXPECT_EQ(KivoNumber::getStringWithDecimal(1234567.5, 2), QStringLiteral("1,234,567.50"));
    EXPECT_EQ(KivoNumber::getStringWithDecimal(0.25, 3), QStringLiteral("0.250"));
    EXPECT_EQ(KivoNumber::getStringWithDecimal(-3.14159, 3), QStringLiteral("-3.142"));
    EXPECT_EQ(KivoNumber::getStringWithDecimal(1234.6, 0), QStringLiteral("1,235"));
    EXPECT_EQ(KivoNumber::getStringWithDecimal(0.4, 0), QStringLiteral("0"));

    EXPECT_EQ(KivoNumber::getCurrencyWithDecimal(1234.5, 2), QStringLiteral("$1,234.50"));
    EXPECT_EQ(KivoNumber::getCurrencyWithDecimal(1234.6, 0), QStringLiteral("$1,235"));
    EXPECT_EQ(KivoNumber::getCurrencyWithDecimal(0.5, 3), QStringLiteral("$0.500"));
    EXPECT_EQ(KivoNumber::getCurrencyWithDecimal(-2, 2), QStringLiteral("-$2.00"));
    EXPECT_EQ(KivoNumber::getCurrencySymbol(), QStringLiteral("$"));
    // The same decimals in two styles are two formatters.
    EXPECT_NE(&KivoNumber::getNumberFormatterWithDecimal(2),
        &KivoNumber::getCurrencyFormatterWithDecimal(2));
    EXPECT_EQ(&KivoNumber::getNumberFormatterWithDecimal(2),
        &KivoNumber::getNumberFormatterWithDecimal(2));

    EXPECT_EQ(KivoNumber::getFormat(QStringLiteral("#,##0.###")), QStringLiteral("#,##0.000"));
    EXPECT_EQ(KivoNumber::getFormat(QStringLiteral("#,##0")), QStringLiteral("#,##0"));
    EXPECT_EQ(KivoNumber::getFormat(QStringLiteral("00.#")), QStringLiteral("#0.0"));
    EXPECT_EQ(KivoNumber::getFormat(QStringLiteral("¤#,##0.00#")), QStringLiteral("¤#,##0.000"));
    EXPECT_EQ(KivoNumber::getFormat(QStringLiteral("(#,##0.##)")), QStringLiteral("(#,##0.00)"));
    EXPECT_EQ(KivoNumber::getFormat(QStringLiteral("#,##0 ¤")), QStringLiteral("#,##0 ¤"));

    const auto grouped = Formatter::NumberFormatter();
    EXPECT_EQ(grouped->stringFromNumber(1234567.4), QStringLiteral("1 234 567"));
    EXPECT_EQ(
        Formatter::NumberFormatterPercent()->stringFromNumber(0.1234), QStringLiteral("12.3%"));
    EXPECT_EQ(Formatter::NumberWithDouble(NAN), 0.0);
    EXPECT_EQ(Formatter::NumberWithDouble(2.5), 2.5);
}

// A thread's kept formatters and the texts they wrote belong to the locale they were made
// in: after the default locale changed, a thread that formatted before writes what a thread
// that never did writes.
TEST_F(Formatting, KeptFormattersAndTextsFollowTheDefaultLocale)
{
    const QDateTime moment = utc(2024, 3, 6, 15, 5);
    const auto texts = [&] {
        return QStringList { KivoDateUtils::getDateString(moment),
            KivoDateUtils::getDateTimeString(moment), KivoDateUtils::getTimeString(moment),
            KivoNumber::getStringWithDecimal(1234.5, 2),
            KivoNumber::getCurrencyWithDecimal(1234.5, 2) };
    };
    const QStringList english = texts();
    FormatLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QStringList german = texts();
    QStringList fresh;
    std::thread([&] { fresh = texts(); }).join();
    EXPECT_EQ(german, fresh);
    EXPECT_EQ(german[3], QStringLiteral("1.234,50"));
    EXPECT_NE(german[0], english[0]);
    FormatLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(texts(), english);
}

TEST_F(Formatting, StringAndListHelpers)
{
    EXPECT_EQ(KivoString::Left(QStringLiteral("0123456789"), 16), QStringLiteral("0123456789"));
    EXPECT_EQ(KivoString::Left(QStringLiteral("0123456789"), 3), QStringLiteral("012"));
    EXPECT_EQ(KivoString::Right(QStringLiteral("abcdef"), 3), QStringLiteral("def"));
    EXPECT_EQ(KivoString::Right(QStringLiteral("ab"), 3), QStringLiteral("ab"));
    EXPECT_EQ(KivoString::ExtSubStringStartFrom(QStringLiteral("abcdef"), 4, 5),
        QStringLiteral("abcdef"));
    EXPECT_EQ(KivoString::ExtSubStringStartFrom(QStringLiteral("abcdef"), -1, 2),
        QStringLiteral("abcdef"));
    EXPECT_TRUE(KivoString::ExtContains(QStringLiteral("Hello"), QStringLiteral("ell")));
    EXPECT_FALSE(KivoString::ExtContains(QStringLiteral("Hello"), QStringLiteral("ELL")));

    QVariantList list { 1, 2, 3, 4 };
    KivoArray::moveObjectFromIndex(list, 1, 3); // the last index before the move: appended
    EXPECT_EQ(list, (QVariantList { 1, 3, 4, 2 }));
    KivoArray::moveObjectFromIndex(list, 3, 0);
    EXPECT_EQ(list, (QVariantList { 2, 1, 3, 4 }));
    KivoArray::moveObjectFromIndex(list, 7, 0);
    EXPECT_EQ(list, (QVariantList { 2, 1, 3, 4 }));
    EXPECT_EQ(KivoArray::concatStrings({ QStringLiteral("a"), 1.5, QVariant(), 7 }),
        QStringLiteral("a1.57"));

    const int32_t widths[] = { 120, -5, 0 };
    EXPECT_EQ(Numbers::createNSNumberArray(widths, 3), (QVariantList { 120, -5, 0 }));
    EXPECT_EQ(Strings::getString(QVariant()), QString(""));
    EXPECT_EQ(Strings::getString(0.1), QStringLiteral("0.1"));
}

TEST_F(Formatting, UrlEncodingAndSplitting)
{
    EXPECT_EQ(HTTP::urlEncodedString(QStringLiteral("a b:c/d?e&f=g+h’i'j~k%")),
        QStringLiteral("a%20b%3Ac%2Fd%3Fe%26f%3Dg%2Bh%E2%80%99i'j~k%25"));
    EXPECT_EQ(KivoString::UrlEncode(QStringLiteral("ü")), QStringLiteral("%C3%BC"));
    EXPECT_EQ(HTTP::urlDecodedString(QStringLiteral("a%20b%C3%BC")), QStringLiteral("a bü"));
    EXPECT_EQ(HTTP::urlDecodedString(QStringLiteral("%FF")), std::nullopt);

    const QVariantMap parts = HTTP::SplitURL(
        QStringLiteral("see https://joe:pw@example.com:8443/api/link/templates?x=1 now"));
    EXPECT_EQ(parts.value("protocol"), QStringLiteral("https"));
    EXPECT_EQ(parts.value("user"), QStringLiteral("joe"));
    EXPECT_EQ(parts.value("password"), QStringLiteral("pw"));
    EXPECT_EQ(parts.value("host"), QStringLiteral("example.com"));
    EXPECT_EQ(parts.value("port"), QStringLiteral("8443"));
    EXPECT_EQ(parts.value("path"), QStringLiteral("/api/link/templates?x=1"));
    const QVariantMap bare = HTTP::SplitURL(QStringLiteral("http://host"));
    EXPECT_EQ(bare.keys(), (QStringList { "host", "protocol" }));
    EXPECT_TRUE(HTTP::SplitURL(QStringLiteral("ftp://host")).isEmpty());
    // ICU's semantics: a letter before "http" is part of the word, so no address starts
    // there; \d takes any decimal digit.
    EXPECT_TRUE(HTTP::SplitURL(QStringLiteral("\u00e9http://host/x")).isEmpty());
    EXPECT_EQ(HTTP::SplitURL(QStringLiteral("http://host:\u0661\u0662/x")).value("port"),
        QStringLiteral("\u0661\u0662"));
}
