#include "utilities/text/IcuDateFormatter.h"

#include <QLocale>

#include <unicode/ucal.h>
#include <unicode/udat.h>
#include <unicode/unum.h>

#include <algorithm>
#include <cstring>

const QString IcuDateFormatter::PosixLocale = QStringLiteral("en_US_POSIX");

namespace {

UDateFormat* dateFormatOf(void* format)
{
    return static_cast<UDateFormat*>(format);
}

QByteArray localeId(const QString& locale)
{
    return locale.isEmpty() ? IcuDateFormatter::currentLocaleId() : locale.toLatin1();
}

// The longest of the format's names of one kind (months, weekdays, ...); nullopt when ICU
// gives none.
std::optional<qsizetype> longestSymbol(const UDateFormat* format, UDateFormatSymbolType type)
{
    const int32_t count = udat_countSymbols(format, type);
    if (count <= 0)
        return std::nullopt;
    qsizetype longest = 0;
    for (int32_t i = 0; i < count; ++i) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = udat_getSymbols(format, type, i, nullptr, 0, &status);
        if (U_FAILURE(status) && status != U_BUFFER_OVERFLOW_ERROR)
            return std::nullopt;
        longest = std::max<qsizetype>(longest, length);
    }
    return longest;
}

// The widest of the digits the format writes the field's numbers with.
std::optional<qsizetype> digitWidth(const UDateFormat* format, UChar field)
{
    const UNumberFormat* numbers = udat_getNumberFormatForField(format, field);
    if (!numbers)
        return std::nullopt;
    qsizetype widest = 0;
    for (int digit = 0; digit <= 9; ++digit) {
        const auto symbol = digit == 0 ? UNUM_ZERO_DIGIT_SYMBOL
                                       : UNumberFormatSymbol(UNUM_ONE_DIGIT_SYMBOL + digit - 1);
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = unum_getSymbol(numbers, symbol, nullptr, 0, &status);
        if ((U_FAILURE(status) && status != U_BUFFER_OVERFLOW_ERROR) || length <= 0)
            return std::nullopt;
        widest = std::max<qsizetype>(widest, length);
    }
    return widest;
}

