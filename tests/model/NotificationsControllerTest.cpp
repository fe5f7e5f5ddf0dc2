#include "ModelFixture.h"

#include "model/Database.h"
#include "model/NotificationsController.h"
#include "model/Rows.h"
#include "model/UserTemplate.h"
#include "platform/Date.h"
#include "platform/Dispatch.h"
#include "platform/LocalNotifications.h"
#include "utilities/store/KivoLibContext.h"

using modeltest::ModelTest;
using platform::LocalNotification;
using platform::LocalNotifications;

namespace {

const QString kRemindersDefinition = QStringLiteral("6A2F4C81-3B5D-4E97-A0C2-7D9E1F3B5A24");

// A table "Errands" of what to buy, where, and when to be reminded; the clock is the
// test's own.
struct NotificationsControllerTest : ModelTest {
    void SetUp() override
    {
        ModelTest::SetUp();
        center().setClock([this] { return clock; });
        center().start([this](const LocalNotification& n) { fired.append(n); });
        what = column(kRemindersDefinition, "What", "Text");
        due = column(kRemindersDefinition, "Due", "DateTime");
        where = column(kRemindersDefinition, "Where", "Text");
        what->setIntiles(true);
        where->setIntiles(true);
        due->setIntiles(true);
        due->setReminder(true);
        EXPECT_TRUE(what->saveTemplateColumn());
        EXPECT_TRUE(where->saveTemplateColumn());
        EXPECT_TRUE(due->saveTemplateColumn());
        columns = { what, due, where };
        database = Database::add();
        EXPECT_TRUE(database->saveDatabase());
        table = newTable("Errands");
    }

    static LocalNotifications& center() { return LocalNotifications::shared(); }

    UserTemplate* newTable(const QString& name)
    {
        UserTemplate* made = UserTemplate::add(database->id().toString());
        made->setName(name);
        made->setTemplate_id(kRemindersDefinition);
        EXPECT_TRUE(made->saveUserTemplate());
        return made;
    }

    Rows* row(const QDateTime& when, const QString& repeat, UserTemplate* in = nullptr)
    {
        Rows* made = Rows::add((in ? in : table)->id().toString());
        setValues(made, when, repeat);
        return made;
    }

    void setValues(Rows* target, const QDateTime& when, const QString& repeat)
    {
        target->updateData({ { key(what), "Buy milk" }, { key(where), "Shop" },
                               { key(due), QVariant::fromValue(platform::Date(when)) },
                               { Rows::reminderKey(key(due)), repeat } },
            columns, std::nullopt);
        EXPECT_TRUE(target->saveRows());
    }

    static QList<LocalNotification> scheduled() { return center().scheduledLocalNotifications(); }

    // Moves the clock on and delivers what is due; how many fired.
    int advanceTo(const QDateTime& moment)
    {
        clock = moment;
        fired.clear();
        center().deliverDueNotifications();
        return int(fired.size());
    }

    void rebuild(const QList<Rows*>& rows)
    {
        NotificationsController::rebuildNotifications(columns, table, rows, std::nullopt);
    }

