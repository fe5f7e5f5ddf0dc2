#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace platform::ui {

// A long press: the touch stays down, within the allowable movement, for the minimum
// duration; then it begins, changes with every move and ends at the release. The time is
// measured by a timer while the mouse rests, and by the events' times when it moves.
class LongPressGestureRecognizer : public GestureRecognizer {
    Q_OBJECT
public:
    explicit LongPressGestureRecognizer(Action action = {}, QObject* parent = nullptr);

    double minimumPressDuration() const { return m_duration; }
    void setMinimumPressDuration(double seconds) { m_duration = seconds; }
    double allowableMovement() const { return m_allowable; }
    void setAllowableMovement(double points) { m_allowable = points; }

protected:
    void touchesBegan(const Touch& touch) override;
    void touchesMoved(const Touch& touch) override;
    void touchesEnded(const Touch& touch) override;
    bool isContinuous() const override { return true; }

private:
    double m_duration = 0.5;
    double m_allowable = 10.0;
};

} // namespace platform::ui
