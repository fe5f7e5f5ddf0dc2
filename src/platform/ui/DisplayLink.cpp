#include "platform/ui/DisplayLink.h"

#include "platform/ui/Guard.h"

#include <QDateTime>
#include <QTimer>

namespace platform::ui {

DisplayLink::DisplayLink(Target target, QObject* parent)
    : QObject(parent)
    , m_target(std::move(target))
    , m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(int(FrameInterval * 1000.0));
    connect(m_timer, &QTimer::timeout, this, [this] { fire(); });
}

DisplayLink::~DisplayLink() = default;

void DisplayLink::addToRunLoop()
{
    if (!m_valid)
        return;
    m_added = true;
    update();
}

void DisplayLink::invalidate()
{
    m_valid = false;
    m_timer->stop();
    m_target = {};
}

void DisplayLink::setPaused(bool paused)
{
    m_paused = paused;
    update();
}

void DisplayLink::fire()
{
    if (!m_valid || !m_target)
        return;
    m_timestamp = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    // The target may invalidate or drop the link from inside the tick.
    Target target = m_target;
    guarded([&] { target(this); });
}

void DisplayLink::update()
{
    if (m_valid && m_added && !m_paused)
        m_timer->start();
    else
        m_timer->stop();
}

} // namespace platform::ui
