#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CloudStoreManager;

// How the store manager's jobs and watchers on other threads reach it without owning it.
// A job that held the manager itself would, when its owner let go meanwhile, destroy it on
// the job's thread after the owner (and the delegate the owner keeps) had gone. With this,
// the manager goes when its owner lets go: its destruction turns later calls away and waits
// for those under way.
class CSMLifetime {
public:
    explicit CSMLifetime(CloudStoreManager* manager);
    CSMLifetime(const CSMLifetime&) = delete;
    CSMLifetime& operator=(const CSMLifetime&) = delete;

    // Runs the call with the manager unless it is going; false when the call did not run.
    bool call(const std::function<void(CloudStoreManager&)>& call);
    // Turns later calls away and waits for those under way on other threads (one under way
    // on this thread is the caller's own and cannot be waited for).
    void end();
    bool ended() const;

private:
    CloudStoreManager* const m_manager;
    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    bool m_ended = false;
    std::vector<std::thread::id> m_callers;
};
