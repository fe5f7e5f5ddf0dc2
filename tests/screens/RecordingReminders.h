#pragma once

#include "model/UserTemplate.h"
#include "screens/ReminderScheduler.h"

#include <QStringList>

namespace screenstest {

// Writes down what the screens asked of the reminders.
class RecordingReminders : public ReminderScheduler {
public:
    void scheduleNotification(
        Rows* row, const Rows::Columns&, const Rows::Password& secret, UserTemplate*) override
    {
        calls << "schedule:" + row->id().toString();
        secrets << secret;
    }
    void deleteNotifications(const QString& rowId) override { calls << "delete:" + rowId; }
    void rebuildNotifications(
        const Rows::Columns&, UserTemplate* table, const Rows::Password& secret) override
    {
        calls << "rebuild:" + table->id().toString();
        secrets << secret;
    }
    void rebuildNotificationsNow(
        const Rows::Columns&, UserTemplate* table, const Rows::Password& secret) override
    {
        calls << "rebuildNow:" + table->id().toString();
        secrets << secret;
    }
    void rebuildAllNotifications() override { calls << "rebuildAll"; }

    QStringList calls;
    QList<Rows::Password> secrets;
};

} // namespace screenstest
