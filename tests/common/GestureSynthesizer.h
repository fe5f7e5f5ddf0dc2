#pragma once

#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <optional>

namespace testsupport {

// Synthesises mouse input as a person would give it, for the gesture recognisers and the
// controls: every event goes to the deepest widget under the point (the press's widget
// keeps the touch until the release, as the window does it), with event times that move
// on by the simulated time, so holding and quickness need no real waiting. Points are in
// the coordinates of the view given; a missing point is the view's centre.
class GestureSynthesizer {
public:
    static void press(QWidget* view, std::optional<QPointF> point = {});
    // Moves the pressed mouse to the point (in the pressed view's coordinates) after the
    // given seconds.
    static void move(const QPointF& point, double seconds = 0.016);
    static void release(double seconds = 0.016);

    static void tap(QWidget* view, std::optional<QPointF> point = {});
    // A quick drag of `distance` points in one direction (SwipeGestureRecognizer bits).
    static void swipe(QWidget* view, unsigned direction, std::optional<QPointF> from = {},
        double distance = 100, double seconds = 0.12);
    // Two fingers moved sideways on a trackpad: horizontal scrolling with its phases.
    static void trackpadSwipe(
        QWidget* view, unsigned direction, std::optional<QPointF> at = {}, double distance = 120);
    // Press, hold still for the time, release.
    static void longPress(QWidget* view, std::optional<QPointF> point = {}, double hold = 0.6);
    // Press, hold, then drag to the point in steps, then release.
    static void longPressDrag(
        QWidget* view, const QPointF& from, const QPointF& to, int steps = 8, double hold = 0.6);
    // A drag without holding first, over the given time.
    static void drag(
        QWidget* view, const QPointF& from, const QPointF& to, int steps = 8, double seconds = 0.8);

private:
    static void send(QWidget* target, int type, const QPointF& windowPoint, int buttons);

    static inline QPointer<QWidget> s_target;
    static inline QPointer<QWidget> s_window;
    static inline QPointF s_windowPoint;
    static inline QPointF s_viewOffset; // from the pressed view to the window
    static inline quint64 s_clock = 1000000;
};

} // namespace testsupport
