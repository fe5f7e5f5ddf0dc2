#include "platform/ui/GestureArena.h"

#include "platform/ui/Control.h"
#include "platform/ui/Guard.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/View.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <cmath>

namespace platform::ui {

namespace {

using State = GestureRecognizer::State;

bool recognized(State state)
{
    return state == State::Began || state == State::Changed || state == State::Ended;
}

bool simultaneous(GestureRecognizer* a, GestureRecognizer* b)
{
    bool allowed = false;
    guarded([&] {
        if (a->delegate())
            allowed = a->delegate()->gestureRecognizerShouldRecognizeSimultaneouslyWith(a, b);
        if (!allowed && b->delegate())
            allowed = b->delegate()->gestureRecognizerShouldRecognizeSimultaneouslyWith(b, a);
    });
    return allowed;
}

bool waitsFor(const GestureRecognizer* waiting, const GestureRecognizer* other)
{
    const auto list = waiting->requiredToFail();
    return list.contains(const_cast<GestureRecognizer*>(other));
}

// Set by views whose own handling of the mouse wins over the recognisers above them.
const char* const kOwnTouches = "kivoHandlesOwnTouches";

} // namespace

GestureArena& GestureArena::shared()
{
    static GestureArena* arena = new GestureArena();
    return *arena;
}

GestureArena::GestureArena()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

QList<QPointer<GestureRecognizer>> GestureArena::recognizersFor(
    QWidget* hit, const QPointF& point) const
{
    QList<QPointer<GestureRecognizer>> result;
    bool excludeTaps = false;
    bool excludeAll = false;
    for (QWidget* w = hit; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (auto* view = qobject_cast<View*>(w); view && !excludeAll) {
            for (GestureRecognizer* recognizer : view->gestureRecognizers()) {
                if (!recognizer->isEnabled() || view->isHidden())
                    continue;
                if (excludeTaps && qobject_cast<TapGestureRecognizer*>(recognizer))
                    continue;
                bool receives = true;
                if (recognizer->delegate())
                    guarded([&] {
                        receives = recognizer->delegate()->gestureRecognizerShouldReceiveTouch(
                            recognizer, point);
                    });
                if (receives)
                    result.append(recognizer);
            }
        }
        // What a widget handles itself keeps the recognisers above it out.
        if (w->isEnabled()) {
            if (qobject_cast<Control*>(w))
                excludeTaps = true;
            const int own = w->property(kOwnTouches).toInt();
            if (own >= 1)
                excludeTaps = true;
            if (own >= 2)
                excludeAll = true;
        }
    }
    return result;
}

GestureArena::Sequence* GestureArena::sequenceOf(const GestureRecognizer* recognizer)
{
    for (Sequence* sequence : { &m_touch, &m_wheel })
        if (sequence->active)
            for (const auto& p : sequence->participants)
                if (p == recognizer)
                    return sequence;
    return nullptr;
}

void GestureArena::requestState(GestureRecognizer* recognizer, State state)
{
    Sequence* sequence = sequenceOf(recognizer);
    const State from = recognizer->state();
    if (from == State::Possible && (state == State::Began || state == State::Ended)) {
        if (!sequence)
            return;
        for (GestureRecognizer* other : recognizer->requiredToFail()) {
            if (!other || !sequence->participants.contains(other))
                continue;
            if (recognized(other->state())) {
                fail(recognizer, *sequence);
                return;
            }
            if (other->state() == State::Possible) {
                recognizer->m_pending = true;
                recognizer->m_pendingState = state;
                return;
            }
        }
        begin(recognizer, state, *sequence);
        return;
    }
    if (state == State::Failed) {
        if (from != State::Possible)
            return;
        if (sequence)
            fail(recognizer, *sequence);
        else
            recognizer->applyState(State::Failed);
        return;
    }
    if (from == State::Possible || from == State::Failed || from == State::Cancelled)
        return; // a gesture that never began cannot change or end
    recognizer->applyState(state);
}

void GestureArena::begin(GestureRecognizer* recognizer, State state, Sequence& sequence)
{
    QPointer<GestureRecognizer> self(recognizer);
    bool shouldBegin = true;
    if (recognizer->delegate())
        guarded([&] {
            shouldBegin = recognizer->delegate()->gestureRecognizerShouldBegin(recognizer);
        });
    if (!self)
        return;
    if (!shouldBegin) {
        fail(recognizer, sequence);
        return;
    }
    // The first to recognise keeps the touch, unless both may run together.
    for (const auto& other : sequence.participants)
        if (other && other != recognizer && recognized(other->state())
            && !simultaneous(recognizer, other)) {
            fail(recognizer, sequence);
            return;
        }
    recognizer->m_pending = false;
    const auto others = sequence.participants;
    recognizer->applyState(state);
    for (const auto& other : others)
        if (other && other != recognizer && other->state() == State::Possible
            && (waitsFor(other, recognizer) || !simultaneous(recognizer, other)))
            fail(other, sequence);
    if (self && recognizer->cancelsTouchesInView())
        capture(sequence);
    resolvePending(sequence);
}

void GestureArena::fail(GestureRecognizer* recognizer, Sequence& sequence)
{
    if (recognizer->state() != State::Possible)
        return;
    recognizer->m_pending = false;
    recognizer->cancelTimer();
    recognizer->applyState(State::Failed);
    resolvePending(sequence);
}

void GestureArena::resolvePending(Sequence& sequence)
{
    if (m_resolving)
        return;
    m_resolving = true;
    bool changed = true;
    while (changed) {
        changed = false;
        for (const auto& waiting : QList(sequence.participants)) {
            if (!waiting || !waiting->m_pending || waiting->state() != State::Possible)
                continue;
            bool stillWaiting = false;
            bool blocked = false;
            for (GestureRecognizer* other : waiting->requiredToFail()) {
                if (!other || !sequence.participants.contains(other))
                    continue;
                if (other->state() == State::Possible)
                    stillWaiting = true;
                else if (recognized(other->state()))
                    blocked = true;
            }
            if (stillWaiting && !blocked)
                continue;
            m_resolving = false;
            if (blocked)
                fail(waiting, sequence);
            else
                begin(waiting, waiting->m_pendingState, sequence);
            m_resolving = true;
            changed = true;
            break;
        }
    }
    m_resolving = false;
}

void GestureArena::capture(Sequence& sequence)
{
    if (sequence.captured || &sequence != &m_touch)
        return;
    sequence.captured = true;
    // The views under the touch stop tracking it (a pressed button lets go).
    for (QPointer<QWidget> w = sequence.hit.data(); w;
         w = w->isWindow() ? nullptr : w->parentWidget()) {
        QEvent cancel(GestureRecognizer::touchCancelEventType());
        QCoreApplication::sendEvent(w, &cancel);
    }
}

void GestureArena::finish(Sequence& sequence, bool cancelled)
{
    const auto participants = sequence.participants;
    // What has not recognised by now has failed; those waiting for it may go ahead.
    for (const auto& p : participants)
        if (p && p->state() == State::Possible && !p->m_pending)
            fail(p, sequence);
    for (const auto& p : participants)
        if (p && p->state() == State::Possible && p->m_pending) {
            if (cancelled)
                fail(p, sequence);
            else
                resolvePending(sequence);
        }
    for (const auto& p : participants)
        if (p && (p->state() == State::Began || p->state() == State::Changed))
            p->applyState(State::Cancelled);
    sequence.participants.clear();
    sequence.active = false;
    sequence.captured = false;
    sequence.hit.clear();
    for (const auto& p : participants) {
        if (!p)
            continue;
        p->m_touching = false;
        p->m_pending = false;
        p->cancelTimer();
        guarded([&] { p->reset(); });
        p->m_state = State::Possible;
    }
}

void GestureArena::withdraw(GestureRecognizer* recognizer, bool cancelled)
{
    Sequence* sequence = sequenceOf(recognizer);
    if (!sequence)
        return;
    if (recognizer->state() == State::Began || recognizer->state() == State::Changed)
        recognizer->applyState(cancelled ? State::Cancelled : State::Failed);
    else if (recognizer->state() == State::Possible)
        recognizer->applyState(State::Failed);
    sequence->participants.removeAll(recognizer);
    recognizer->m_touching = false;
    recognizer->m_pending = false;
    recognizer->cancelTimer();
    guarded([&] { recognizer->reset(); });
    recognizer->m_state = State::Possible;
    resolvePending(*sequence);
}

bool GestureArena::isPropagatedCopy(QWidget* receiver, QEvent* event) const
{
    if (!m_lastReceiver || event->type() != m_lastType || receiver == m_lastReceiver)
        return false;
    auto* input = static_cast<QSinglePointEvent*>(event);
    // Qt hands a propagated copy a global position rebuilt from whole local points: a
    // point between pixels moves by up to one.
    const QPointF moved = input->globalPosition() - m_lastGlobal;
    if (input->timestamp() != m_lastTimestamp || std::abs(moved.x()) > 1.0
        || std::abs(moved.y()) > 1.0)
        return false;
    return receiver->isAncestorOf(m_lastReceiver);
}

void GestureArena::remember(QWidget* receiver, QEvent* event)
{
    auto* input = static_cast<QSinglePointEvent*>(event);
    m_lastReceiver = receiver;
    m_lastType = event->type();
    m_lastTimestamp = input->timestamp();
    m_lastGlobal = input->globalPosition();
}

bool GestureArena::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
        break;
    default:
        return false;
    }
    if (!watched->isWidgetType())
        return false;
    auto* receiver = static_cast<QWidget*>(watched);
    if (isPropagatedCopy(receiver, event))
        return false;
    remember(receiver, event);
    if (event->type() == QEvent::Wheel)
        return wheel(receiver, static_cast<QWheelEvent*>(event));
    return mouse(receiver, static_cast<QMouseEvent*>(event));
}

