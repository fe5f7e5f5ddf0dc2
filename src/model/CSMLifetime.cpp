#include "model/CSMLifetime.h"

#include <algorithm>

CSMLifetime::CSMLifetime(CloudStoreManager* manager)
    : m_manager(manager)
{
}

bool CSMLifetime::call(const std::function<void(CloudStoreManager&)>& call)
{
    const std::thread::id caller = std::this_thread::get_id();
    {
        std::lock_guard lock(m_mutex);
        if (m_ended)
            return false;
        m_callers.push_back(caller);
    }
    // Left however the call ends, exceptions included.
    struct Leave {
        CSMLifetime& lifetime;
        std::thread::id caller;
        ~Leave()
        {
            std::lock_guard lock(lifetime.m_mutex);
            auto& callers = lifetime.m_callers;
            callers.erase(std::find(callers.begin(), callers.end(), caller));
            lifetime.m_idle.notify_all();
        }
    } leave { *this, caller };
    call(*m_manager);
    return true;
}

void CSMLifetime::end()
{
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock lock(m_mutex);
    m_ended = true;
    m_idle.wait(lock, [&] {
        return std::all_of(m_callers.cbegin(), m_callers.cend(),
            [&](const std::thread::id& caller) { return caller == self; });
    });
}

bool CSMLifetime::ended() const
{
    std::lock_guard lock(m_mutex);
    return m_ended;
}
