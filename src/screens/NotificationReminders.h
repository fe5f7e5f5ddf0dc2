#pragma once

#include "screens/ReminderScheduler.h"

// The reminders as the application keeps them: local notifications scheduled and
// cancelled through the model's notifications controller.
class NotificationReminders : public ReminderScheduler {
public:
    void scheduleNotification(Rows* row, const Rows::Columns& columns, const Rows::Password& secret,
        UserTemplate* table) override;
    void deleteNotifications(const QString& rowId) override;
    // Reads and decodes the rows off the main thread.
    void rebuildNotifications(
        const Rows::Columns& columns, UserTemplate* table, const Rows::Password& secret) override;
    void rebuildNotificationsNow(
        const Rows::Columns& columns, UserTemplate* table, const Rows::Password& secret) override;
    void rebuildAllNotifications() override;
};
