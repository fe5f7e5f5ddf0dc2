#pragma once

#include "platform/ui/GestureRecognizer.h"

#include <QEvent>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>

class QMouseEvent;
class QWheelEvent;
class QWidget;

namespace platform::ui {

// Hands the mouse to the gesture recognisers. It watches every mouse and wheel event of
// the application before the widgets get it: a press starts a touch whose recognisers
// are those of the views from the widget under the mouse up to the window; moves and the
// release go to them; a recognised gesture that cancels touches takes the rest of the
// touch away from the widgets. It also arbitrates which recognisers may leave the
// possible state (require-to-fail, should-begin, simultaneous recognition).
class GestureArena : public QObject {
    Q_OBJECT
public:
    static GestureArena& shared();

    // A recogniser asks for a new state.
    void requestState(GestureRecognizer* recognizer, GestureRecognizer::State state);
    // A recogniser was disabled or is going away: it leaves the touch.
    void withdraw(GestureRecognizer* recognizer, bool cancelled);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Sequence {
        QList<QPointer<GestureRecognizer>> participants;
        QPointer<QWidget> hit;
        bool active = false;
        bool captured = false;
    };

    GestureArena();

    bool mouse(QWidget* receiver, QMouseEvent* event);
    bool wheel(QWidget* receiver, QWheelEvent* event);
    QList<QPointer<GestureRecognizer>> recognizersFor(QWidget* hit, const QPointF& point) const;
    Sequence* sequenceOf(const GestureRecognizer* recognizer);
    void begin(GestureRecognizer* recognizer, GestureRecognizer::State state, Sequence& sequence);
    void fail(GestureRecognizer* recognizer, Sequence& sequence);
    void resolvePending(Sequence& sequence);
    void finish(Sequence& sequence, bool cancelled);
    void capture(Sequence& sequence);
    bool isPropagatedCopy(QWidget* receiver, QEvent* event) const;
    void remember(QWidget* receiver, QEvent* event);

    Sequence m_touch;
    Sequence m_wheel;
    bool m_resolving = false;
    // The last event seen, so its copies on the way up to the parents are not seen again.
    QPointer<QWidget> m_lastReceiver;
    QEvent::Type m_lastType = QEvent::None;
    quint64 m_lastTimestamp = 0;
    QPointF m_lastGlobal;
};

} // namespace platform::ui
