#pragma once

namespace platform::ui {

class ScrollView;

// What a scroll view tells its delegate; every method is optional.
class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;

    // After every change of the content offset, by the user or in code.
    virtual void scrollViewDidScroll(ScrollView*) { }
    // The user starts moving the content (drag, wheel or scroll bar).
    virtual void scrollViewWillBeginDragging(ScrollView*) { }
    // The user let go; `decelerate` tells whether the content goes on moving, in which case
    // scrollViewDidEndDecelerating follows when it stops.
    virtual void scrollViewDidEndDragging(ScrollView*, bool /*decelerate*/) { }
    virtual void scrollViewDidEndDecelerating(ScrollView*) { }
    // An animated change of the offset made in code has ended.
    virtual void scrollViewDidEndScrollingAnimation(ScrollView*) { }
};

} // namespace platform::ui
