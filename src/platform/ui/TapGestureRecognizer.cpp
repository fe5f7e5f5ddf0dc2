#include "platform/ui/TapGestureRecognizer.h"

#include <QLineF>

namespace platform::ui {

TapGestureRecognizer::TapGestureRecognizer(Action action, QObject* parent)
    : GestureRecognizer(std::move(action), parent)
{
}

void TapGestureRecognizer::touchesMoved(const Touch& touch)
{
    if (QLineF(firstTouch().location, touch.location).length() > AllowableMovement)
        setState(State::Failed);
}

void TapGestureRecognizer::touchesEnded(const Touch& touch)
{
    if (QLineF(firstTouch().location, touch.location).length() > AllowableMovement)
        setState(State::Failed);
    else
        setState(Recognized);
}

} // namespace platform::ui
