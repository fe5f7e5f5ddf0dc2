#pragma once

#include <exception>
#include <functional>
#include <stdexcept>

namespace platform::ui {

// Exceptions never cross the Qt event loop. Every entry from the loop into the system's
// code (actions, life-cycle calls, cells, gestures, timers) runs through guarded(), which
// hands whatever it catches to the installed presenter. The foundation installs the
// presenter that shows the exception in an alert; without one it is logged.
using ExceptionPresenter = std::function<void(const std::exception&)>;

void setExceptionPresenter(ExceptionPresenter presenter);
void presentException(const std::exception& exception);

// Runs the callable; true when it returned normally, false when it threw (and the
// exception was presented).
template<class Callable> bool guarded(Callable&& callable)
{
    try {
        callable();
        return true;
    } catch (const std::exception& exception) {
        presentException(exception);
    } catch (...) {
        presentException(std::runtime_error("Unknown exception"));
    }
    return false;
}

} // namespace platform::ui
