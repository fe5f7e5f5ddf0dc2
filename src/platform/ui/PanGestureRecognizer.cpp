#include "platform/ui/PanGestureRecognizer.h"

#include <QLineF>

namespace platform::ui {

PanGestureRecognizer::PanGestureRecognizer(Action action, QObject* parent)
    : GestureRecognizer(std::move(action), parent)
{
}

QPointF PanGestureRecognizer::translationInView(const QWidget*) const
{
    if (!numberOfTouches() && state() == State::Possible)
        return QPointF();
    return lastTouch().location - m_origin;
}

void PanGestureRecognizer::setTranslation(const QPointF& translation, const QWidget*)
{
    m_origin = lastTouch().location - translation;
}

QPointF PanGestureRecognizer::velocityInView(const QWidget*) const
{
    return m_velocity;
}

void PanGestureRecognizer::touchesBegan(const Touch& touch)
{
    m_origin = touch.location;
    m_previous = touch;
    m_velocity = QPointF();
}

void PanGestureRecognizer::touchesMoved(const Touch& touch)
{
    if (touch.timestamp > m_previous.timestamp)
        m_velocity = (touch.location - m_previous.location) * 1000.0
            / double(touch.timestamp - m_previous.timestamp);
    m_previous = touch;
    if (state() == State::Possible) {
        if (QLineF(firstTouch().location, touch.location).length() >= Hysteresis)
            setState(State::Began);
        return;
    }
    if (state() == State::Began || state() == State::Changed)
        setState(State::Changed);
}

void PanGestureRecognizer::touchesEnded(const Touch&)
{
    if (state() == State::Began || state() == State::Changed)
        setState(State::Ended);
    else
        setState(State::Failed);
}

void PanGestureRecognizer::reset()
{
    m_velocity = QPointF();
}

} // namespace platform::ui
