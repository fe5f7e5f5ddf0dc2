#include "platform/ui/Guard.h"

#include "platform/Dispatch.h"

#include <QtGlobal>

#include <mutex>

namespace platform::ui {

namespace {
std::mutex g_mutex;
ExceptionPresenter& presenter()
{
    static ExceptionPresenter instance;
    return instance;
}
} // namespace

void setExceptionPresenter(ExceptionPresenter newPresenter)
{
    {
        std::lock_guard lock(g_mutex);
        presenter() = std::move(newPresenter);
    }
    // Main-queue blocks are entries from the loop too.
    dispatch::setMainQueueExceptionHandler(
        [](const std::exception& exception) { presentException(exception); });
}

void presentException(const std::exception& exception)
{
    ExceptionPresenter current;
    {
        std::lock_guard lock(g_mutex);
        current = presenter();
    }
    if (current) {
        // A presenter that fails must not bring down the loop either.
        try {
            current(exception);
            return;
        } catch (...) {
        }
    }
    qWarning("Unhandled exception: %s", exception.what());
}

} // namespace platform::ui
