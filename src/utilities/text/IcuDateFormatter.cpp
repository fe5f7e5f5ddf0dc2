#include "utilities/text/IcuDateFormatter.h"

#include <QLocale>

#include <unicode/ucal.h>
#include <unicode/udat.h>

const QString IcuDateFormatter::PosixLocale = QStringLiteral("en_US_POSIX");

namespace {

UDateFormat* formatOf(void* format)
{
    return static_cast<UDateFormat*>(format);
}

QByteArray localeId(const QString& locale)
{
    return locale.isEmpty() ? IcuDateFormatter::currentLocaleId() : locale.toLatin1();
}

} // namespace

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
    UCalendar* calendar = ucal_clone(udat_getCalendar(formatOf(format)), &status);
    if (U_FAILURE(status)) {
        ucal_close(calendar);
        calendar = nullptr;
    }
    m_calendar = calendar;
}

IcuDateFormatter::~IcuDateFormatter()
{
    ucal_close(static_cast<UCalendar*>(m_calendar));
    udat_close(formatOf(m_format));
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
            return udat_format(formatOf(m_format), when, reinterpret_cast<UChar*>(text.data()),
                int32_t(text.size()), nullptr, &status);
        }
        UErrorCode timeStatus = U_ZERO_ERROR;
        ucal_setMillis(calendar, when, &timeStatus);
        if (U_FAILURE(timeStatus))
            return int32_t(0);
        return udat_formatCalendar(formatOf(m_format), calendar,
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
    const UDate when = udat_parse(formatOf(m_format), reinterpret_cast<const UChar*>(text.utf16()),
        int32_t(text.size()), &position, &status);
    if (U_FAILURE(status) || position != text.size())
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(qint64(when));
}
