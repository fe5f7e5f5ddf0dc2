#pragma once

namespace platform::ui {

class View;

// Where popovers and light popups show: they add a full-size view of their own to the
// first subview of the application's first window (the root controller's view) rather
// than presenting modally. Alerts and sheets live in the window's overlay level above
// that view, so they stay on top of any popover.
namespace PopoverHost {

// True once the application has its window.
bool hasWindow();
// The first subview of the application's first window; null without a window or
// without a root controller.
View* firstSubview();

} // namespace PopoverHost

} // namespace platform::ui
