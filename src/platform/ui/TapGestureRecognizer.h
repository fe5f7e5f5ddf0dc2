#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace platform::ui {

// A tap: a press and a release close to where it started. It fails when the touch moves
// further than the allowable movement.
class TapGestureRecognizer : public GestureRecognizer {
    Q_OBJECT
public:
    explicit TapGestureRecognizer(Action action = {}, QObject* parent = nullptr);

    static constexpr double AllowableMovement = 10.0;

protected:
    void touchesMoved(const Touch& touch) override;
    void touchesEnded(const Touch& touch) override;
};

} // namespace platform::ui
