#include "platform/Date.h"

#include <chrono>
#include <cmath>

namespace platform {

namespace {

// Lets a QVariant holding a Date answer toDateTime(), and a QDateTime be read as a Date.
const bool kConvertersRegistered = [] {
    QMetaType::registerConverter<Date, QDateTime>(&Date::toDateTime);
    QMetaType::registerConverter<QDateTime, Date>(
        [](const QDateTime& dateTime) { return Date(dateTime); });
    return true;
}();

} // namespace

Date::Date(const QDateTime& dateTime)
{
    (void)kConvertersRegistered;
    if (dateTime.isValid())
        m_seconds = double(dateTime.toMSecsSinceEpoch()) / 1000.0;
}

Date Date::fromUnixTime(double seconds)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) > MaximumSeconds)
        return Date();
    return Date(seconds);
}

Date Date::now()
{
    const auto since1970 = std::chrono::system_clock::now().time_since_epoch();
    const auto micro = std::chrono::duration_cast<std::chrono::microseconds>(since1970);
    return Date(double(micro.count()) / 1e6);
}

bool Date::isValid() const
{
    return !std::isnan(m_seconds);
}

QDateTime Date::toDateTime() const
{
    if (!isValid())
        return QDateTime();
    return QDateTime::fromMSecsSinceEpoch(qint64(std::round(m_seconds * 1000.0)));
}

bool Date::operator==(const Date& other) const
{
    return (*this <=> other) == std::strong_ordering::equal;
}

std::strong_ordering Date::operator<=>(const Date& other) const
{
    if (!isValid() || !other.isValid())
        return isValid() <=> other.isValid();
    if (m_seconds < other.m_seconds)
        return std::strong_ordering::less;
    if (other.m_seconds < m_seconds)
        return std::strong_ordering::greater;
    return std::strong_ordering::equal;
}

} // namespace platform
