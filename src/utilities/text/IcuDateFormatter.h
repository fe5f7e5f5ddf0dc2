#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

// A date formatter over ICU's C interface: the locale's date and time styles or a pattern,
// in the device's time zone.
class IcuDateFormatter {
public:
    enum Style { Full = 0, Long = 1, Medium = 2, Short = 3, None = -1 };

    // The current locale (QLocale's default) when `locale` is empty.
    [[nodiscard]] static std::unique_ptr<IcuDateFormatter> withStyles(
        Style dateStyle, Style timeStyle, const QString& locale = {});
    // In the time zone of that id ("UTC"), or the device's when it is empty.
    [[nodiscard]] static std::unique_ptr<IcuDateFormatter> withPattern(
        const QString& pattern, const QString& locale = {}, const QString& timeZone = {});
    // The locale for fixed machine-readable forms: ASCII digits, Gregorian calendar.
    static const QString PosixLocale;

    ~IcuDateFormatter();
    IcuDateFormatter(const IcuDateFormatter&) = delete;
    IcuDateFormatter& operator=(const IcuDateFormatter&) = delete;

    QString stringFromDate(const QDateTime& date) const;
    // The same for the moment that many milliseconds after 1970, without a QDateTime: one
    // in local time asks the C library for the zone of every moment, under its lock.
    QString stringFromMSecs(qint64 msecs) const;
    // The most UTF-16 units the text of a moment within boundedMoment can take, read from
    // the pattern and the locale's names without formatting; nullopt when the pattern holds
    // a field this cannot bound (zones, day periods, calendars other than the Gregorian).
    std::optional<qsizetype> longestTextLength() const;
    // Whether the moment (milliseconds after 1970) lies in the years 1001 to 8999, whose
    // texts longestTextLength bounds: every such year has four digits in any time zone.
    static bool isBoundedMoment(qint64 msecs);
    // Strict: the whole text must match; nullopt otherwise.
    [[nodiscard]] std::optional<QDateTime> dateFromString(const QString& text) const;

    // The ICU locale id for QLocale's default locale.
    static QByteArray currentLocaleId();

private:
    explicit IcuDateFormatter(void* format);
    void* m_format;
    // A copy of the format's own calendar that dates are set on: formatting through it
    // spares ICU a copy of the calendar for every date.
    void* m_calendar;
};
