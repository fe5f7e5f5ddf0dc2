#pragma once

#include "platform/NotificationCenter.h"

#include <QString>

// Empties the regular-expression caches when the system says memory is low.
class RXLowMemoryWarningObserver {
public:
    RXLowMemoryWarningObserver() = delete;

    // Never waits for the caches' lock: when it is busy the warning is handled again
    // 0.1 seconds later on the main queue.
    static void lowMemoryWarning(const platform::Notification& notification);

    // The notification observed, posted when memory runs low.
    static const QString DidReceiveMemoryWarningNotification;
    static constexpr int RetryDelayMs = 100;
};
