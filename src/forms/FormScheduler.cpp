#include "forms/FormScheduler.h"

#include "platform/Dispatch.h"

#include <mutex>

namespace {

std::mutex& schedulerMutex()
{
    static std::mutex mutex;
    return mutex;
}

FormScheduler::Scheduler& currentScheduler()
{
    static FormScheduler::Scheduler scheduler;
    return scheduler;
}

} // namespace

void FormScheduler::after(int milliseconds, Block block)
{
    Scheduler scheduler;
    {
        std::lock_guard lock(schedulerMutex());
        scheduler = currentScheduler();
    }
    if (scheduler)
        scheduler(milliseconds, std::move(block));
    else
        platform::dispatch::afterMain(milliseconds, std::move(block));
}

void FormScheduler::setScheduler(Scheduler scheduler)
{
    std::lock_guard lock(schedulerMutex());
    currentScheduler() = std::move(scheduler);
}
