#include "utilities/text/KivoDateUtils.h"

#include "utilities/text/IcuDateFormatter.h"
#include "utilities/text/LocaleBound.h"

#include <QHash>
#include <QLocale>
#include <QtDebug>

#include <unicode/ucal.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace KivoDateUtils {

namespace {

const char kDatePattern[] = "yyyy-MM-dd HH:mm:ss ZZZ";
const char kMonthYearPattern[] = "MMM yyyy";
const char kYearPattern[] = "yyyy";
const char kUnsupportedUnit[] = "addCalendar does not support that calendarUnit!";

// One formatter per display method and thread: the caches need no lock, and forms built
// on background queues may format dates too.
using FormatterSlot = std::unique_ptr<IcuDateFormatter>;

const IcuDateFormatter* patterned(
    FormatterSlot& slot, const char* pattern, const QString& locale = {})
{
    if (!slot)
        slot = IcuDateFormatter::withPattern(QString::fromLatin1(pattern), locale);
    return slot.get();
}

QString format(const IcuDateFormatter* formatter, const QDateTime& date)
{
    return formatter ? formatter->stringFromDate(date) : QString();
}

struct CalendarCloser {
    void operator()(UCalendar* calendar) const { ucal_close(calendar); }
};
using Calendar = std::unique_ptr<UCalendar, CalendarCloser>;

Calendar openCalendar(UCalendarType type)
{
    UErrorCode status = U_ZERO_ERROR;
    UCalendar* calendar
        = ucal_open(nullptr, -1, IcuDateFormatter::currentLocaleId().constData(), type, &status);
    if (U_FAILURE(status)) {
        ucal_close(calendar);
        return nullptr;
    }
    return Calendar(calendar);
}

QString defaultZoneId()
{
    UChar zone[128];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucal_getDefaultTimeZone(zone, int32_t(std::size(zone)), &status);
    return U_SUCCESS(status) ? QString(reinterpret_cast<const QChar*>(zone), length) : QString();
}

// A stretch of time over which the zone keeps one offset from UTC: [start, end) in
// milliseconds since 1970, as ICU's transitions bound it.
struct ZoneSpan {
    qint64 start;
    qint64 end;
    qint64 offset; // milliseconds added to UTC for the wall clock
};

constexpr qint64 kDayMs = 86400000;
// Dates are worked out by plain arithmetic from 1900 to 2200, where the zone's offsets
// are known; ICU's calendar answers for the rest.
constexpr qint64 kArithmeticFrom = -2208988800000LL;
constexpr qint64 kArithmeticUntil = 7258118400000LL;
// A day reduced by arithmetic lies at least this far from a change of offset, so that its
// wall-clock midnight happens once and in the same offset.
constexpr qint64 kSpanMargin = 2 * kDayMs;
// Zones with summer time change offset twice a year: room for a few decades of dates.
constexpr size_t kMostSpans = 128;

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Opening a calendar reads its locale's data and the zone's rules, and rows keep dates by
// the thousand: each thread keeps one calendar of each type for as long as the locale and
// the default zone stay what they were when it was opened. Callers set its time first.
// Beside it, what the arithmetic that gives the same answers as the calendar found out.
struct CalendarSlot {
    QLocale qlocale = QLocale::c();
    QByteArray locale;
    QString zone;
    Calendar calendar;
    bool gregorian = false;
    std::vector<ZoneSpan> spans;
    bool yearOneRead = false;
    std::optional<qint64> yearOneMidnight; // getOnlyTime of a midnight
};

CalendarSlot* sharedSlot(UCalendarType type)
{
    thread_local CalendarSlot kept[2];
    CalendarSlot& slot = kept[type == UCAL_GREGORIAN ? 1 : 0];
    // The same default locale has the same name: the name is made only when it changed.
    const QLocale current;
    const QString zone = defaultZoneId();
    if (slot.calendar && current == slot.qlocale && slot.zone == zone)
        return &slot;
    const QByteArray locale = IcuDateFormatter::currentLocaleId();
    if (!slot.calendar || slot.locale != locale || slot.zone != zone) {
        slot = CalendarSlot();
        slot.calendar = openCalendar(type);
        slot.locale = locale;
        slot.zone = zone;
        if (slot.calendar) {
            UErrorCode status = U_ZERO_ERROR;
            const char* kind = ucal_getType(slot.calendar.get(), &status);
            slot.gregorian = U_SUCCESS(status) && kind && qstrcmp(kind, "gregorian") == 0;
        }
    }
    slot.qlocale = current;
    return slot.calendar ? &slot : nullptr;
}

UCalendar* sharedCalendar(UCalendarType type)
{
    CalendarSlot* slot = sharedSlot(type);
    return slot ? slot->calendar.get() : nullptr;
}

// The span of one offset around the moment; null where only the calendar tells.
const ZoneSpan* spanAt(CalendarSlot& slot, qint64 ms)
{
    if (!slot.gregorian || ms < kArithmeticFrom || ms >= kArithmeticUntil)
        return nullptr;
    for (const ZoneSpan& span : slot.spans) {
        if (span.start <= ms && ms < span.end)
            return &span;
    }
    UCalendar* calendar = slot.calendar.get();
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(calendar, UDate(ms), &status);
    const int32_t raw = ucal_get(calendar, UCAL_ZONE_OFFSET, &status);
    const int32_t summer = ucal_get(calendar, UCAL_DST_OFFSET, &status);
    UDate previous = 0;
    UDate next = 0;
    const bool hasPrevious = ucal_getTimeZoneTransitionDate(
        calendar, UCAL_TZ_TRANSITION_PREVIOUS_INCLUSIVE, &previous, &status);
    const bool hasNext
        = ucal_getTimeZoneTransitionDate(calendar, UCAL_TZ_TRANSITION_NEXT, &next, &status);
    if (U_FAILURE(status))
        return nullptr;
    ZoneSpan span { hasPrevious ? qint64(previous) : std::numeric_limits<qint64>::min(),
        hasNext ? qint64(next) : std::numeric_limits<qint64>::max(), qint64(raw) + summer };
    // Transitions fall on whole milliseconds; should one not, the calendar answers.
    if ((hasPrevious && UDate(span.start) != previous) || (hasNext && UDate(span.end) != next)
        || !(span.start <= ms && ms < span.end))
        return nullptr;
    if (slot.spans.size() >= kMostSpans)
        slot.spans.clear();
    slot.spans.push_back(span);
    return &slot.spans.back();
}

// getOnlyDate by arithmetic, where it gives the calendar's answer.
std::optional<qint64> onlyDateByArithmetic(CalendarSlot& slot, qint64 ms)
{
    const ZoneSpan* span = spanAt(slot, ms);
    if (!span)
        return std::nullopt;
    const qint64 midnight = floorDiv(ms + span->offset, kDayMs) * kDayMs - span->offset;
    if (span->start > std::numeric_limits<qint64>::min() + kSpanMargin
        && midnight - kSpanMargin < span->start)
        return std::nullopt;
    if (span->end < std::numeric_limits<qint64>::max() - kSpanMargin
        && midnight + kSpanMargin >= span->end)
        return std::nullopt;
    return midnight;
}

// The moment of that time of day on the first day of year 1; nullopt when the calendar
// fails.
std::optional<qint64> yearOneAt(UCalendar* calendar, int32_t hour, int32_t minute, int32_t second)
{
    UErrorCode status = U_ZERO_ERROR;
    // Unset components take the calendar's first day: 1 January of year 1.
    ucal_clear(calendar);
    ucal_set(calendar, UCAL_YEAR, 1);
    ucal_set(calendar, UCAL_MONTH, 0);
    ucal_set(calendar, UCAL_DAY_OF_MONTH, 1);
    ucal_set(calendar, UCAL_HOUR_OF_DAY, hour);
    ucal_set(calendar, UCAL_MINUTE, minute);
    ucal_set(calendar, UCAL_SECOND, second);
    ucal_set(calendar, UCAL_MILLISECOND, 0);
    const UDate when = ucal_getMillis(calendar, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    return qint64(when);
}

// getOnlyTime by arithmetic, where it gives the calendar's answer: that day keeps one
// offset all day, which the calendar is asked once to confirm.
std::optional<qint64> onlyTimeByArithmetic(CalendarSlot& slot, qint64 ms)
{
    const ZoneSpan* span = spanAt(slot, ms);
    if (!span)
        return std::nullopt;
    const qint64 wall = ms + span->offset;
    const qint64 secondOfDay = (wall - floorDiv(wall, kDayMs) * kDayMs) / 1000;
    if (!slot.yearOneRead) {
        slot.yearOneRead = true;
        UCalendar* calendar = slot.calendar.get();
        const auto first = yearOneAt(calendar, 0, 0, 0);
        const auto last = yearOneAt(calendar, 23, 59, 59);
        if (first && last && *last - *first == kDayMs - 1000)
            slot.yearOneMidnight = first;
    }
    if (!slot.yearOneMidnight)
        return std::nullopt;
    return *slot.yearOneMidnight + secondOfDay * 1000;
}

QDateTime dateOf(UCalendar* calendar)
{
    UErrorCode status = U_ZERO_ERROR;
    const UDate when = ucal_getMillis(calendar, &status);
    if (U_FAILURE(status))
        return {};
    return QDateTime::fromMSecsSinceEpoch(qint64(when));
}

} // namespace

double ConvertToUnixTime(const platform::Date& date)
{
    return date.unixTime();
}

platform::Date ConvertFromUnixTime(double seconds)
{
    return platform::Date::fromUnixTime(seconds);
}

QString FormatDate(const QDateTime& date, const QString& pattern)
{
    const auto formatter = IcuDateFormatter::withPattern(pattern);
    return format(formatter.get(), date);
}

QDateTime getOnlyDate(const QDateTime& date)
{
    CalendarSlot* slot = sharedSlot(UCAL_DEFAULT);
    if (!slot || !date.isValid())
        return date;
    const qint64 ms = date.toMSecsSinceEpoch();
    if (const auto midnight = onlyDateByArithmetic(*slot, ms))
        return QDateTime::fromMSecsSinceEpoch(*midnight);
    UCalendar* calendar = slot->calendar.get();
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(calendar, UDate(ms), &status);
    ucal_set(calendar, UCAL_HOUR_OF_DAY, 0);
    ucal_set(calendar, UCAL_MINUTE, 0);
    ucal_set(calendar, UCAL_SECOND, 0);
    ucal_set(calendar, UCAL_MILLISECOND, 0);
    return U_FAILURE(status) ? date : dateOf(calendar);
}

QDateTime getOnlyTime(const QDateTime& date)
{
    CalendarSlot* slot = sharedSlot(UCAL_DEFAULT);
    if (!slot || !date.isValid())
        return date;
    const qint64 ms = date.toMSecsSinceEpoch();
    if (const auto time = onlyTimeByArithmetic(*slot, ms))
        return QDateTime::fromMSecsSinceEpoch(*time);
    UCalendar* calendar = slot->calendar.get();
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(calendar, UDate(ms), &status);
    const int32_t hour = ucal_get(calendar, UCAL_HOUR_OF_DAY, &status);
    const int32_t minute = ucal_get(calendar, UCAL_MINUTE, &status);
    const int32_t second = ucal_get(calendar, UCAL_SECOND, &status);
    if (U_FAILURE(status))
        return date;
    const auto time = yearOneAt(calendar, hour, minute, second);
    return time ? QDateTime::fromMSecsSinceEpoch(*time) : QDateTime();
}

platform::Date getOnlyDate(const platform::Date& date)
{
    if (!date.isValid())
        return date;
    // The moment to the millisecond, as a QDateTime of it holds it.
    const double ms = std::round(date.unixTime() * 1000.0);
    CalendarSlot* slot = sharedSlot(UCAL_DEFAULT);
    if (slot) {
        if (const auto midnight = onlyDateByArithmetic(*slot, qint64(ms)))
            return ConvertFromUnixTime(double(*midnight) / 1000.0);
    }
    return getOnlyDate(date.toDateTime());
}

platform::Date getOnlyTime(const platform::Date& date)
{
    if (!date.isValid())
        return date;
    const double ms = std::round(date.unixTime() * 1000.0);
    CalendarSlot* slot = sharedSlot(UCAL_DEFAULT);
    if (slot) {
        if (const auto time = onlyTimeByArithmetic(*slot, qint64(ms)))
            return ConvertFromUnixTime(double(*time) / 1000.0);
    }
    return getOnlyTime(date.toDateTime());
}

namespace {

// A display method's formatter with the texts it wrote last. Exports show the same dates
// over and over (a date column holds midnights, a time column the times of one day), and
// the formatter, made once, writes one moment the same way every time.
class DisplayFormatter {
public:
    DisplayFormatter(IcuDateFormatter::Style date, IcuDateFormatter::Style time)
        : m_formatter(IcuDateFormatter::withStyles(date, time))
        , m_longest(m_formatter ? m_formatter->longestTextLength() : std::nullopt)
    {
    }

