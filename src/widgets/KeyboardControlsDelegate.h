#pragma once

class KeyboardControls;

namespace platform::ui {
class View;
}

// What the keyboard controls tell their delegate; both calls are optional.
class KeyboardControlsDelegate {
public:
    virtual ~KeyboardControlsDelegate() = default;
    // Direction 0 is previous, 1 next; the input has just become active.
    virtual void keyboardControlsPreviousNextPressed(
        KeyboardControls* controls, int direction, platform::ui::View* activeTextField);
    virtual void keyboardControlsDonePressed(KeyboardControls* controls);
};
