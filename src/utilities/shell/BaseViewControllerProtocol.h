#pragma once

// What the layers below the grid framework call on its base screen: reload, busy
// overlay, background and bars. The grid's base screen implements it; callers find it on
// a view controller with dynamic_cast.
class BaseViewControllerProtocol {
public:
    virtual ~BaseViewControllerProtocol() = default;
    // Marks the screen for a full reload of its data and redraws it.
    virtual void refreshView() = 0;
    // Ends one busy period of the screen's overlay.
    virtual void hideHud() = 0;
    // The screen's background (and its grid's) from the current style's BackColor.
    virtual void setBackGround() = 0;
    // Rebuilds the screen's bottom toolbar with buttons made anew from the current style,
    // and shows or hides the navigation controller's toolbar.
    virtual void ShowToolBar() = 0;
    // Rebuilds the right-hand items of the navigation item when the screen has a top bar.
    virtual void showTopBar() = 0;
};