    QDateTime clock = utc(2026, 1, 1, 12);
    QList<LocalNotification> fired;
    TemplateColumn *what = nullptr, *due = nullptr, *where = nullptr;
    QList<TemplateColumn*> columns;
    Database* database = nullptr;
    UserTemplate* table = nullptr;
};

TEST_F(NotificationsControllerTest, ARowsReminderCarriesItsIdentityTextAndDate)
{
    Rows* r = row(utc(2026, 1, 5, 9), "Weekly");
    NotificationsController::scheduleNotification(r, columns, std::nullopt, table);
    const auto list = scheduled();
    ASSERT_EQ(list.size(), 1);
    const LocalNotification& n = list.first();
    // Every tile column but the dates, then the table's name.
    EXPECT_EQ(n.alertBody, "Buy milk Shop (Errands)");
    EXPECT_EQ(n.fireDate, utc(2026, 1, 5, 9));
    EXPECT_EQ(n.applicationIconBadgeNumber, 1);
    EXPECT_EQ(n.soundName, LocalNotification::DefaultSoundName);
    EXPECT_EQ(n.repeatInterval, LocalNotification::WeekCalendarUnit);
    EXPECT_EQ(n.userInfo.value("Row").toString(), r->id().toString());
    EXPECT_EQ(n.userInfo.value("Column").toString(), key(due));
    EXPECT_EQ(n.userInfo.value("Template").toString(), table->id().toString());
    EXPECT_EQ(n.userInfo.value("Repeat").toString(), "Weekly");
    EXPECT_EQ(n.userInfo.value("Date").value<platform::Date>(), platform::Date(utc(2026, 1, 5, 9)));
}

TEST_F(NotificationsControllerTest, EachRepeatKindFiresAtItsNextDate)
{
    const QDateTime first = utc(2026, 1, 31, 9);
    const QList<std::pair<QString, QDateTime>> kinds {
        { "Daily", utc(2026, 2, 1, 9) },
        { "Weekly", utc(2026, 2, 7, 9) },
        { "Monthly", utc(2026, 2, 28, 9) },
        { "Yearly", utc(2027, 1, 31, 9) },
    };
    for (const auto& [word, next] : kinds) {
        SCOPED_TRACE(word.toStdString());
        center().cancelAllLocalNotifications();
        clock = utc(2026, 1, 1, 12);
        NotificationsController::scheduleNotification(
            row(first, word), columns, std::nullopt, table);
        EXPECT_EQ(advanceTo(first.addSecs(-1)), 0);
        EXPECT_EQ(advanceTo(first), 1);
        EXPECT_EQ(fired.value(0).alertBody, "Buy milk Shop (Errands)");
        EXPECT_EQ(advanceTo(next.addSecs(-1)), 0);
        EXPECT_EQ(advanceTo(next), 1);
        EXPECT_EQ(scheduled().size(), 1);
    }
    // Once fires at its date and is gone.
    center().cancelAllLocalNotifications();
    clock = utc(2026, 1, 1, 12);
    NotificationsController::scheduleNotification(row(first, "Once"), columns, std::nullopt, table);
    EXPECT_EQ(advanceTo(first), 1);
    EXPECT_TRUE(scheduled().isEmpty());
}

TEST_F(NotificationsControllerTest, PastOnceIsNotScheduledPastRepeatIsAndNoneOrNoDateNever)
{
    const QDateTime yesterday = clock.addDays(-1).addSecs(3600);
    NotificationsController::scheduleNotification(
        row(yesterday, "Once"), columns, std::nullopt, table);
    EXPECT_TRUE(scheduled().isEmpty());
    NotificationsController::scheduleNotification(
        row(yesterday, "None"), columns, std::nullopt, table);
    NotificationsController::scheduleNotification(
        row(QDateTime(), "Daily"), columns, std::nullopt, table);
    NotificationsController::scheduleNotification(nullptr, columns, std::nullopt, table);
    EXPECT_TRUE(scheduled().isEmpty());
    NotificationsController::scheduleNotification(
        row(yesterday, "Daily"), columns, std::nullopt, table);
    ASSERT_EQ(scheduled().size(), 1);
    EXPECT_EQ(center().nextFireDate(), yesterday.addDays(1));
    // A word of no repeat kind fires once.
    center().cancelAllLocalNotifications();
    NotificationsController::scheduleNotification(
        row(clock.addDays(1), "Fortnightly"), columns, std::nullopt, table);
    EXPECT_EQ(scheduled().value(0).repeatInterval, LocalNotification::NoRepeat);
}

TEST_F(NotificationsControllerTest, AChangedDateIsRescheduledAndAnUnchangedRowLeftAlone)
{
    Rows* r = row(utc(2026, 1, 5, 9), "Daily");
    Rows* other = row(utc(2026, 1, 6, 9), "Weekly");
    rebuild({ r, other });
    ASSERT_EQ(scheduled().size(), 2);
    const QString untouched = scheduled().value(1).identifier;

    setValues(r, utc(2026, 1, 10, 18), "Daily");
    rebuild({ r, other });
    const auto list = scheduled();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.value(0).identifier, untouched);
    EXPECT_EQ(list.value(1).fireDate, utc(2026, 1, 10, 18));
    // Nothing fires at the old date.
    EXPECT_EQ(advanceTo(utc(2026, 1, 5, 9)), 0);

