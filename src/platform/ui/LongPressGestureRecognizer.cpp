#include "platform/ui/LongPressGestureRecognizer.h"

#include <QLineF>

namespace platform::ui {

LongPressGestureRecognizer::LongPressGestureRecognizer(Action action, QObject* parent)
    : GestureRecognizer(std::move(action), parent)
{
}

void LongPressGestureRecognizer::touchesBegan(const Touch&)
{
    scheduleTimer(m_duration, [this] {
        if (state() == State::Possible)
            setState(State::Began);
    });
}

void LongPressGestureRecognizer::touchesMoved(const Touch& touch)
{
    if (state() == State::Possible) {
        const double held = double(touch.timestamp - firstTouch().timestamp) / 1000.0;
        if (touch.timestamp >= firstTouch().timestamp && held >= m_duration) {
            // Held long enough by the time of this move: it begins here, at this place.
            cancelTimer();
            setState(State::Began);
            return;
        } else {
            if (QLineF(firstTouch().location, touch.location).length() > m_allowable)
                setState(State::Failed);
            return;
        }
    }
    if (state() == State::Began || state() == State::Changed)
        setState(State::Changed);
}

void LongPressGestureRecognizer::touchesEnded(const Touch& touch)
{
    cancelTimer();
    if (state() == State::Possible) {
        const double held = double(touch.timestamp - firstTouch().timestamp) / 1000.0;
        if (touch.timestamp < firstTouch().timestamp || held < m_duration
            || QLineF(firstTouch().location, touch.location).length() > m_allowable) {
            setState(State::Failed);
            return;
        }
        setState(State::Began);
    }
    if (state() == State::Began || state() == State::Changed)
        setState(State::Ended);
}

} // namespace platform::ui
