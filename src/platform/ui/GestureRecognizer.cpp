#include "platform/ui/GestureRecognizer.h"

#include "platform/ui/GestureArena.h"
#include "platform/ui/Guard.h"
#include "platform/ui/View.h"

#include <QPointer>
#include <QTimer>

namespace platform::ui {

GestureRecognizerDelegate::~GestureRecognizerDelegate() = default;

bool GestureRecognizerDelegate::gestureRecognizerShouldBegin(GestureRecognizer*)
{
    return true;
}

bool GestureRecognizerDelegate::gestureRecognizerShouldRecognizeSimultaneouslyWith(
    GestureRecognizer*, GestureRecognizer*)
{
    return false;
}

bool GestureRecognizerDelegate::gestureRecognizerShouldReceiveTouch(
    GestureRecognizer*, const QPointF&)
{
    return true;
}

GestureRecognizer::GestureRecognizer(Action action, QObject* parent)
    : QObject(parent)
{
    // The arena watches the application's mouse from the first recogniser on.
    GestureArena::shared();
    if (action)
        m_actions.push_back(std::move(action));
}

GestureRecognizer::~GestureRecognizer()
{
    GestureArena::shared().withdraw(this, true);
}

void GestureRecognizer::addTarget(Action action)
{
    if (action)
        m_actions.push_back(std::move(action));
}

View* GestureRecognizer::view() const
{
    return qobject_cast<View*>(parent());
}

void GestureRecognizer::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    if (!enabled)
        GestureArena::shared().withdraw(this, true);
}

void GestureRecognizer::requireGestureRecognizerToFail(GestureRecognizer* other)
{
    if (other && other != this && !m_requiredToFail.contains(other))
        m_requiredToFail.append(other);
}

QList<GestureRecognizer*> GestureRecognizer::requiredToFail() const
{
    QList<GestureRecognizer*> result;
    for (const auto& other : m_requiredToFail)
        if (other)
            result.append(other);
    return result;
}

QPointF GestureRecognizer::locationInView(const QWidget* view) const
{
    const View* own = this->view();
    if (!own)
        return m_last.location;
    const QWidget* window = own->window();
    if (!view || view == window)
        return m_last.location;
    return view->mapFrom(window, m_last.location);
}

QEvent::Type GestureRecognizer::touchCancelEventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void GestureRecognizer::setHandlesOwnTouches(QWidget* widget, bool drags)
{
    if (widget)
        widget->setProperty("kivoHandlesOwnTouches", drags ? 2 : 1);
}

void GestureRecognizer::touchesBegan(const Touch&)
{
}

void GestureRecognizer::touchesMoved(const Touch&)
{
}

void GestureRecognizer::touchesEnded(const Touch&)
{
}

void GestureRecognizer::touchesCancelled(const Touch&)
{
    setState(State::Cancelled);
}

bool GestureRecognizer::wheelScrolled(const QPointF&, Qt::ScrollPhase, quint64)
{
    return false;
}

void GestureRecognizer::reset()
{
}

void GestureRecognizer::setState(State state)
{
    GestureArena::shared().requestState(this, state);
}

void GestureRecognizer::applyState(State state)
{
    m_state = state;
    const bool report = isContinuous() ? (state == State::Began || state == State::Changed
                            || state == State::Ended || state == State::Cancelled)
                                       : state == State::Ended;
    if (report)
        sendActions();
}

void GestureRecognizer::sendActions()
{
    const auto actions = m_actions;
    QPointer<GestureRecognizer> self(this);
    for (const auto& action : actions) {
        if (!self)
            return;
        guarded([&] { action(this); });
    }
}

void GestureRecognizer::scheduleTimer(double seconds, std::function<void()> fired)
{
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setSingleShot(true);
        connect(m_timer, &QTimer::timeout, this, [this] {
            auto callback = std::move(m_timerFired);
            m_timerFired = {};
            if (callback)
                guarded(callback);
        });
    }
    m_timerFired = std::move(fired);
    m_timer->start(std::max(0, int(seconds * 1000)));
}

void GestureRecognizer::cancelTimer()
{
    if (m_timer)
        m_timer->stop();
    m_timerFired = {};
}

} // namespace platform::ui
