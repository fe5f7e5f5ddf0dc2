#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace platform {

// One local notification: when it fires, how it repeats, what it shows and what it
// carries for the application. Repeat intervals are the platform's calendar units.
struct LocalNotification {
    enum CalendarUnit : quint32 {
        NoRepeat = 0,
        YearCalendarUnit = 4,
        MonthCalendarUnit = 8,
        DayCalendarUnit = 16,
        WeekCalendarUnit = 256
    };

    QDateTime fireDate;
    // The zone whose calendar the repeats follow (a daily one keeps its wall-clock time
    // across daylight-saving changes); empty for the system zone.
    QByteArray timeZone;
    QString soundName;
    QString alertBody;
    int applicationIconBadgeNumber = 0;
    CalendarUnit repeatInterval = NoRepeat;
    QVariantMap userInfo;
    // Given by the scheduler; tells scheduled notifications apart.
    QString identifier;

    static const QString DefaultSoundName; // "UILocalNotificationDefaultSoundName"

    // The unit for a stored number; anything that is not one of the four units is none.
    static CalendarUnit unitFromValue(quint64 value);
    // The repeat's k-th occurrence (0: the fire date itself), in the notification's zone.
    QDateTime occurrence(qint64 k) const;
    // The first occurrence later than the moment; invalid when a notification that does
    // not repeat fired at or before it, or when there is no fire date.
    QDateTime nextOccurrenceAfter(const QDateTime& moment) const;

    // The record in the scheduler's file. Dates inside the user info keep their kind
    // (platform::Date or QDateTime, both come back as platform::Date) and every fraction.
    QJsonObject toJson() const;
    static std::optional<LocalNotification> fromJson(const QJsonObject& object);
};

} // namespace platform
