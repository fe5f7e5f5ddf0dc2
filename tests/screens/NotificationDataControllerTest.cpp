#include "ScreensFixture.h"

#include "model/NotificationsController.h"
#include "platform/Date.h"
#include "platform/LocalNotifications.h"
#include "reports/NotificationReportDataSource.h"
#include "screens/NotificationDataController.h"

using platform::LocalNotification;
using platform::LocalNotifications;
using screenstest::FakeAppScreen;

namespace {

// The reminders screen over notifications scheduled by hand, on the test's clock.
struct RemindersScreen : screenstest::ScreensTest {
    void SetUp() override
    {
        ScreensTest::SetUp();
        center().setClock([this] { return now; });
    }

    static LocalNotifications& center() { return LocalNotifications::shared(); }

    void schedule(const QString& body, const QDateTime& at,
        LocalNotification::CalendarUnit repeat = LocalNotification::NoRepeat)
    {
        LocalNotification notification;
        notification.alertBody = body;
        notification.fireDate = at;
        notification.timeZone = "UTC";
        notification.repeatInterval = repeat;
        ASSERT_FALSE(center().scheduleLocalNotification(notification).isEmpty());
    }

    QStringList shownTexts(NotificationDataController& controller)
    {
        QStringList texts;
        for (qint64 i = 0; i < controller.count(); ++i)
            texts << controller.getTilesRows(i).join(" | ");
        return texts;
    }

    QDateTime now = utc(2026, 3, 10, 12);
};

} // namespace

TEST_F(RemindersScreen, ListsWhatIsStillToComeByItsNextDate)
{
    // Scheduled in another order than they come.
    schedule("Passed once", utc(2026, 3, 9, 8));
    schedule("Yearly", utc(2020, 5, 1, 9), LocalNotification::YearCalendarUnit);
    schedule("Daily", utc(2025, 1, 1, 7), LocalNotification::DayCalendarUnit);
    schedule("Monthly on the 31st", utc(2026, 1, 31, 9), LocalNotification::MonthCalendarUnit);
    schedule("Weekly", utc(2026, 3, 3, 12), LocalNotification::WeekCalendarUnit);
    // Due at the same moment as the weekly one: listed after it, in the order scheduled.
    schedule("Right now", now);
    schedule("Later once", utc(2026, 4, 1, 10));

    FakeAppScreen* screen = open<NotificationDataController>("Reminders");
    auto controller = controllerOf<NotificationDataController>(screen);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(shownTexts(*controller),
        QStringList({ "Weekly | Mar 10, 2026, 12:00\u202fPM",
            "Right now | Mar 10, 2026, 12:00\u202fPM", "Daily | Mar 11, 2026, 7:00\u202fAM",
            "Monthly on the 31st | Mar 31, 2026, 9:00\u202fAM",
            "Later once | Apr 1, 2026, 10:00\u202fAM", "Yearly | May 1, 2026, 9:00\u202fAM" }));
    EXPECT_EQ(controller->getGridData(0)->Image, "reminder");
    EXPECT_EQ(controller->NoOfTilesRows(), 2);
    EXPECT_EQ(controller->columnValues(2), controller->getTilesRows(2));

    // A minute on, the one-off of that moment has gone and the weekly one is a week on.
    now = now.addSecs(60);
    screen->refreshView();
    EXPECT_EQ(controller->count(), 5);
    EXPECT_EQ(controller->getRowData(4).toMap().value("Date").toDateTime(), utc(2026, 5, 1, 9));
    EXPECT_TRUE(shownTexts(*controller).contains("Weekly | Mar 17, 2026, 12:00\u202fPM"));
}

