#include "platform/NotificationCenter.h"

#include "platform/Dispatch.h"

#include <algorithm>

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(const QString& name, const void* object,
                                                          Observer observer, bool onMainQueue)
{
    std::lock_guard lock(m_mutex);
    const Token token = m_next++;
    m_entries.push_back({token, name, object, std::move(observer), onMainQueue});
    return token;
}

void NotificationCenter::removeObserver(Token token)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_entries, [token](const Entry& e) { return e.token == token; });
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
    const Notification notification{name, object, userInfo};
    for (const auto& entry : targets) {
        if (entry.onMainQueue && !dispatch::isMainThread())
            dispatch::asyncMain([observer = entry.observer, notification] { observer(notification); });
        else
            entry.observer(notification);
    }
}

} // namespace platform
