#include "platform/LocalNotification.h"

#include "platform/Date.h"

#include <QJsonArray>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace platform {

const QString LocalNotification::DefaultSoundName
    = QStringLiteral("UILocalNotificationDefaultSoundName");

namespace {

const QString kFireDate = QStringLiteral("fireDate");
const QString kTimeZone = QStringLiteral("timeZone");
const QString kSound = QStringLiteral("soundName");
const QString kBody = QStringLiteral("alertBody");
const QString kBadge = QStringLiteral("applicationIconBadgeNumber");
const QString kRepeat = QStringLiteral("repeatInterval");
const QString kUserInfo = QStringLiteral("userInfo");
const QString kIdentifier = QStringLiteral("identifier");
// A date inside the user info: an object with this one member, the Unix seconds.
const QString kDateTag = QStringLiteral("$date");

double nominalSeconds(LocalNotification::CalendarUnit unit)
{
    switch (unit) {
    case LocalNotification::DayCalendarUnit:
        return 86400.0;
    case LocalNotification::WeekCalendarUnit:
        return 7 * 86400.0;
    case LocalNotification::MonthCalendarUnit:
        return 30.436875 * 86400.0;
    case LocalNotification::YearCalendarUnit:
        return 365.2425 * 86400.0;
    case LocalNotification::NoRepeat:
        break;
    }
    return 0;
}

QJsonValue encode(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<Date>()) {
        const Date date = value.value<Date>();
        return date.isValid() ? QJsonValue(QJsonObject { { kDateTag, date.unixTime() } })
                              : QJsonValue();
    }
    if (value.metaType() == QMetaType::fromType<QDateTime>()) {
        const QDateTime dateTime = value.toDateTime();
        return dateTime.isValid()
            ? QJsonValue(QJsonObject { { kDateTag, double(dateTime.toMSecsSinceEpoch()) / 1000 } })
            : QJsonValue();
    }
    if (value.metaType() == QMetaType::fromType<QVariantMap>()) {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            object.insert(it.key(), encode(it.value()));
        return object;
    }
    if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        QJsonArray array;
        for (const QVariant& item : value.toList())
            array.append(encode(item));
        return array;
    }
    return QJsonValue::fromVariant(value);
}

QVariant decode(const QJsonValue& value)
{
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        if (object.size() == 1 && object.contains(kDateTag))
            return QVariant::fromValue(Date::fromUnixTime(object.value(kDateTag).toDouble()));
        QVariantMap map;
        for (auto it = object.begin(); it != object.end(); ++it)
            map.insert(it.key(), decode(it.value()));
        return map;
    }
    if (value.isArray()) {
        QVariantList list;
        for (const QJsonValue& item : value.toArray())
            list.append(decode(item));
        return list;
    }
    return value.toVariant();
}

} // namespace

LocalNotification::CalendarUnit LocalNotification::unitFromValue(quint64 value)
{
    switch (value) {
    case YearCalendarUnit:
    case MonthCalendarUnit:
    case DayCalendarUnit:
    case WeekCalendarUnit:
        return CalendarUnit(value);
    default:
        return NoRepeat;
    }
}

QDateTime LocalNotification::occurrence(qint64 k) const
{
    if (!fireDate.isValid())
        return {};
    const QTimeZone zone = timeZone.isEmpty() ? QTimeZone::systemTimeZone() : QTimeZone(timeZone);
    // Counted from the fire date each time, so a monthly one on the 31st comes back on the
    // 31st after a shorter month.
    const QDateTime anchor = fireDate.toTimeZone(zone.isValid() ? zone : QTimeZone::utc());
    switch (repeatInterval) {
    case DayCalendarUnit:
        return anchor.addDays(k);
    case WeekCalendarUnit:
        return anchor.addDays(7 * k);
    case MonthCalendarUnit:
        return anchor.addMonths(int(k));
    case YearCalendarUnit:
        return anchor.addYears(int(k));
    case NoRepeat:
        break;
    }
    return k == 0 ? anchor : QDateTime();
}

QDateTime LocalNotification::nextOccurrenceAfter(const QDateTime& moment) const
{
    if (!fireDate.isValid())
        return {};
    if (fireDate > moment)
        return fireDate;
    if (repeatInterval == NoRepeat)
        return {};
    // Start a little before the estimate and step to the first one after the moment.
    const double elapsed = double(fireDate.msecsTo(moment)) / 1000.0;
    qint64 k
        = std::max<qint64>(0, qint64(std::floor(elapsed / nominalSeconds(repeatInterval))) - 2);
    QDateTime next = occurrence(k);
    while (next.isValid() && next <= moment)
        next = occurrence(++k);
    return next;
}

QJsonObject LocalNotification::toJson() const
{
    QJsonObject object;
    object.insert(kFireDate, encode(QVariant::fromValue(Date(fireDate))));
    if (!timeZone.isEmpty())
        object.insert(kTimeZone, QString::fromLatin1(timeZone));
    object.insert(kSound, soundName);
    object.insert(kBody, alertBody);
    object.insert(kBadge, applicationIconBadgeNumber);
    object.insert(kRepeat, qint64(repeatInterval));
    object.insert(kUserInfo, encode(userInfo));
    object.insert(kIdentifier, identifier);
    return object;
}

std::optional<LocalNotification> LocalNotification::fromJson(const QJsonObject& object)
{
    const QVariant fire = decode(object.value(kFireDate));
    if (fire.metaType() != QMetaType::fromType<Date>() || !fire.value<Date>().isValid())
        return std::nullopt;
    LocalNotification notification;
    notification.fireDate = fire.value<Date>().toDateTime();
    notification.timeZone = object.value(kTimeZone).toString().toLatin1();
    notification.soundName = object.value(kSound).toString();
    notification.alertBody = object.value(kBody).toString();
    notification.applicationIconBadgeNumber = object.value(kBadge).toInt();
    notification.repeatInterval
        = unitFromValue(quint64(std::max<qint64>(0, object.value(kRepeat).toInteger())));
    notification.userInfo = decode(object.value(kUserInfo)).toMap();
    notification.identifier = object.value(kIdentifier).toString();
    return notification;
}

} // namespace platform
