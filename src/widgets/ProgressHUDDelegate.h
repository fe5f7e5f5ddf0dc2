#pragma once

class ProgressHUD;

// What a progress overlay tells its delegate; optional.
class ProgressHUDDelegate {
public:
    virtual ~ProgressHUDDelegate() = default;
    // After each hide.
    virtual void hudWasHidden(ProgressHUD* hud);
};
