#include "platform/ui/SwipeGestureRecognizer.h"

#include <cmath>

namespace platform::ui {

SwipeGestureRecognizer::SwipeGestureRecognizer(Action action, QObject* parent)
    : GestureRecognizer(std::move(action), parent)
{
}

unsigned SwipeGestureRecognizer::directionOf(const QPointF& movement) const
{
    const double dx = movement.x();
    const double dy = movement.y();
    if (std::abs(dx) >= std::abs(dy))
        return dx >= 0 ? Right : Left;
    return dy >= 0 ? Down : Up;
}

void SwipeGestureRecognizer::touchesMoved(const Touch& touch)
{
    if (state() != State::Possible)
        return;
    const QPointF movement = touch.location - firstTouch().location;
    const unsigned dir = directionOf(movement);
    const bool horizontal = dir == Left || dir == Right;
    const double along = std::abs(horizontal ? movement.x() : movement.y());
    const double across = std::abs(horizontal ? movement.y() : movement.x());
    const double seconds = double(touch.timestamp - firstTouch().timestamp) / 1000.0;
    if (across > MaximumDeviation) {
        setState(State::Failed);
        return;
    }
    if (along < MinimumDistance) {
        // Heading the wrong way, or too slow to still make it in time.
        if (along > MaximumDeviation && !(m_direction & dir))
            setState(State::Failed);
        else if (seconds > MaximumDuration)
            setState(State::Failed);
        return;
    }
    if (!(m_direction & dir) || seconds > MaximumDuration) {
        setState(State::Failed);
        return;
    }
    m_recognized = dir;
    setState(Recognized);
}

void SwipeGestureRecognizer::touchesEnded(const Touch& touch)
{
    touchesMoved(touch);
    if (state() == State::Possible)
        setState(State::Failed);
}

bool SwipeGestureRecognizer::wheelScrolled(
    const QPointF& delta, Qt::ScrollPhase phase, quint64 timestamp)
{
    if (phase == Qt::ScrollMomentum)
        return m_scrollUsed;
    // A new scroll: it began, or the last one paused long enough.
    const bool fresh = phase == Qt::ScrollBegin
        || (phase == Qt::NoScrollPhase
            && (m_lastScroll == 0 || timestamp < m_lastScroll
                || double(timestamp - m_lastScroll) / 1000.0 > ScrollPause));
    m_lastScroll = timestamp;
    if (fresh) {
        m_scrolled = QPointF();
        m_scrollDone = false;
        m_scrollUsed = false;
    }
    if (phase == Qt::ScrollEnd) {
        const bool used = m_scrollUsed;
        m_scrolled = QPointF();
        m_scrollDone = false;
        m_scrollUsed = false;
        m_lastScroll = 0;
        return used;
    }
    if (m_scrollDone)
        return m_scrollUsed;
    m_scrolled += delta;
    const double dx = m_scrolled.x();
    const double dy = m_scrolled.y();
    if (std::abs(dy) >= MaximumDeviation && std::abs(dy) > std::abs(dx)) {
        m_scrollDone = true; // a vertical scroll: not a swipe
        return false;
    }
    if (std::abs(dx) < MinimumScrollDistance || std::abs(dx) < 2 * std::abs(dy))
        return false;
    m_scrollDone = true;
    const unsigned dir = dx > 0 ? Right : Left;
    if (!(m_direction & dir))
        return false;
    m_recognized = dir;
    setState(Recognized);
    m_scrollUsed = state() == Recognized;
    return m_scrollUsed;
}

} // namespace platform::ui
