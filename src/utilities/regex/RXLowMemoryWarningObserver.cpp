#include "utilities/regex/RXLowMemoryWarningObserver.h"

#include "utilities/regex/RegexEngine.h"

#include "platform/Dispatch.h"

#include <atomic>

const QString RXLowMemoryWarningObserver::DidReceiveMemoryWarningNotification
    = QStringLiteral("UIApplicationDidReceiveMemoryWarningNotification");

void RXLowMemoryWarningObserver::lowMemoryWarning(const platform::Notification& notification)
{
    if (!rx_cacheSpinLock.try_lock()) {
        platform::dispatch::afterMain(
            RetryDelayMs, [notification] { lowMemoryWarning(notification); });
        return;
    }
    rx_clearCachesLocked();
    rx_cacheSpinLock.unlock();
}

void rx_registerLowMemoryObserver()
{
    static std::atomic<int> registered { 0 };
    int expected = 0;
    if (registered.load(std::memory_order_acquire) != 0
        || !registered.compare_exchange_strong(expected, 1, std::memory_order_acq_rel))
        return;
    // Kept for the life of the process.
    platform::NotificationCenter::defaultCenter().addObserver(
        RXLowMemoryWarningObserver::DidReceiveMemoryWarningNotification, nullptr,
        &RXLowMemoryWarningObserver::lowMemoryWarning);
}