bool GestureArena::mouse(QWidget* receiver, QMouseEvent* event)
{
    QWidget* window = receiver->window();
    const Touch touch { receiver->mapTo(window, event->position()), event->timestamp() };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (event->button() != Qt::LeftButton)
            return m_touch.active && m_touch.captured;
        if (m_touch.active)
            finish(m_touch, true); // the release of the last touch never came
        m_touch.participants = recognizersFor(receiver, touch.location);
        if (m_touch.participants.isEmpty())
            return false;
        m_touch.active = true;
        m_touch.captured = false;
        m_touch.hit = receiver;
        for (const auto& p : QList(m_touch.participants)) {
            if (!p || !m_touch.active)
                continue;
            p->m_touching = true;
            p->m_first = p->m_last = touch;
            guarded([&] { p->touchesBegan(touch); });
        }
        return m_touch.active && m_touch.captured;
    }
    case QEvent::MouseMove: {
        if (!m_touch.active || !(event->buttons() & Qt::LeftButton))
            return false;
        const bool captured = m_touch.captured;
        for (const auto& p : QList(m_touch.participants)) {
            if (!p || !m_touch.active || !p->m_touching)
                continue;
            if (p->state() == State::Failed || p->state() == State::Cancelled)
                continue;
            p->m_last = touch;
            guarded([&] { p->touchesMoved(touch); });
        }
        return captured || m_touch.captured;
    }
    case QEvent::MouseButtonRelease: {
        if (!m_touch.active || event->button() != Qt::LeftButton)
            return m_touch.active && m_touch.captured;
        for (const auto& p : QList(m_touch.participants)) {
            if (!p || !m_touch.active || !p->m_touching)
                continue;
            if (p->state() == State::Failed || p->state() == State::Cancelled)
                continue;
            p->m_last = touch;
            guarded([&] { p->touchesEnded(touch); });
        }
        const bool captured = m_touch.captured;
        if (m_touch.active)
            finish(m_touch, false);
        return captured;
    }
    default:
        return false;
    }
}