    // The grid's way: cancel and schedule the saved row again.
    setValues(other, utc(2026, 1, 8, 7), "Monthly");
    NotificationsController::rescheduleNotification(other, columns, std::nullopt, table);
    const auto again = scheduled();
    ASSERT_EQ(again.size(), 2);
    EXPECT_EQ(again.value(1).fireDate, utc(2026, 1, 8, 7));
    EXPECT_EQ(again.value(1).repeatInterval, LocalNotification::MonthCalendarUnit);
}

TEST_F(NotificationsControllerTest, ARepeatChangeIsRescheduled)
{
    Rows* r = row(utc(2026, 1, 5, 9), "Weekly");
    rebuild({ r });
    setValues(r, utc(2026, 1, 5, 9), "Monthly");
    rebuild({ r });
    const auto list = scheduled();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.first().repeatInterval, LocalNotification::MonthCalendarUnit);
    EXPECT_EQ(list.first().userInfo.value("Repeat").toString(), "Monthly");
}

TEST_F(NotificationsControllerTest, ADeletedRowsReminderIsRemoved)
{
    Rows* r = row(utc(2026, 1, 5, 9), "Daily");
    Rows* kept = row(utc(2026, 1, 6, 9), "Daily");
    rebuild({ r, kept });
    ASSERT_EQ(scheduled().size(), 2);
    ASSERT_TRUE(Rows::deleteRows(r));
    rebuild({ kept });
    ASSERT_EQ(scheduled().size(), 1);
    EXPECT_EQ(scheduled().first().userInfo.value("Row").toString(), kept->id().toString());

    // The grid's way: the deleted row's notifications cancelled at once.
    NotificationsController::cancelNotifications(kept->id().toString());
    EXPECT_TRUE(scheduled().isEmpty());
}

TEST_F(NotificationsControllerTest, TurningTheReminderOffCancelsTheTablesNotifications)
{
    rebuild({ row(utc(2026, 1, 5, 9), "Daily"), row(utc(2026, 1, 6, 9), "Daily") });
    ASSERT_EQ(scheduled().size(), 2);
    due->setReminder(false);
    rebuild({});
    EXPECT_TRUE(scheduled().isEmpty());
}

TEST_F(NotificationsControllerTest, AColumnWhoseReminderWasTurnedOffLosesItsNotifications)
{
    TemplateColumn* second = column(kRemindersDefinition, "Call", "Date");
    second->setReminder(true);
    ASSERT_TRUE(second->saveTemplateColumn());
    columns.append(second);
    Rows* r = Rows::add(table->id().toString());
    r->updateData({ { key(what), "Buy milk" },
                      { key(due), QVariant::fromValue(platform::Date(utc(2026, 1, 5))) },
                      { Rows::reminderKey(key(due)), "Daily" },
                      { key(second), QVariant::fromValue(platform::Date(utc(2026, 1, 7))) },
                      { Rows::reminderKey(key(second)), "Yearly" } },
        columns, std::nullopt);
    ASSERT_TRUE(r->saveRows());
    rebuild({ r });
    ASSERT_EQ(scheduled().size(), 2);
    second->setReminder(false);
    rebuild({ r });
    ASSERT_EQ(scheduled().size(), 1);
    EXPECT_EQ(scheduled().first().userInfo.value("Column").toString(), key(due));
}

