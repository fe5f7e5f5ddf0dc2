#pragma once

#include "platform/Date.h"

#include <QDateTime>
#include <QString>

#include <optional>

// Dates to Unix time and display texts. Display formatters are made once per thread and kept;
// they use the locale and time zone current when they were made.
namespace KivoDateUtils {

// Calendar units for kivo_dateByAddingCalendarUnits, numbered as stored settings name them.
enum CalendarUnit : int {
    EraUnit = 2,
    YearUnit = 4,
    MonthUnit = 8,
    DayUnit = 16,
    HourUnit = 32,
    MinuteUnit = 64,
    SecondUnit = 128,
    WeekUnit = 256,
};

// Seconds since 1970-01-01 00:00:00 UTC, with every fraction the date holds (a QDateTime
// holds milliseconds); NaN for an invalid date.
double ConvertToUnixTime(const platform::Date& date);
// The date that many seconds after 1970, the number kept exactly; invalid for a number
// that is not finite or is beyond the range of dates.
platform::Date ConvertFromUnixTime(double seconds);

// The date written with a new formatter of that pattern (ICU pattern letters).
QString FormatDate(const QDateTime& date, const QString& format);
// Midnight starting the date's day in the current calendar and time zone.
QDateTime getOnlyDate(const QDateTime& date);
// A date holding only the hour, minute and second: those of the first day of year 1 in the
// current calendar, so far before 1970.
QDateTime getOnlyTime(const QDateTime& date);
// The same for a stored date, to the millisecond, without making a QDateTime on the way for
// ordinary dates.
platform::Date getOnlyDate(const platform::Date& date);
platform::Date getOnlyTime(const platform::Date& date);

QString getDateString(const QDateTime& date); // medium date
QString getDateTimeString(const QDateTime& date); // medium date, short time
QString getTimeString(const QDateTime& date); // medium time
// The same for a stored date, without making a QDateTime on the way.
QString getDateString(const platform::Date& date);
QString getDateTimeString(const platform::Date& date);
QString getTimeString(const platform::Date& date);
// A length in UTF-16 units the date's text of that kind surely does not exceed, found
// without making the text; nullopt when only making it tells (a locale's pattern with a
// field of no known width, a year of other than four digits).
std::optional<qsizetype> getDateStringLengthBound(const platform::Date& date);
std::optional<qsizetype> getDateTimeStringLengthBound(const platform::Date& date);
std::optional<qsizetype> getTimeStringLengthBound(const platform::Date& date);
QString getMonthYearString(const QDateTime& date); // "MMM yyyy"
QString getYearString(const QDateTime& date); // "yyyy"

// Text of the form "yyyy-MM-dd HH:mm:ss ZZZ" (for example "2024-03-05 14:30:00 +0100");
// nullopt when the text does not match, a missing zone included.
[[nodiscard]] std::optional<QDateTime> convertFromString(const QString& text);
// The moment in that form in UTC ("2024-03-05 13:30:00 +0000"), in the same calendar
// convertFromString reads it with (before 1582 that is the Julian one); empty for an
// invalid date.
QString convertToString(const QDateTime& date);
// The same for a stored date, without making a QDateTime on the way for ordinary ones.
QString convertToString(const platform::Date& date);

// The date plus the amount of one Gregorian calendar unit; an unsupported unit is logged
// and gives the same moment back.
QDateTime kivo_dateByAddingCalendarUnits(const QDateTime& date, int unit, qint64 amount);

} // namespace KivoDateUtils
