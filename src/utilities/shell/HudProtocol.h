#pragma once

// A busy overlay counted by its users: each showHud is ended by one hideHud, and the
// overlay goes when the count reaches zero. Both are optional.
class HudProtocol {
public:
    virtual ~HudProtocol() = default;
    virtual void showHud() { }
    virtual void hideHud() { }
};