// The most units one field of the pattern (a letter repeated `count` times) writes for a
// moment of a bounded year; nullopt for a field not bounded here.
std::optional<qsizetype> longestField(const UDateFormat* format, char16_t letter, qsizetype count)
{
    const auto digits = [&](qsizetype most) -> std::optional<qsizetype> {
        const auto width = digitWidth(format, letter);
        return width ? std::optional<qsizetype>(*width * std::max(count, most)) : std::nullopt;
    };
    const auto names
        = [&](std::initializer_list<std::pair<qsizetype, UDateFormatSymbolType>> byCount)
        -> std::optional<qsizetype> {
        for (const auto& [upTo, type] : byCount) {
            if (count <= upTo)
                return longestSymbol(format, type);
        }
        return std::nullopt;
    };
    switch (letter) {
    case u'G':
        return names({ { 3, UDAT_ERAS }, { 4, UDAT_ERA_NAMES } });
    case u'y':
        // "yy" writes the last two digits; otherwise every digit of a four-digit year.
        return count == 2 ? digits(2) : digits(4);
    case u'M':
        if (count <= 2)
            return digits(2);
        return names({ { 3, UDAT_SHORT_MONTHS }, { 4, UDAT_MONTHS }, { 5, UDAT_NARROW_MONTHS } });
    case u'L':
        if (count <= 2)
            return digits(2);
        return names({ { 3, UDAT_STANDALONE_SHORT_MONTHS }, { 4, UDAT_STANDALONE_MONTHS },
            { 5, UDAT_STANDALONE_NARROW_MONTHS } });
    case u'E':
        return names({ { 3, UDAT_SHORT_WEEKDAYS }, { 4, UDAT_WEEKDAYS },
            { 5, UDAT_NARROW_WEEKDAYS }, { 6, UDAT_SHORTER_WEEKDAYS } });
    case u'a':
        return names({ { 3, UDAT_AM_PMS } });
    case u'd':
    case u'h':
    case u'H':
    case u'k':
    case u'K':
    case u'm':
    case u's':
        return digits(2);
    case u'S':
        return digits(count);
    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<qsizetype> IcuDateFormatter::longestTextLength() const
{
    const UDateFormat* format = dateFormatOf(m_format);
    UErrorCode status = U_ZERO_ERROR;
    // Other calendars number their years and months in their own ways.
    const char* calendar = ucal_getType(udat_getCalendar(format), &status);
    if (U_FAILURE(status) || !calendar || std::strcmp(calendar, "gregorian") != 0)
        return std::nullopt;
    const int32_t size = udat_toPattern(format, false, nullptr, 0, &status);
    if (U_FAILURE(status) && status != U_BUFFER_OVERFLOW_ERROR)
        return std::nullopt;
    QString pattern(size, Qt::Uninitialized);
    status = U_ZERO_ERROR;
    udat_toPattern(format, false, reinterpret_cast<UChar*>(pattern.data()), size, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    qsizetype longest = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const char16_t c = pattern.at(i).unicode();
        if (c == u'\'') {
            // Two quotes write one, inside quotes or out; one alone opens or closes them.
            if (i + 1 < pattern.size() && pattern.at(i + 1) == QLatin1Char('\'')) {
                ++longest;
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
            continue;
        }
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (quoted || !letter) {
            ++longest;
            ++i;
            continue;
        }
        qsizetype count = 1;
        while (i + count < pattern.size() && pattern.at(i + count).unicode() == c)
            ++count;
        const auto field = longestField(format, c, count);
        if (!field)
            return std::nullopt;
        longest += *field;
        i += count;
    }
    return longest;
}

bool IcuDateFormatter::isBoundedMoment(qint64 msecs)
{
    // 1001-02-01 and 8999-12-01 UTC: a day or two of zone or calendar change keeps them
    // within four-digit years.
    return msecs >= -30576009600000LL && msecs < 221842713600000LL;
}

QByteArray IcuDateFormatter::currentLocaleId()
{
    return QLocale().name().toLatin1();
}

std::unique_ptr<IcuDateFormatter> IcuDateFormatter::withStyles(
    Style dateStyle, Style timeStyle, const QString& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    UDateFormat* format = udat_open(UDateFormatStyle(timeStyle), UDateFormatStyle(dateStyle),
        localeId(locale).constData(), nullptr, -1, nullptr, -1, &status);
    if (U_FAILURE(status)) {
        udat_close(format);
        return nullptr;
    }
    return std::unique_ptr<IcuDateFormatter>(new IcuDateFormatter(format));
}

std::unique_ptr<IcuDateFormatter> IcuDateFormatter::withPattern(
    const QString& pattern, const QString& locale, const QString& timeZone)
{
    UErrorCode status = U_ZERO_ERROR;
    const UChar* zone
        = timeZone.isEmpty() ? nullptr : reinterpret_cast<const UChar*>(timeZone.utf16());
    UDateFormat* format = udat_open(UDAT_PATTERN, UDAT_PATTERN, localeId(locale).constData(), zone,
        zone ? int32_t(timeZone.size()) : -1, reinterpret_cast<const UChar*>(pattern.utf16()),
        int32_t(pattern.size()), &status);
    if (U_FAILURE(status)) {
        udat_close(format);
        return nullptr;
    }
    udat_setLenient(format, false);
    return std::unique_ptr<IcuDateFormatter>(new IcuDateFormatter(format));
}

IcuDateFormatter::IcuDateFormatter(void* format)
    : m_format(format)
{
    UErrorCode status = U_ZERO_ERROR;
    UCalendar* calendar = ucal_clone(udat_getCalendar(dateFormatOf(format)), &status);
    if (U_FAILURE(status)) {
        ucal_close(calendar);
        calendar = nullptr;
    }
    m_calendar = calendar;
}

IcuDateFormatter::~IcuDateFormatter()
{
    ucal_close(static_cast<UCalendar*>(m_calendar));
    udat_close(dateFormatOf(m_format));
}

QString IcuDateFormatter::stringFromDate(const QDateTime& date) const
{
    if (!date.isValid())
        return {};
    return stringFromMSecs(date.toMSecsSinceEpoch());
}

QString IcuDateFormatter::stringFromMSecs(qint64 msecs) const
{
    const UDate when = UDate(msecs);
    QString text(64, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    auto* calendar = static_cast<UCalendar*>(m_calendar);
    // What udat_format does, on a calendar kept for it: a date the calendar refuses
    // formats as nothing.
    const auto format = [&] {
        if (!calendar) {
            return udat_format(dateFormatOf(m_format), when, reinterpret_cast<UChar*>(text.data()),
                int32_t(text.size()), nullptr, &status);
        }
        UErrorCode timeStatus = U_ZERO_ERROR;
        ucal_setMillis(calendar, when, &timeStatus);
        if (U_FAILURE(timeStatus))
            return int32_t(0);
        return udat_formatCalendar(dateFormatOf(m_format), calendar,
            reinterpret_cast<UChar*>(text.data()), int32_t(text.size()), nullptr, &status);
    };
    int32_t length = format();
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        text.resize(length);
        status = U_ZERO_ERROR;
        length = format();
    }
    if (U_FAILURE(status))
        return {};
    text.resize(length);
    return text;
}

std::optional<QDateTime> IcuDateFormatter::dateFromString(const QString& text) const
{
    if (text.isEmpty())
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    int32_t position = 0;
    const UDate when = udat_parse(dateFormatOf(m_format),
        reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()), &position, &status);
    if (U_FAILURE(status) || position != text.size())
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(qint64(when));
}
