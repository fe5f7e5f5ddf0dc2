#pragma once

#include "platform/LocalNotification.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>

#include <optional>

class Rows;
class TemplateColumn;
class UserTemplate;

// Date reminders on rows as local notifications: one per row and reminder column (a date
// column with `reminder` set) whose row asks for one under the column's reminder key.
// The scheduled notifications, identified by their "Template", "Row" and "Column", are
// the only record; these operations keep them in line with the rows. Main thread.
class NotificationsController {
public:
    NotificationsController() = delete;

    using Columns = QList<TemplateColumn*>;
    using Password = std::optional<QString>;

    // Schedules one notification for each reminder column of the row that asks for one
    // (nothing for a null row). The caller cancels the row's earlier ones first.
    static void scheduleNotification(
        Rows* row, const Columns& columns, const Password& secret, UserTemplate* usertemplate);
    // Brings the user table's scheduled notifications in line with its rows: keeps those
    // that still match, cancels the others, schedules rows that have none.
    static void rebuildNotifications(const Columns& columns, UserTemplate* userTemplate,
        const QList<Rows*>& rows, const Password& secret);
    // Does what rebuildNotifications does for every row the store holds of the table,
    // without reading or decoding the rows on the main thread: pool threads read and
    // decode them, and the main thread applies what they found later. A write to the store
    // meanwhile makes it read again, so that a row changed or deleted in the meantime gets
    // no reminder of what it held before. `done` runs on the main thread once it is
    // applied, or given up because the table, its columns or its store went away.
    static void rebuildNotificationsInBackground(const Columns& columns, UserTemplate* userTemplate,
        const Password& secret, std::function<void()> done = {});
    // Queues the full rebuild on the main queue; a failure in it is logged.
    static void rebuildAllNotifications();
    // Rebuilds every unprotected user table of every database, then cancels the
    // notifications of user tables that no longer exist. Nothing while no store is loaded.
    static void rebuildAllNotificationsInMainThread();
    // The same, each table's rows read and decoded off the main thread as
    // rebuildNotificationsInBackground does; the notifications of tables gone are cancelled
    // at once.
    static void rebuildAllNotificationsInBackground();
    // Cancels every notification whose "Template" is not among the ids.
    static void removeInvalidNotifications(const QStringList& validUserTemplateIds);

    // After a row is saved: its notifications cancelled, then scheduled anew.
    static void rescheduleNotification(
        Rows* row, const Columns& columns, const Password& secret, UserTemplate* usertemplate);
    // After a row is deleted: its notifications cancelled.
    static void cancelNotifications(const QString& rowId);

    // rebuildNotifications for the rows of those ids, whose values (decoded already) the
    // function gives by their place among the ids.
    static void rebuildForRows(const Columns& columns, UserTemplate* userTemplate,
        const QStringList& rowIds, const std::function<const QVariantMap&(qsizetype)>& valuesOf);

    // The repeat chosen for a reminder, stored under the column's reminder key.
    static const QString RepeatNone; // "None"
    static const QString RepeatOnce; // "Once"
    static const QString RepeatDaily; // "Daily"
    static const QString RepeatWeekly; // "Weekly"
    static const QString RepeatMonthly; // "Monthly"
    static const QString RepeatYearly; // "Yearly"
    // The repeat words in the order the row form offers them.
    static const QStringList& repeatWords();
    // The repeat interval of a word; none for "Once" and for any unknown word.
    static platform::LocalNotification::CalendarUnit repeatIntervalForWord(const QString& word);

    // User-info keys.
    static const QString TemplateKey; // "Template"
    static const QString RowKey; // "Row"
    static const QString ColumnKey; // "Column"
    static const QString RepeatKey; // "Repeat"
    static const QString DateKey; // "Date"

private:
    // scheduleNotification for a row's values already decoded, for the reminder columns
    // among `columns`; the alert body from the tile columns of `allColumns` (default
    // `columns`).
    static void scheduleForValues(const QString& rowId, const QVariantMap& values,
        const Columns& columns, UserTemplate* usertemplate,
        const std::optional<Columns>& allColumns = std::nullopt);
};
