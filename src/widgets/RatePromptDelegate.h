#pragma once

// What the rate prompt tells its delegate; every method is optional.
class RatePromptDelegate {
public:
    virtual ~RatePromptDelegate();
    virtual void ratePromptDidDisplayAlert() { }
    virtual void ratePromptDidDeclineToRate() { }
    virtual void ratePromptDidOptToRate() { }
    virtual void ratePromptDidOptToRemindLater() { }
    virtual void ratePromptWillPresentModalView(bool) { }
    virtual void ratePromptDidDismissModalView(bool) { }
};
