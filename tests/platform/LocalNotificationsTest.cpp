#include "platform/LocalNotifications.h"
#include "common/TestSupport.h"
#include "platform/Date.h"

#include <QFile>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

using platform::LocalNotification;
using platform::LocalNotifications;

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc());
}

// The service with a clock the test moves by hand; nothing waits for real time.
class LocalNotificationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        center().setClock([this] { return clock; });
    }

    static LocalNotifications& center() { return LocalNotifications::shared(); }

    void startDelivery()
    {
        center().start([this](const LocalNotification& n) { delivered.append(n); });
    }

    // As if the application ended and started again: only the file is left.
    void restart()
    {
        center().reset();
        center().setClock([this] { return clock; });
    }

    static LocalNotification reminder(const QDateTime& fire,
        LocalNotification::CalendarUnit repeat = LocalNotification::NoRepeat,
        const QString& row = QStringLiteral("row-1"))
    {
        LocalNotification n;
        n.fireDate = fire;
        n.timeZone = "UTC";
        n.alertBody = QStringLiteral("Buy milk (Errands)");
        n.applicationIconBadgeNumber = 1;
        n.repeatInterval = repeat;
        n.userInfo = { { "Row", row }, { "Repeat", "Daily" } };
        return n;
    }

    // Moves the clock to the moment and delivers what is due; the bodies' fire dates.
    QList<QDateTime> advanceTo(const QDateTime& moment)
    {
        clock = moment;
        delivered.clear();
        center().deliverDueNotifications();
        QList<QDateTime> fired;
        for (const auto& n : std::as_const(delivered))
            fired.append(n.fireDate);
        return fired;
    }

    QDateTime clock = utc(2026, 1, 1, 12);
    QList<LocalNotification> delivered;
};

TEST_F(LocalNotificationsTest, ScheduledNotificationsOutliveTheProcessWithEveryField)
{
    LocalNotification n = reminder(utc(2026, 1, 2, 9), LocalNotification::WeekCalendarUnit);
    n.soundName = LocalNotification::DefaultSoundName;
    // A date with fractions finer than a millisecond comes back exactly.
    n.userInfo.insert("Date", QVariant::fromValue(platform::Date::fromUnixTime(1767344400.123456)));
    n.userInfo.insert("Nested", QVariantMap { { "n", 3 }, { "list", QVariantList { "a", 1.5 } } });
    const QString id = center().scheduleLocalNotification(n);
    ASSERT_FALSE(id.isEmpty());
    center().flush();
    ASSERT_TRUE(QFile::exists(center().filePath()));

    restart();
    const auto scheduled = center().scheduledLocalNotifications();
    ASSERT_EQ(scheduled.size(), 1);
    const LocalNotification& back = scheduled.first();
    EXPECT_EQ(back.identifier, id);
    EXPECT_EQ(back.fireDate, n.fireDate);
    EXPECT_EQ(back.timeZone, QByteArray("UTC"));
    EXPECT_EQ(back.soundName, LocalNotification::DefaultSoundName);
    EXPECT_EQ(back.alertBody, n.alertBody);
    EXPECT_EQ(back.applicationIconBadgeNumber, 1);
    EXPECT_EQ(back.repeatInterval, LocalNotification::WeekCalendarUnit);
    EXPECT_EQ(back.userInfo.value("Row").toString(), "row-1");
    const QVariant date = back.userInfo.value("Date");
    ASSERT_EQ(date.metaType(), QMetaType::fromType<platform::Date>());
    EXPECT_EQ(date.value<platform::Date>().unixTime(), 1767344400.123456);
    const QVariantMap nested = back.userInfo.value("Nested").toMap();
    EXPECT_EQ(nested.value("n").toInt(), 3);
    EXPECT_EQ(nested.value("list").toList().value(1).toDouble(), 1.5);
}

TEST_F(LocalNotificationsTest, CancelTakesOnlyThatNotificationAndNeedsAFireDateToSchedule)
{
    EXPECT_TRUE(center().scheduleLocalNotification(reminder(QDateTime())).isEmpty());
    center().scheduleLocalNotification(reminder(utc(2026, 1, 2), {}, "a"));
    center().scheduleLocalNotification(reminder(utc(2026, 1, 3), {}, "b"));
    auto scheduled = center().scheduledLocalNotifications();
    ASSERT_EQ(scheduled.size(), 2);
    center().cancelLocalNotification(scheduled.first());
    scheduled = center().scheduledLocalNotifications();
    ASSERT_EQ(scheduled.size(), 1);
    EXPECT_EQ(scheduled.first().userInfo.value("Row").toString(), "b");
    center().cancelAllLocalNotifications();
    EXPECT_TRUE(center().scheduledLocalNotifications().isEmpty());
    EXPECT_FALSE(center().nextFireDate().isValid());
}

