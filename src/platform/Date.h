#pragma once

#include <QDateTime>
#include <QMetaType>

#include <compare>
#include <limits>

namespace platform {

// A moment as the system keeps it: seconds since 1970-01-01 00:00:00 UTC in a double,
// fractions and all. QDateTime holds whole milliseconds only, so a stored Unix time read
// into one and written back would lose its finer fractions; a Date gives it back exactly.
// A QVariant holding a Date converts to QDateTime (to the millisecond) and back.
class Date {
public:
    // An invalid date.
    Date() = default;
    // The same moment; invalid for an invalid QDateTime.
    Date(const QDateTime& dateTime);

    // The moment that many seconds after 1970; invalid for a number that is not finite or
    // lies beyond the dates a QDateTime can hold.
    static Date fromUnixTime(double seconds);
    // Now, to the microsecond the clock gives.
    static Date now();

    bool isValid() const;
    // NaN for an invalid date.
    double unixTime() const { return m_seconds; }
    // The moment to the nearest millisecond, in local time; invalid for an invalid date.
    QDateTime toDateTime() const;

    // Invalid dates are equal among themselves and order before every valid one.
    bool operator==(const Date& other) const;
    std::strong_ordering operator<=>(const Date& other) const;

    // The largest span of seconds from 1970 either way a date may lie (100 million days).
    static constexpr double MaximumSeconds = 8.64e12;

private:
    explicit Date(double seconds)
        : m_seconds(seconds)
    {
    }

    double m_seconds = std::numeric_limits<double>::quiet_NaN();
};

} // namespace platform

Q_DECLARE_METATYPE(platform::Date)