// Each row and reminder column has exactly its one notification after any rebuild.
TEST_F(NotificationsControllerTest, TwoReminderColumnsKeepOneNotificationEachThroughRebuilds)
{
    TemplateColumn* call = column(kRemindersDefinition, "Call", "Date");
    call->setReminder(true);
    ASSERT_TRUE(call->saveTemplateColumn());
    columns.append(call);
    const auto setBoth = [&](Rows* target, const QDateTime& callAt) {
        target->updateData({ { key(what), "Buy milk" },
                               { key(due), QVariant::fromValue(platform::Date(utc(2026, 1, 5))) },
                               { Rows::reminderKey(key(due)), "Daily" },
                               { key(call), QVariant::fromValue(platform::Date(callAt)) },
                               { Rows::reminderKey(key(call)), "Yearly" } },
            columns, std::nullopt);
        ASSERT_TRUE(target->saveRows());
    };
    Rows* r = Rows::add(table->id().toString());
    setBoth(r, utc(2026, 1, 7));
    Rows* other = Rows::add(table->id().toString());
    setBoth(other, utc(2026, 2, 7));
    // Row and column of each notification, with its date.
    const auto facts = [&] {
        QStringList found;
        for (const auto& n : scheduled()) {
            found << QStringLiteral("%1 %2 %3")
                         .arg(n.userInfo.value("Row").toString() == r->id().toString() ? "r"
                                                                                       : "other",
                             n.userInfo.value("Column").toString() == key(due) ? "due" : "call",
                             n.fireDate.toUTC().toString(Qt::ISODate));
        }
        found.sort();
        return found;
    };
    const QStringList first { "other call 2026-02-07T00:00:00Z", "other due 2026-01-05T00:00:00Z",
        "r call 2026-01-07T00:00:00Z", "r due 2026-01-05T00:00:00Z" };
    rebuild({ r, other });
    EXPECT_EQ(facts(), first);

    // The second reminder of one row changes: only it is scheduled again.
    setBoth(r, utc(2026, 3, 9));
    rebuild({ r, other });
    QStringList changed = first;
    changed.replace(2, "r call 2026-03-09T00:00:00Z");
    changed.sort();
    EXPECT_EQ(facts(), changed);
    rebuild({ r, other });
    EXPECT_EQ(facts(), changed);

    // Copies left by an earlier rebuild go; a reminder lost is made again.
    NotificationsController::scheduleNotification(other, columns, std::nullopt, table);
    for (const auto& n : scheduled()) {
        if (n.userInfo.value("Row").toString() == r->id().toString()
            && n.userInfo.value("Column").toString() == key(call))
            center().cancelLocalNotification(n);
    }
    ASSERT_EQ(scheduled().size(), 5);
    rebuild({ r, other });
    EXPECT_EQ(facts(), changed);

    // Off the main thread alike.
    NotificationsController::scheduleNotification(r, columns, std::nullopt, table);
    setBoth(other, utc(2026, 4, 1));
    bool applied = false;
    NotificationsController::rebuildNotificationsInBackground(
        columns, table, std::nullopt, [&applied] { applied = true; });
    ASSERT_TRUE(testsupport::waitUntil([&] { return applied; }, 5000));
    changed.replace(
        changed.indexOf("other call 2026-02-07T00:00:00Z"), "other call 2026-04-01T00:00:00Z");
    changed.sort();
    EXPECT_EQ(facts(), changed);
}

// Starts a rebuild off the main thread and waits until the pool has read the rows; true
// once it has been applied.
struct BackgroundRebuild {
    explicit BackgroundRebuild(NotificationsControllerTest& test)
    {
        NotificationsController::rebuildNotificationsInBackground(
            test.columns, test.table, std::nullopt, [this] { applied = true; });
        platform::dispatch::waitForGlobal();
    }
    bool waitApplied() const
    {
        return testsupport::waitUntil([this] { return applied; }, 5000);
    }
    bool applied = false;
};

