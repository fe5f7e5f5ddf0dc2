#pragma once

#include <QEvent>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>

#include <functional>
#include <vector>

class QWidget;
class QTimer;

namespace platform::ui {

class GestureRecognizer;
class View;

// What a recogniser asks its delegate; every method is optional.
class GestureRecognizerDelegate {
public:
    virtual ~GestureRecognizerDelegate();
    // Asked when the recogniser is about to leave the possible state; NO makes it fail.
    virtual bool gestureRecognizerShouldBegin(GestureRecognizer* recognizer);
    // YES lets both run at once; either side's YES is enough.
    virtual bool gestureRecognizerShouldRecognizeSimultaneouslyWith(
        GestureRecognizer* recognizer, GestureRecognizer* other);
    // NO keeps the recogniser out of a touch that starts at the point (window coordinates).
    virtual bool gestureRecognizerShouldReceiveTouch(
        GestureRecognizer* recognizer, const QPointF& point);
};

// One touch as the recognisers see it: the mouse with its left button down, in the
// coordinates of the top-level window, with the event's time in milliseconds.
struct Touch {
    QPointF location;
    quint64 timestamp = 0;
};

// The base of the gesture recognisers, on mouse input. A recogniser belongs to the view
// it is added to (View::addGestureRecognizer) and sees every touch that starts on that
// view or on one of its subviews, together with the recognisers of the other views under
// the touch. The first to recognise wins the touch: the others fail, unless a delegate
// lets them run at the same time; one that must wait for another to fail waits.
//
// Discrete gestures (tap, swipe) go from possible to recognised (ended) and call their
// actions once; continuous ones (long press, pan) call them at began, every change, and
// at ended or cancelled. After the touch the recogniser is possible again.
class GestureRecognizer : public QObject {
    Q_OBJECT
public:
    enum class State { Possible = 0, Began = 1, Changed = 2, Ended = 3, Cancelled = 4, Failed = 5 };
    static constexpr State Recognized = State::Ended;
    using Action = std::function<void(GestureRecognizer* recognizer)>;

    explicit GestureRecognizer(Action action = {}, QObject* parent = nullptr);
    ~GestureRecognizer() override;

    void addTarget(Action action);
    void removeAllTargets() { m_actions.clear(); }

    State state() const { return m_state; }
    View* view() const;

    bool isEnabled() const { return m_enabled; }
    // Disabling cancels a gesture under way (its actions see the cancelled state).
    void setEnabled(bool enabled);

    GestureRecognizerDelegate* delegate() const { return m_delegate; }
    void setDelegate(GestureRecognizerDelegate* delegate) { m_delegate = delegate; }

    // When set (the default), a recognised gesture takes the rest of the touch from the
    // view under it: that view gets a touch-cancel event and no more mouse events.
    bool cancelsTouchesInView() const { return m_cancelsTouches; }
    void setCancelsTouchesInView(bool cancels) { m_cancelsTouches = cancels; }

    // This recogniser recognises only after the other has failed.
    void requireGestureRecognizerToFail(GestureRecognizer* other);
    QList<GestureRecognizer*> requiredToFail() const;

    // Where the touch is, in the view's coordinates (a null view: the window's).
    QPointF locationInView(const QWidget* view) const;
    int numberOfTouches() const { return m_touching ? 1 : 0; }

    // The event a view receives when a recogniser takes its touch away.
    static QEvent::Type touchCancelEventType();

    // Keeps tap recognisers of the views above `widget` out of touches that start on it,
    // so that its own handling of a click wins (controls), or, with `drags`, keeps every
    // recogniser above it out (sliders and pickers follow the mouse themselves).
    static void setHandlesOwnTouches(QWidget* widget, bool drags = false);

protected:
    virtual void touchesBegan(const Touch& touch);
    virtual void touchesMoved(const Touch& touch);
    virtual void touchesEnded(const Touch& touch);
    virtual void touchesCancelled(const Touch& touch);
    // Horizontal scrolling of a trackpad; true when the recogniser used it.
    virtual bool wheelScrolled(const QPointF& delta, Qt::ScrollPhase phase, quint64 timestamp);
    // Back to the possible state after a touch: forget what was gathered.
    virtual void reset();
    virtual bool isContinuous() const { return false; }
    // True while the recogniser takes part in a gesture from mouse wheel events.
    virtual bool isWheelGesture() const { return false; }

    // Asks for a new state. Leaving the possible state goes through the arbitration
    // among the recognisers of the touch (which may refuse or defer it).
    void setState(State state);

    // A one-shot timer of the recogniser (a long press waits with it).
    void scheduleTimer(double seconds, std::function<void()> fired);
    void cancelTimer();

    const Touch& firstTouch() const { return m_first; }
    const Touch& lastTouch() const { return m_last; }

private:
    friend class GestureArena;

    void applyState(State state);
    void sendActions();

    std::vector<Action> m_actions;
    State m_state = State::Possible;
    bool m_enabled = true;
    bool m_cancelsTouches = true;
    bool m_touching = false;
    bool m_pending = false; // waiting for a required recogniser to fail
    State m_pendingState = State::Possible;
    GestureRecognizerDelegate* m_delegate = nullptr;
    QList<QPointer<GestureRecognizer>> m_requiredToFail;
    Touch m_first;
    Touch m_last;
    QTimer* m_timer = nullptr;
    std::function<void()> m_timerFired;
};

} // namespace platform::ui
