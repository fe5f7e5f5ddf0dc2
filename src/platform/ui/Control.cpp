#include "platform/ui/Control.h"

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Guard.h"

#include <QMouseEvent>
#include <QPointer>

namespace platform::ui {

Control::Control(QWidget* parent)
    : View(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

Control::Control(const QRectF& frame, QWidget* parent)
    : Control(parent)
{
    setFrame(frame);
}

void Control::addTarget(Action action, unsigned events)
{
    if (action && events)
        m_targets.push_back(Target { std::move(action), events });
}

void Control::sendActionsForControlEvents(unsigned events)
{
    // The action may delete this control; copy what is needed first.
    const auto targets = m_targets;
    QPointer<Control> self(this);
    for (const auto& target : targets) {
        if (!self)
            return;
        if (target.events & events)
            guarded([&] { target.action(this); });
    }
}

void Control::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    update();
}

void Control::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

unsigned Control::state() const
{
    unsigned s = ControlStateNormal;
    if (m_highlighted)
        s |= ControlStateHighlighted;
    if (!isEnabled())
        s |= ControlStateDisabled;
    if (m_selected)
        s |= ControlStateSelected;
    return s;
}

void Control::tap()
{
    if (!isEnabled() || !isUserInteractionEnabled())
        return;
    QPointer<Control> self(this);
    setHighlighted(true);
    sendActionsForControlEvents(ControlEventTouchDown);
    if (!self)
        return;
    setHighlighted(false);
    sendActionsForControlEvents(ControlEventTouchUpInside);
}

void Control::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        View::mousePressEvent(event);
        return;
    }
    m_tracking = true;
    setHighlighted(true);
    sendActionsForControlEvents(ControlEventTouchDown);
    event->accept();
}

void Control::mouseMoveEvent(QMouseEvent* event)
{
    if (m_tracking)
        setHighlighted(rect().adjusted(-20, -20, 20, 20).contains(event->position().toPoint()));
    event->accept();
}

void Control::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_tracking) {
        View::mouseReleaseEvent(event);
        return;
    }
    m_tracking = false;
    QPointer<Control> self(this);
    const bool inside = rect().adjusted(-20, -20, 20, 20).contains(event->position().toPoint());
    setHighlighted(false);
    sendActionsForControlEvents(inside ? ControlEventTouchUpInside : ControlEventTouchUpOutside);
    if (self)
        event->accept();
}

bool Control::event(QEvent* event)
{
    if (event->type() == GestureRecognizer::touchCancelEventType()) {
        if (m_tracking) {
            m_tracking = false;
            setHighlighted(false);
            sendActionsForControlEvents(ControlEventTouchCancel);
        }
        return true;
    }
    return View::event(event);
}

void Control::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    View::changeEvent(event);
}

} // namespace platform::ui