TEST_F(RemindersScreen, TheReminderColumnIsAsWideAsItsLongestTextBetweenFiftyAndSeventyFive)
{
    FakeAppScreen* screen = open<NotificationDataController>("Reminders");
    auto controller = controllerOf<NotificationDataController>(screen);
    EXPECT_EQ(controller->columnHeaders(), QStringList({ "Reminder", "Date" }));
    EXPECT_EQ(controller->columnWidths(),
        QList<double>({ TemplateColumn::widthForLenght(50), TemplateColumn::widthForLenght(20) }));

    schedule(QString(120, u'r'), utc(2026, 4, 1));
    screen->refreshView();
    EXPECT_EQ(controller->columnWidths().first(), TemplateColumn::widthForLenght(75));
    schedule(QString(10, u's'), utc(2026, 4, 2));
    center().cancelLocalNotification(center().scheduledLocalNotifications().first());
    screen->refreshView();
    EXPECT_EQ(controller->columnWidths().first(), TemplateColumn::widthForLenght(10));
}

TEST_F(RemindersScreen, SearchFindsTheTextAndTheDateAsShown)
{
    schedule("Call the dentist", utc(2026, 4, 2, 9));
    schedule("Pay rent", utc(2026, 5, 1, 9));
    FakeAppScreen* screen = open<NotificationDataController>("Reminders");
    auto controller = controllerOf<NotificationDataController>(screen);
    controller->searchData("DENTIST");
    EXPECT_EQ(shownTexts(*controller).size(), 1);
    controller->searchData("May 1");
    ASSERT_EQ(controller->count(), 1);
    EXPECT_EQ(controller->getTilesRows(0).first(), "Pay rent");
    controller->searchData("2026");
    EXPECT_EQ(controller->count(), 2);
}

TEST_F(RemindersScreen, TheReportSourceKeepsTheDateRawAndShowsItFormatted)
{
    schedule("Pay rent", utc(2026, 5, 1, 9));
    schedule("Call", utc(2026, 4, 2, 9));
    FakeAppScreen* screen = open<NotificationDataController>("Reminders");
    auto controller = controllerOf<NotificationDataController>(screen);
    NotificationReportDataSource source(controller.get());
    EXPECT_EQ(source.reportColumns().keyEnumerator(), QStringList({ "Reminder", "Date" }));
    EXPECT_EQ(source.reportColumnWidths(), controller->columnWidths());
    EXPECT_EQ(source.reportRowsCount(), 2u);
    EXPECT_EQ(source.reportRow(0).value("Date").toDateTime(), utc(2026, 4, 2, 9));
    EXPECT_EQ(source.reportRowFormatted(1),
        QVariantMap({ { "Reminder", "Pay rent" }, { "Date", "May 1, 2026, 9:00\u202fAM" } }));
    // The search's rows are the report's.
    controller->searchData("Pay");
    EXPECT_EQ(source.reportRowsCount(), 1u);
    EXPECT_TRUE(source.reportRow(5).isEmpty());
}

TEST_F(RemindersScreen, AReminderNeverCarriesAProtectedValue)
{
    Template* definition = addDefinition("Accounts");
    const QString definitionId = definition->id().toString();
    TemplateColumn* name = addColumn(definitionId, "Site", "Text");
    TemplateColumn* secret = addColumn(definitionId, "PIN", "Protected");
    TemplateColumn* due = addColumn(definitionId, "Renew", "Date");
    due->setReminder(true);
    ASSERT_TRUE(due->saveTemplateColumn());
    Database* database = addDatabase("Home");
    UserTemplate* table = addTable(database->id().toString(), definitionId, "Logins");
    const Rows::Columns columns { name, secret, due };
    Rows* row = addRow(table->id().toString(),
        { { name->id().toString(), "Bank" }, { secret->id().toString(), "4711" },
            { due->id().toString(), QVariant::fromValue(platform::Date(utc(2026, 6, 1))) },
            { Rows::reminderKey(due->id().toString()), "Once" } },
        columns);
    NotificationsController::scheduleNotification(row, columns, std::nullopt, table);

    FakeAppScreen* screen = open<NotificationDataController>("Reminders");
    auto controller = controllerOf<NotificationDataController>(screen);
    ASSERT_EQ(controller->count(), 1);
    EXPECT_EQ(controller->getTilesRows(0).first(), "Bank (Logins)");
    for (const LocalNotification& notification : center().scheduledLocalNotifications())
        EXPECT_FALSE(notification.alertBody.contains("4711"));
}
