#pragma once

class SimplePopupViewController;

// What a simple popup tells its delegate; optional.
class SimplePopoverControllerDelegate {
public:
    virtual ~SimplePopoverControllerDelegate() = default;
    // After the popup has left the screen.
    virtual void SimplePopoverControllerDidDismissPopover(SimplePopupViewController* controller);
};
