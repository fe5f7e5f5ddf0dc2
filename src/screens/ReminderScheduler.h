#pragma once

#include "model/Rows.h"

#include <QList>
#include <QString>

class UserTemplate;

// The reminders of user-table rows as the screens keep them in step: after a row is
// saved or deleted, when a protected table is opened, and the full rebuild the settings
// ask for. The application installs the one implementation (ApplicationState); without
// one, no reminder changes.
class ReminderScheduler {
public:
    virtual ~ReminderScheduler();

    // Schedules the row's reminders (one per reminder column).
    virtual void scheduleNotification(
        Rows* row, const Rows::Columns& columns, const Rows::Password& secret, UserTemplate* table)
        = 0;
    // Cancels every reminder of the row.
    virtual void deleteNotifications(const QString& rowId) = 0;
    // Schedules the reminders of every row of the table afresh.
    virtual void rebuildNotifications(
        const Rows::Columns& columns, UserTemplate* table, const Rows::Password& secret)
        = 0;
    // The same before it returns, every row read and decoded on the main thread; what the
    // rebuild raises is raised to the caller.
    virtual void rebuildNotificationsNow(
        const Rows::Columns& columns, UserTemplate* table, const Rows::Password& secret)
        = 0;
    // Rebuilds the reminders of every table.
    virtual void rebuildAllNotifications() = 0;
};