TEST_F(NotificationsControllerTest, TheBackgroundRebuildDoesWhatTheRebuildDoes)
{
    // Out of date, missing, none asked for, and one of a row deleted since.
    Rows* r = row(utc(2026, 1, 5, 9), "Daily");
    NotificationsController::scheduleNotification(r, columns, std::nullopt, table);
    setValues(r, utc(2026, 1, 10, 18), "Monthly");
    Rows* other = row(utc(2026, 1, 6, 9), "Weekly");
    row(utc(2026, 1, 7, 9), "None");
    Rows* gone = row(utc(2026, 1, 8, 9), "Daily");
    NotificationsController::scheduleNotification(gone, columns, std::nullopt, table);
    ASSERT_TRUE(Rows::deleteRows(gone));

    BackgroundRebuild rebuild(*this);
    EXPECT_FALSE(rebuild.applied);
    ASSERT_TRUE(rebuild.waitApplied());
    QStringList found;
    for (const auto& n : scheduled()) {
        const QString rowId = n.userInfo.value("Row").toString();
        found << QStringLiteral("%1 %2 %3")
                     .arg(rowId == r->id().toString()          ? "r"
                             : rowId == other->id().toString() ? "other"
                                                               : rowId,
                         n.userInfo.value("Repeat").toString(),
                         n.fireDate.toUTC().toString(Qt::ISODate));
    }
    found.sort();
    EXPECT_EQ(found,
        QStringList({ "other Weekly 2026-01-06T09:00:00Z", "r Monthly 2026-01-10T18:00:00Z" }));
    EXPECT_EQ(scheduled().value(0).alertBody, "Buy milk Shop (Errands)");
}

TEST_F(NotificationsControllerTest, ARowChangedOrDeletedWhileTheRebuildReadsGetsNoStaleReminder)
{
    Rows* changed = row(utc(2026, 1, 5, 9), "Daily");
    Rows* deleted = row(utc(2026, 1, 6, 9), "Daily");
    const QString deletedId = deleted->id().toString();

    // The pool has read both rows as they were; then the grid saves one and deletes the
    // other, keeping their reminders in step as it does.
    BackgroundRebuild rebuild(*this);
    setValues(changed, utc(2026, 2, 1, 8), "Weekly");
    NotificationsController::rescheduleNotification(changed, columns, std::nullopt, table);
    ASSERT_TRUE(Rows::deleteRows(deleted));
    NotificationsController::cancelNotifications(deletedId);

    ASSERT_TRUE(rebuild.waitApplied());
    const auto list = scheduled();
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.first().userInfo.value("Row").toString(), changed->id().toString());
    EXPECT_EQ(list.first().fireDate, utc(2026, 2, 1, 8));
    EXPECT_EQ(list.first().repeatInterval, LocalNotification::WeekCalendarUnit);
}

TEST_F(
    NotificationsControllerTest, TheBackgroundRebuildCountsUnsavedChangesAndGivesUpWithoutItsTable)
{
    Rows* r = row(utc(2026, 1, 5, 9), "Daily");
    BackgroundRebuild rebuild(*this);
    // Changed in memory after the read, not saved: counted as it is now.
    r->updateData({ { key(what), "Buy milk" },
                      { key(due), QVariant::fromValue(platform::Date(utc(2026, 3, 1, 9))) },
                      { Rows::reminderKey(key(due)), "Yearly" } },
        columns, std::nullopt);
    ASSERT_TRUE(rebuild.waitApplied());
    ASSERT_EQ(scheduled().size(), 1);
    EXPECT_EQ(scheduled().first().fireDate, utc(2026, 3, 1, 9));
    KivoLib::currentContext()->rollback();

    // The table deleted before the result comes back: nothing is scheduled for it.
    center().cancelAllLocalNotifications();
    BackgroundRebuild orphaned(*this);
    ASSERT_TRUE(UserTemplate::deleteUserTemplate(table));
    ASSERT_TRUE(orphaned.waitApplied());
    EXPECT_TRUE(scheduled().isEmpty());
}