TEST_F(LocalNotificationsTest, OnceFiresAtItsDateAndIsGone)
{
    startDelivery();
    center().scheduleLocalNotification(reminder(utc(2026, 1, 1, 15)));
    EXPECT_TRUE(advanceTo(utc(2026, 1, 1, 14, 59, 59)).isEmpty());
    EXPECT_EQ(advanceTo(utc(2026, 1, 1, 15)).size(), 1);
    EXPECT_EQ(delivered.first().alertBody, "Buy milk (Errands)");
    EXPECT_TRUE(center().scheduledLocalNotifications().isEmpty());
    EXPECT_TRUE(advanceTo(utc(2026, 1, 9)).isEmpty());
}

TEST_F(LocalNotificationsTest, EachRepeatFiresAgainAtItsNextCalendarDate)
{
    startDelivery();
    struct Case {
        LocalNotification::CalendarUnit unit;
        QDateTime first;
        QList<QDateTime> next;
    };
    // Counted from the first date: a monthly one on the 31st comes back on the 31st, a
    // yearly one on 29 February on the 28th in other years.
    const QList<Case> cases {
        { LocalNotification::DayCalendarUnit, utc(2026, 1, 31, 9),
            { utc(2026, 2, 1, 9), utc(2026, 2, 2, 9) } },
        { LocalNotification::WeekCalendarUnit, utc(2026, 1, 31, 9),
            { utc(2026, 2, 7, 9), utc(2026, 2, 14, 9) } },
        { LocalNotification::MonthCalendarUnit, utc(2026, 1, 31, 9),
            { utc(2026, 2, 28, 9), utc(2026, 3, 31, 9), utc(2026, 4, 30, 9) } },
        { LocalNotification::YearCalendarUnit, utc(2028, 2, 29, 9),
            { utc(2029, 2, 28, 9), utc(2030, 2, 28, 9) } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.unit));
        center().cancelAllLocalNotifications();
        clock = c.first.addDays(-1);
        center().scheduleLocalNotification(reminder(c.first, c.unit));
        EXPECT_EQ(center().nextFireDate(), c.first);
        EXPECT_EQ(advanceTo(c.first), QList<QDateTime> { c.first });
        for (const QDateTime& next : c.next) {
            EXPECT_EQ(center().nextFireDate(), next);
            EXPECT_TRUE(advanceTo(next.addSecs(-1)).isEmpty());
            EXPECT_EQ(advanceTo(next).size(), 1);
        }
        // The notification itself keeps the date it was scheduled for.
        EXPECT_EQ(center().scheduledLocalNotifications().value(0).fireDate, c.first);
    }
}

TEST_F(LocalNotificationsTest, DailyKeepsItsWallClockTimeAcrossDaylightSaving)
{
    const QTimeZone berlin("Europe/Berlin");
    ASSERT_TRUE(berlin.isValid());
    LocalNotification n = reminder(
        QDateTime(QDate(2026, 3, 28), QTime(9, 0), berlin), LocalNotification::DayCalendarUnit);
    n.timeZone = "Europe/Berlin";
    const QDateTime next = n.nextOccurrenceAfter(n.fireDate);
    EXPECT_EQ(next.toTimeZone(berlin).time(), QTime(9, 0));
    EXPECT_EQ(n.fireDate.secsTo(next), 23 * 3600);
}

TEST_F(LocalNotificationsTest, PastRepeatWaitsForItsNextOccurrencePastOnceFiresAtOnce)
{
    startDelivery();
    center().scheduleLocalNotification(
        reminder(utc(2025, 12, 31, 9), LocalNotification::DayCalendarUnit));
    EXPECT_EQ(center().nextFireDate(), utc(2026, 1, 2, 9));
    EXPECT_TRUE(advanceTo(clock).isEmpty());
    center().scheduleLocalNotification(reminder(utc(2025, 12, 31, 9)));
    EXPECT_EQ(advanceTo(clock).size(), 1);
}

TEST_F(LocalNotificationsTest, WhatCameDueWhileNotRunningIsDeliveredAtTheNextStart)
{
    center().scheduleLocalNotification(reminder(utc(2026, 1, 1, 13), {}, "once"));
    center().scheduleLocalNotification(
        reminder(utc(2026, 1, 1, 12, 30), LocalNotification::DayCalendarUnit, "daily"));
    center().scheduleLocalNotification(reminder(utc(2026, 1, 9), {}, "later"));
    // Without a receiver nothing is taken off the list.
    EXPECT_EQ(center().deliverDueNotifications(), 0);

    restart();
    clock = utc(2026, 1, 4, 8);
    startDelivery();
    ASSERT_TRUE(testsupport::waitUntil([&] { return delivered.size() == 2; }, 2000));
    EXPECT_EQ(delivered.at(0).userInfo.value("Row").toString(), "daily");
    EXPECT_EQ(delivered.at(1).userInfo.value("Row").toString(), "once");

    // The daily one waits for its next day; the later one is untouched.
    restart();
    const auto left = center().scheduledLocalNotifications();
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(center().nextFireDate(), utc(2026, 1, 4, 12, 30));
}

TEST_F(LocalNotificationsTest, ADamagedFileIsReadAsNoNotifications)
{
    QFile file(center().filePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{ not json");
    file.close();
    restart();
    EXPECT_TRUE(center().scheduledLocalNotifications().isEmpty());
}

} // namespace
