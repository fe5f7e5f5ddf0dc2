#include "common/GestureSynthesizer.h"

#include "platform/ui/SwipeGestureRecognizer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

namespace testsupport {

namespace {

QPointF centre(QWidget* view)
{
    return QPointF(view->width() / 2.0, view->height() / 2.0);
}

QPointF unitFor(unsigned direction)
{
    using Swipe = platform::ui::SwipeGestureRecognizer;
    if (direction & Swipe::Left)
        return QPointF(-1, 0);
    if (direction & Swipe::Up)
        return QPointF(0, -1);
    if (direction & Swipe::Down)
        return QPointF(0, 1);
    return QPointF(1, 0);
}

quint64 millis(double seconds)
{
    return quint64(std::max(0.0, seconds) * 1000.0 + 0.5);
}

} // namespace

void GestureSynthesizer::send(QWidget* target, int type, const QPointF& windowPoint, int buttons)
{
    if (!target || !s_window)
        return;
    const QPointF local = target->mapFrom(s_window.data(), windowPoint);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(QEvent::Type(type), local, windowPoint, target->mapToGlobal(local), button,
        Qt::MouseButtons(buttons), Qt::NoModifier, QPointingDevice::primaryPointingDevice());
    event.setTimestamp(s_clock);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::instance()->notify(target, &event);
}

void GestureSynthesizer::press(QWidget* view, std::optional<QPointF> point)
{
    if (!view)
        return;
    s_window = view->window();
    const QPointF p = point.value_or(centre(view));
    s_viewOffset = QPointF(view->mapTo(s_window.data(), QPointF(0, 0)));
    s_windowPoint = p + s_viewOffset;
    QWidget* target = s_window->childAt(s_windowPoint.toPoint());
    s_target = target ? target : s_window.data();
    s_clock += 100;
    send(s_target, QEvent::MouseButtonPress, s_windowPoint, Qt::LeftButton);
}

void GestureSynthesizer::move(const QPointF& point, double seconds)
{
    s_clock += millis(seconds);
    s_windowPoint = point + s_viewOffset;
    send(s_target, QEvent::MouseMove, s_windowPoint, Qt::LeftButton);
}

void GestureSynthesizer::release(double seconds)
{
    s_clock += millis(seconds);
    send(s_target, QEvent::MouseButtonRelease, s_windowPoint, Qt::NoButton);
    s_target.clear();
    // Far apart from the next press, so two taps never make a double click.
    s_clock += 1000;
}

void GestureSynthesizer::tap(QWidget* view, std::optional<QPointF> point)
{
    press(view, point);
    release(0.08);
}

void GestureSynthesizer::swipe(
    QWidget* view, unsigned direction, std::optional<QPointF> from, double distance, double seconds)
{
    const QPointF start = from.value_or(centre(view));
    press(view, start);
    const int steps = 6;
    for (int i = 1; i <= steps; ++i)
        move(start + unitFor(direction) * distance * i / steps, seconds / steps);
    release();
}

void GestureSynthesizer::trackpadSwipe(
    QWidget* view, unsigned direction, std::optional<QPointF> at, double distance)
{
    if (!view)
        return;
    QWidget* window = view->window();
    const QPointF windowPoint
        = QPointF(view->mapTo(window, QPointF(0, 0))) + at.value_or(centre(view));
    QWidget* target = window->childAt(windowPoint.toPoint());
    if (!target)
        target = window;
    const QPointF local = target->mapFrom(window, windowPoint);
    // Scrolling moves against the fingers.
    const QPointF step = -unitFor(direction) * (distance / 6);
    auto wheel = [&](Qt::ScrollPhase phase, const QPointF& delta) {
        s_clock += 16;
        QWheelEvent event(local, target->mapToGlobal(local), delta.toPoint(), delta.toPoint() * 2,
            Qt::NoButton, Qt::NoModifier, phase, false);
        event.setTimestamp(s_clock);
        QSpontaneKeyEvent::setSpontaneous(&event);
        QApplication::instance()->notify(target, &event);
    };
    wheel(Qt::ScrollBegin, QPointF());
    for (int i = 0; i < 6; ++i)
        wheel(Qt::ScrollUpdate, step);
    wheel(Qt::ScrollEnd, QPointF());
    s_clock += 1000;
}

void GestureSynthesizer::longPress(QWidget* view, std::optional<QPointF> point, double hold)
{
    const QPointF p = point.value_or(centre(view));
    press(view, p);
    move(p, hold);
    release(0.05);
}

void GestureSynthesizer::longPressDrag(
    QWidget* view, const QPointF& from, const QPointF& to, int steps, double hold)
{
    press(view, from);
    move(from, hold);
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i)
        move(from + (to - from) * i / steps, 0.05);
    release(0.05);
}

void GestureSynthesizer::drag(
    QWidget* view, const QPointF& from, const QPointF& to, int steps, double seconds)
{
    press(view, from);
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i)
        move(from + (to - from) * i / steps, seconds / steps);
    release(0.05);
}

} // namespace testsupport
