#pragma once

#include <QString>
#include <QVariantMap>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

struct Notification {
    QString name;
    const void* object = nullptr; // the sender, compared by identity only
    QVariantMap userInfo;
};

// Named notifications from any thread to observers registered by name and, optionally,
// by sender. Observers run on the posting thread unless they asked for the main queue.
class NotificationCenter {
public:
    using Token = quint64;
    using Observer = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // An empty name observes every notification; a null object observes every sender.
    // Once removeObserver has returned, the observer is not called again, not even for a
    // notification already posted (or queued for the main queue) before the removal.
    Token addObserver(
        const QString& name, const void* object, Observer observer, bool onMainQueue = false);
    void removeObserver(Token token);
    void post(const QString& name, const void* object = nullptr, const QVariantMap& userInfo = {});

private:
    struct Entry {
        Token token;
        QString name;
        const void* object;
        Observer observer;
        bool onMainQueue;
        // Cleared on removal; a delivery in flight checks it before calling.
        std::shared_ptr<std::atomic<bool>> alive;
    };
    std::mutex m_mutex;
    std::vector<Entry> m_entries;
    Token m_next = 1;
};

} // namespace platform
