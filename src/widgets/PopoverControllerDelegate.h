#pragma once

class PopoverController;

// What a popover tells its delegate; every call is optional.
class PopoverControllerDelegate {
public:
    virtual ~PopoverControllerDelegate() = default;
    // After the popover has left the screen.
    virtual void popoverControllerDidDismissPopover(PopoverController* controller);
    // Another popover has been presented while this one is up; this one stays unless
    // the delegate closes it.
    virtual void presentedNewPopoverController(
        PopoverController* newController, PopoverController* shouldDismissVisiblePopover);
    // The Close button was pressed; the popover closes next.
    virtual void closebuttonClicked(PopoverController* controller);
};
