#include "platform/LocalNotifications.h"

#include "platform/Date.h"
#include "platform/Folders.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTimer>
#include <QUuid>
#include <QtDebug>

#include <algorithm>

namespace platform {

const QString LocalNotifications::FileName = QStringLiteral("LocalNotifications.json");

namespace {

const QString kNotifications = QStringLiteral("notifications");
const QString kDue = QStringLiteral("due");
// The timer looks again at least this often, so a clock that jumps (a machine waking from
// sleep) delays nothing for long.
constexpr qint64 kLongestWaitMs = 60 * 1000;

} // namespace

LocalNotifications& LocalNotifications::shared()
{
    static LocalNotifications* instance = new LocalNotifications();
    return *instance;
}

LocalNotifications::LocalNotifications()
{
    if (auto* app = QCoreApplication::instance())
        moveToThread(app->thread());
}

QString LocalNotifications::filePath() const
{
    return Folders::library() + '/' + FileName;
}

QDateTime LocalNotifications::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTimeUtc();
}

void LocalNotifications::setClock(Clock clock)
{
    m_clock = std::move(clock);
    arm();
}

void LocalNotifications::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_entries.clear();
    m_path = filePath();
    QFile file(m_path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Local notifications could not be read: %s", qPrintable(file.errorString()));
        return;
    }
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qWarning("Local notifications file is damaged: %s", qPrintable(error.errorString()));
        return;
    }
    for (const QJsonValue& value : document.object().value(kNotifications).toArray()) {
        const QJsonObject object = value.toObject();
        auto notification = LocalNotification::fromJson(object);
        if (!notification)
            continue;
        const Date due = Date::fromUnixTime(object.value(kDue).toDouble());
        m_entries.push_back(
            { *notification, due.isValid() ? due.toDateTime() : notification->fireDate });
    }
}

void LocalNotifications::save()
{
    if (m_dirty)
        return;
    m_dirty = true;
    QMetaObject::invokeMethod(this, &LocalNotifications::flush, Qt::QueuedConnection);
}

void LocalNotifications::flush()
{
    if (!m_dirty)
        return;
    m_dirty = false;
    QJsonArray array;
    for (const Entry& entry : m_entries) {
        QJsonObject object = entry.notification.toJson();
        object.insert(kDue, Date(entry.due).unixTime());
        array.append(object);
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QJsonDocument(QJsonObject { { kNotifications, array } }).toJson()) < 0
        || !file.commit())
        qWarning("Local notifications could not be saved: %s", qPrintable(file.errorString()));
}

QList<LocalNotification> LocalNotifications::scheduledLocalNotifications()
{
    load();
    QList<LocalNotification> list;
    list.reserve(qsizetype(m_entries.size()));
    for (const Entry& entry : m_entries)
        list.append(entry.notification);
    return list;
}

QString LocalNotifications::scheduleLocalNotification(const LocalNotification& notification)
{
    if (!notification.fireDate.isValid())
        return {};
    load();
    LocalNotification scheduled = notification;
    scheduled.identifier = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    // One that does not repeat fires at once when its date is past; a repeating one waits
    // for its next occurrence.
    QDateTime due = scheduled.fireDate;
    if (scheduled.repeatInterval != LocalNotification::NoRepeat) {
        const QDateTime current = now();
        if (due < current)
            due = scheduled.nextOccurrenceAfter(current);
    }
    m_entries.push_back({ scheduled, due });
    save();
    arm();
    return scheduled.identifier;
}

void LocalNotifications::cancelLocalNotification(const LocalNotification& notification)
{
    load();
    const auto removed = std::erase_if(m_entries, [&](const Entry& entry) {
        return entry.notification.identifier == notification.identifier;
    });
    if (removed) {
        save();
        arm();
    }
}

void LocalNotifications::cancelAllLocalNotifications()
{
    load();
    m_entries.clear();
    save();
    arm();
}

void LocalNotifications::start(Receiver receiver)
{
    m_receiver = std::move(receiver);
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setSingleShot(true);
        connect(m_timer, &QTimer::timeout, this, [this] { deliverDueNotifications(); });
    }
    load();
    // What came due meanwhile goes out once the caller is done starting up.
    m_timer->start(0);
}

void LocalNotifications::stop()
{
    flush();
    m_receiver = nullptr;
    if (m_timer)
        m_timer->stop();
}

int LocalNotifications::deliverDueNotifications()
{
    // Nothing is taken off the list while nobody is there to receive it.
    if (!m_receiver)
        return 0;
    load();
    const QDateTime current = now();
    std::vector<Entry> due;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->due.isValid() && it->due > current) {
            ++it;
            continue;
        }
        due.push_back(*it);
        const QDateTime next = it->notification.nextOccurrenceAfter(current);
        if (next.isValid() && it->notification.repeatInterval != LocalNotification::NoRepeat) {
            it->due = next;
            ++it;
        } else {
            it = m_entries.erase(it);
        }
    }
    if (!due.empty())
        save();
    std::stable_sort(
        due.begin(), due.end(), [](const Entry& a, const Entry& b) { return a.due < b.due; });
    // The receiver may schedule and cancel: it sees the list already brought up to date.
    const Receiver receiver = m_receiver;
    for (const Entry& entry : due)
        receiver(entry.notification);
    arm();
    return int(due.size());
}

QDateTime LocalNotifications::nextFireDate()
{
    load();
    QDateTime next;
    for (const Entry& entry : m_entries) {
        if (!next.isValid() || entry.due < next)
            next = entry.due;
    }
    return next;
}

void LocalNotifications::arm()
{
    if (!m_timer || !m_receiver)
        return;
    const QDateTime next = nextFireDate();
    if (!next.isValid()) {
        m_timer->stop();
        return;
    }
    const qint64 wait = std::clamp<qint64>(now().msecsTo(next), 0, kLongestWaitMs);
    m_timer->start(int(wait));
}

void LocalNotifications::reset()
{
    stop();
    m_dirty = false;
    m_clock = nullptr;
    m_entries.clear();
    m_loaded = false;
}

} // namespace platform
