#pragma once

#include "platform/ui/AlertView.h"

// A two-button confirmation: "Cancel" (index 0) and "Ok" (index 1), localized, shown at
// once. The delegate tells the buttons apart by index and the alerts by tag. Main thread.
class AlertViewHelper {
public:
    AlertViewHelper() = delete;

    static platform::ui::AlertView* showAlertWithTitle(const QString& title, const QString& message,
        platform::ui::AlertViewDelegate* delegate, int tag);
};
