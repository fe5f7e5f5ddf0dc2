#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPointF>
#include <QWheelEvent>
#include <QWidget>

// Pointer input for the scrolling views' tests: each event goes to the deepest widget
// under the point and travels up, as a person's would.
namespace scrolltest {

inline QWidget* widgetAt(QWidget* root, const QPointF& point)
{
    QWidget* child = root->childAt(point.toPoint());
    return child ? child : root;
}

inline void send(QWidget* root, QEvent::Type type, const QPointF& point, Qt::MouseButton button,
    Qt::MouseButtons buttons)
{
    QWidget* target = widgetAt(root, point);
    const QPointF local = target->mapFrom(root, point.toPoint()) + (point - point.toPoint());
    QMouseEvent event(type, local, root->mapToGlobal(point), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

inline void press(QWidget* root, const QPointF& point)
{
    send(root, QEvent::MouseButtonPress, point, Qt::LeftButton, Qt::LeftButton);
}

// Moves with the button held, sent to the widget that took the press, as Qt does.
inline void drag(QWidget* grabber, QWidget* root, const QPointF& point)
{
    const QPointF local = grabber->mapFrom(root, point.toPoint());
    QMouseEvent event(QEvent::MouseMove, local, root->mapToGlobal(point), Qt::NoButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grabber, &event);
}

inline void release(QWidget* grabber, QWidget* root, const QPointF& point)
{
    const QPointF local = grabber->mapFrom(root, point.toPoint());
    QMouseEvent event(QEvent::MouseButtonRelease, local, root->mapToGlobal(point), Qt::LeftButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(grabber, &event);
}

inline void click(QWidget* root, const QPointF& point)
{
    press(root, point);
    send(root, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton);
}

// One notch of a mouse wheel over the widget (negative turns towards the person: the
// content moves up). Qt passes only a window system's wheel events up from a child, so
// this one goes to the scrolling widget itself.
inline bool wheel(QWidget* scrolling, const QPointF& point, QPoint angle,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent event(point, scrolling->mapToGlobal(point), QPoint(), angle, Qt::NoButton,
        modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(scrolling, &event);
    return event.isAccepted();
}

} // namespace scrolltest
