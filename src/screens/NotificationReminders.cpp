#include "screens/NotificationReminders.h"

#include "model/NotificationsController.h"
#include "model/UserTemplate.h"

void NotificationReminders::scheduleNotification(
    Rows* row, const Rows::Columns& columns, const Rows::Password& secret, UserTemplate* table)
{
    NotificationsController::scheduleNotification(row, columns, secret, table);
}

void NotificationReminders::deleteNotifications(const QString& rowId)
{
    NotificationsController::cancelNotifications(rowId);
}

void NotificationReminders::rebuildNotifications(
    const Rows::Columns& columns, UserTemplate* table, const Rows::Password& secret)
{
    NotificationsController::rebuildNotificationsInBackground(columns, table, secret);
}

void NotificationReminders::rebuildNotificationsNow(
    const Rows::Columns& columns, UserTemplate* table, const Rows::Password& secret)
{
    if (table)
        NotificationsController::rebuildNotifications(
            columns, table, Rows::getRowFaults(table->id().toString()), secret);
}

void NotificationReminders::rebuildAllNotifications()
{
    // Home already runs it on a later turn of the main queue, where the store lives; the
    // rows are read and decoded off it.
    NotificationsController::rebuildAllNotificationsInBackground();
}