    // A length the moment's text does not exceed, known without making it.
    std::optional<qsizetype> lengthBound(qint64 msecs) const
    {
        if (!m_formatter)
            return 0;
        if (!m_longest || !IcuDateFormatter::isBoundedMoment(msecs))
            return std::nullopt;
        return m_longest;
    }

    QString text(qint64 msecs)
    {
        if (!m_formatter)
            return QString();
        auto found = m_memo.constFind(msecs);
        if (found != m_memo.constEnd())
            return *found;
        // Kept within bounds: a column of moments that never come back fills it again.
        if (m_memo.size() >= kMemoSize)
            m_memo.clear();
        const QString text = m_formatter->stringFromMSecs(msecs);
        m_memo.insert(msecs, text);
        return text;
    }

private:
    static constexpr qsizetype kMemoSize = 16384;
    std::unique_ptr<IcuDateFormatter> m_formatter;
    std::optional<qsizetype> m_longest;
    QHash<qint64, QString> m_memo;
};

DisplayFormatter& dateFormatter()
{
    thread_local LocaleBound<DisplayFormatter> formatter;
    return formatter.get(
        [] { return DisplayFormatter(IcuDateFormatter::Medium, IcuDateFormatter::None); });
}

DisplayFormatter& dateTimeFormatter()
{
    thread_local LocaleBound<DisplayFormatter> formatter;
    return formatter.get(
        [] { return DisplayFormatter(IcuDateFormatter::Medium, IcuDateFormatter::Short); });
}

DisplayFormatter& timeFormatter()
{
    thread_local LocaleBound<DisplayFormatter> formatter;
    return formatter.get(
        [] { return DisplayFormatter(IcuDateFormatter::None, IcuDateFormatter::Medium); });
}

QString display(DisplayFormatter& formatter, const QDateTime& date)
{
    return date.isValid() ? formatter.text(date.toMSecsSinceEpoch()) : QString();
}

// As Date::toDateTime rounds it.
qint64 msecsOf(const platform::Date& date)
{
    return qint64(std::round(date.unixTime() * 1000.0));
}

QString display(DisplayFormatter& formatter, const platform::Date& date)
{
    return date.isValid() ? formatter.text(msecsOf(date)) : QString();
}

std::optional<qsizetype> displayBound(DisplayFormatter& formatter, const platform::Date& date)
{
    return date.isValid() ? formatter.lengthBound(msecsOf(date)) : 0;
}

} // namespace

QString getDateString(const QDateTime& date)
{
    return display(dateFormatter(), date);
}

QString getDateTimeString(const QDateTime& date)
{
    return display(dateTimeFormatter(), date);
}

QString getTimeString(const QDateTime& date)
{
    return display(timeFormatter(), date);
}

QString getDateString(const platform::Date& date)
{
    return display(dateFormatter(), date);
}

QString getDateTimeString(const platform::Date& date)
{
    return display(dateTimeFormatter(), date);
}

QString getTimeString(const platform::Date& date)
{
    return display(timeFormatter(), date);
}

std::optional<qsizetype> getDateStringLengthBound(const platform::Date& date)
{
    return displayBound(dateFormatter(), date);
}

std::optional<qsizetype> getDateTimeStringLengthBound(const platform::Date& date)
{
    return displayBound(dateTimeFormatter(), date);
}

std::optional<qsizetype> getTimeStringLengthBound(const platform::Date& date)
{
    return displayBound(timeFormatter(), date);
}

QString getMonthYearString(const QDateTime& date)
{
    thread_local FormatterSlot slot;
    return format(patterned(slot, kMonthYearPattern), date);
}

QString getYearString(const QDateTime& date)
{
    thread_local FormatterSlot slot;
    return format(patterned(slot, kYearPattern), date);
}

std::optional<QDateTime> convertFromString(const QString& text)
{
    // A machine form: read with ASCII digits whatever the user's locale.
    thread_local FormatterSlot slot;
    const IcuDateFormatter* formatter
        = patterned(slot, kDatePattern, IcuDateFormatter::PosixLocale);
    if (!formatter)
        return std::nullopt;
    return formatter->dateFromString(text);
}

namespace {

// ICU's calendar is the Gregorian one from its change of calendars (1582-10-15) on and
// the Julian one before, so the machine form of a moment from year 1 on is written
// directly: exports write it for every date of every row, and a time of day lies in year 1.
constexpr qint64 kMsPerDay = 86400000;
constexpr qint64 kFirstDirectMs = -62135769600000; // 0001-01-01 00:00:00 UTC, Julian
constexpr qint64 kGregorianMs = -12219292800000; // 1582-10-15 00:00:00 UTC, Gregorian
constexpr qint64 kEndDirectMs = 253402300800000; // 10000-01-01 00:00:00 UTC

QString directMachineForm(qint64 ms)
{
    qint64 days = ms / kMsPerDay;
    qint64 msOfDay = ms % kMsPerDay;
    if (msOfDay < 0) {
        msOfDay += kMsPerDay;
        --days;
    }
    int year;
    int month;
    int day;
    if (ms >= kGregorianMs) {
        // Days since 1970-01-01 to year, month and day (eras of 400 years from March 0000).
        const qint64 z = days + 719468;
        const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
        const qint64 dayOfEra = z - era * 146097;
        const qint64 yearOfEra
            = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
        const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153;
        day = int(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
        month = int(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
        year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    } else {
        // The Julian day number to the Julian calendar's year, month and day (years of
        // March to February, counted from 4800 BC so that all stay positive).
        const qint64 c = days + 2440588 + 32082;
        const qint64 d = (4 * c + 3) / 1461;
        const qint64 e = c - 1461 * d / 4;
        const qint64 m = (5 * e + 2) / 153;
        day = int(e - (153 * m + 2) / 5 + 1);
        month = int(m + 3 - 12 * (m / 10));
        year = int(d - 4800 + m / 10);
    }
    const int seconds = int(msOfDay / 1000);

    char16_t text[25];
    const auto put = [&text](int at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i) {
            text[at + i] = char16_t(u'0' + value % 10);
            value /= 10;
        }
    };
    put(0, year, 4);
    text[4] = u'-';
    put(5, month, 2);
    text[7] = u'-';
    put(8, day, 2);
    text[10] = u' ';
    put(11, seconds / 3600, 2);
    text[13] = u':';
    put(14, seconds / 60 % 60, 2);
    text[16] = u':';
    put(17, seconds % 60, 2);
    const char16_t zone[] = u" +0000";
    for (int i = 0; i < 6; ++i)
        text[19 + i] = zone[i];
    return QString(reinterpret_cast<const QChar*>(text), 25);
}

} // namespace

QString convertToString(const QDateTime& date)
{
    if (date.isValid()) {
        const qint64 ms = date.toMSecsSinceEpoch();
        if (ms >= kFirstDirectMs && ms < kEndDirectMs)
            return directMachineForm(ms);
    }
    thread_local FormatterSlot slot;
    if (!slot) {
        slot = IcuDateFormatter::withPattern(QString::fromLatin1(kDatePattern),
            IcuDateFormatter::PosixLocale, QStringLiteral("UTC"));
    }
    return format(slot.get(), date);
}

QString convertToString(const platform::Date& date)
{
    if (!date.isValid())
        return QString();
    // As toDateTime rounds it.
    const double ms = std::round(date.unixTime() * 1000.0);
    if (ms >= double(kFirstDirectMs) && ms < double(kEndDirectMs))
        return directMachineForm(qint64(ms));
    return convertToString(date.toDateTime());
}

QDateTime kivo_dateByAddingCalendarUnits(const QDateTime& date, int unit, qint64 amount)
{
    UCalendarDateFields field;
    switch (unit) {
    case YearUnit:
        field = UCAL_YEAR;
        break;
    case MonthUnit:
        field = UCAL_MONTH;
        break;
    case DayUnit:
        field = UCAL_DAY_OF_MONTH;
        break;
    case HourUnit:
        field = UCAL_HOUR_OF_DAY;
        break;
    case MinuteUnit:
        field = UCAL_MINUTE;
        break;
    case SecondUnit:
        field = UCAL_SECOND;
        break;
    case WeekUnit:
        field = UCAL_WEEK_OF_YEAR;
        break;
    default:
        qWarning("%s", kUnsupportedUnit);
        return date;
    }
    UCalendar* calendar = sharedCalendar(UCAL_GREGORIAN);
    if (!calendar || !date.isValid() || amount < INT32_MIN || amount > INT32_MAX)
        return date;
    UErrorCode status = U_ZERO_ERROR;
    ucal_setMillis(calendar, UDate(date.toMSecsSinceEpoch()), &status);
    ucal_add(calendar, field, int32_t(amount), &status);
    return U_FAILURE(status) ? date : dateOf(calendar);
}

} // namespace KivoDateUtils
