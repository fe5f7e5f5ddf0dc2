#pragma once

#include "platform/LocalNotification.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QTimer;

namespace platform {

// The local-notification service of the application: scheduled notifications are kept
// in Library/"LocalNotifications.json" (written to a temporary name and renamed into
// place), so they outlive the process. While delivery runs, a timer hands each one to the
// receiver as it comes due, and a repeating one is then kept for its next occurrence; one
// that came due while the application was not running is handed over when delivery
// starts. The clock can be replaced, so nothing needs to wait for real time to pass.
// Used on the main thread.
class LocalNotifications : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    using Receiver = std::function<void(const LocalNotification&)>;

    static LocalNotifications& shared();

    // The scheduled notifications, in the order they were scheduled.
    QList<LocalNotification> scheduledLocalNotifications();
    // Schedules a copy with a new identifier, which it returns; nothing, and an empty
    // text, for a notification without a fire date.
    QString scheduleLocalNotification(const LocalNotification& notification);
    // Cancels the scheduled notification with the identifier of the one given.
    void cancelLocalNotification(const LocalNotification& notification);
    void cancelAllLocalNotifications();

    // Starts handing notifications to the receiver: at once those already due (they came
    // due while the application was not running), then each as it comes due.
    void start(Receiver receiver);
    void stop();
    bool isRunning() const { return bool(m_receiver); }
    // Hands every notification due by the clock to the receiver, earliest first; how many.
    // The timer calls it; tests call it after moving their clock on.
    int deliverDueNotifications();
    // When the next scheduled notification comes due; invalid when none is scheduled.
    QDateTime nextFireDate();

    // Writes what changed to the file now. Changes made one after another (a rebuild of
    // many rows) are written together once control returns to the event loop, and at the
    // latest when delivery stops.
    void flush();

    QDateTime now() const;
    // An empty clock is the system's.
    void setClock(Clock clock);
    QString filePath() const;
    // Writes what changed, then forgets everything held in memory (the file stays), stops
    // delivery and restores the system clock: the next use reads the file of the current
    // application home.
    void reset();

    static const QString FileName; // "LocalNotifications.json"

private:
    struct Entry {
        LocalNotification notification;
        QDateTime due; // the next time it fires
    };

    LocalNotifications();
    void load();
    void save();
    void arm();

    bool m_loaded = false;
    bool m_dirty = false;
    QString m_path; // the file read, written back to the same place
    std::vector<Entry> m_entries;
    Clock m_clock;
    Receiver m_receiver;
    QTimer* m_timer = nullptr;
};

} // namespace platform
