#include "platform/NotificationCenter.h"

#include "platform/Dispatch.h"

#include <algorithm>

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(
    const QString& name, const void* object, Observer observer, bool onMainQueue)
{
    std::lock_guard lock(m_mutex);
    const Token token = m_next++;
    m_entries.push_back({ token, name, object, std::move(observer), onMainQueue,
        std::make_shared<std::atomic<bool>>(true) });
    return token;
}

void NotificationCenter::removeObserver(Token token)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [token](const Entry& e) {
        if (e.token != token)
            return false;
        e.alive->store(false);
        return true;
    });
}

void NotificationCenter::post(const QString& name, const void* object, const QVariantMap& userInfo)
{
    // Observers run outside the lock: they may add or remove observers themselves.
    std::vector<Entry> targets;
    {
        std::lock_guard lock(m_mutex);
        for (const auto& entry : m_entries) {
            if ((entry.name.isEmpty() || entry.name == name)
                && (!entry.object || entry.object == object))
                targets.push_back(entry);
        }
    }
    const Notification notification { name, object, userInfo };
    for (const auto& entry : targets) {
        // An earlier observer of this post may have removed a later one.
        if (!entry.alive->load())
            continue;
        if (entry.onMainQueue && !dispatch::isMainThread())
            dispatch::asyncMain([observer = entry.observer, alive = entry.alive, notification] {
                if (alive->load())
                    observer(notification);
            });
        else
            entry.observer(notification);
    }
}

} // namespace platform