bool GestureArena::wheel(QWidget* receiver, QWheelEvent* event)
{
    QPointF delta = QPointF(event->pixelDelta());
    if (delta.isNull())
        delta = QPointF(event->angleDelta()) / 6.0; // a notch of 120 is 20 points
    // The movement of the fingers: scrolling moves the content against them unless the
    // system inverts it ("natural" scrolling).
    if (!event->inverted())
        delta = -delta;
    QWidget* window = receiver->window();
    const QPointF point = receiver->mapTo(window, event->position());
    m_wheel.participants.clear();
    for (const auto& p : recognizersFor(receiver, point))
        if (p && p->isWheelGesture())
            m_wheel.participants.append(p);
    if (m_wheel.participants.isEmpty())
        return false;
    m_wheel.active = true;
    m_wheel.hit = receiver;
    bool used = false;
    for (const auto& p : QList(m_wheel.participants)) {
        if (!p || !m_wheel.active)
            continue;
        p->m_last = Touch { point, event->timestamp() };
        guarded(
            [&] { used = p->wheelScrolled(delta, event->phase(), event->timestamp()) || used; });
    }
    // A wheel event is a whole gesture step: states go back to possible at once, while
    // each swipe remembers by itself what it already did within the scroll.
    for (const auto& p : m_wheel.participants)
        if (p) {
            p->m_pending = false;
            p->m_state = State::Possible;
        }
    m_wheel.participants.clear();
    m_wheel.active = false;
    return used;
}

} // namespace platform::ui