TEST_F(NotificationsControllerTest, TheFullRebuildDropsDeletedTablesAndLeavesProtectedOnes)
{
    UserTemplate* gone = newTable("Gone");
    UserTemplate* locked = newTable("Locked");
    NotificationsController::scheduleNotification(
        row(utc(2026, 1, 5, 9), "Daily", gone), columns, std::nullopt, gone);
    NotificationsController::scheduleNotification(
        row(utc(2026, 1, 5, 9), "Daily", locked), columns, std::nullopt, locked);
    locked->setIsprotected(true);
    ASSERT_TRUE(locked->saveUserTemplate());
    row(utc(2026, 1, 7, 9), "Yearly");
    ASSERT_TRUE(UserTemplate::deleteUserTemplate(gone));

    NotificationsController::rebuildAllNotificationsInMainThread();
    QStringList tables;
    for (const auto& n : scheduled())
        tables << n.userInfo.value("Template").toString();
    tables.sort();
    QStringList expected { locked->id().toString(), table->id().toString() };
    expected.sort();
    EXPECT_EQ(tables, expected);

    // Queued on the main queue.
    center().cancelAllLocalNotifications();
    NotificationsController::rebuildAllNotifications();
    EXPECT_TRUE(scheduled().isEmpty());
    ASSERT_TRUE(testsupport::waitUntil([] { return !scheduled().isEmpty(); }, 2000));
}

TEST_F(NotificationsControllerTest, TheFullRebuildInTheBackgroundDoesTheSame)
{
    UserTemplate* gone = newTable("Gone");
    NotificationsController::scheduleNotification(
        row(utc(2026, 1, 5, 9), "Daily", gone), columns, std::nullopt, gone);
    ASSERT_TRUE(UserTemplate::deleteUserTemplate(gone));
    row(utc(2026, 1, 7, 9), "Yearly");

    NotificationsController::rebuildAllNotificationsInBackground();
    // The deleted table's at once, the table's own once its rows are read.
    EXPECT_TRUE(scheduled().isEmpty());
    ASSERT_TRUE(testsupport::waitUntil([] { return !scheduled().isEmpty(); }, 5000));
    ASSERT_EQ(scheduled().size(), 1);
    EXPECT_EQ(scheduled().first().userInfo.value("Template").toString(), table->id().toString());
}

TEST_F(NotificationsControllerTest, WithoutAStoreTheFullRebuildCancelsNothing)
{
    NotificationsController::scheduleNotification(
        row(utc(2026, 1, 5, 9), "Daily"), columns, std::nullopt, table);
    StoreStack::instance()->dropContext();
    NotificationsController::rebuildAllNotificationsInMainThread();
    EXPECT_EQ(scheduled().size(), 1);
}

TEST_F(NotificationsControllerTest, DateTileColumnsAreLeftOutOfTheText)
{
    what->setIntiles(false);
    where->setIntiles(false);
    NotificationsController::scheduleNotification(
        row(utc(2026, 1, 5, 9), "Daily"), columns, std::nullopt, table);
    EXPECT_EQ(scheduled().value(0).alertBody, "(Errands)");
}

TEST_F(NotificationsControllerTest, InvalidTablesAreRemoved)
{
    NotificationsController::scheduleNotification(
        row(utc(2026, 1, 5, 9), "Daily"), columns, std::nullopt, table);
    NotificationsController::removeInvalidNotifications({ table->id().toString() });
    EXPECT_EQ(scheduled().size(), 1);
    NotificationsController::removeInvalidNotifications({});
    EXPECT_TRUE(scheduled().isEmpty());
}

} // namespace
