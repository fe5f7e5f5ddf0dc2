#include "platform/ui/KeyboardObserver.h"

#include "platform/ui/InputPanel.h"

namespace platform::ui {

KeyboardObserver::KeyboardObserver(QObject* guard, Handler handler)
    : m_guard(guard)
    , m_handler(std::move(handler))
{
}

KeyboardObserver::~KeyboardObserver()
{
    setActive(false);
}

void KeyboardObserver::setActive(bool active)
{
    if (active == isActive())
        return;
    auto& center = NotificationCenter::defaultCenter();
    if (!active) {
        center.removeObserver(m_showToken);
        center.removeObserver(m_hideToken);
        m_showToken = m_hideToken = 0;
        return;
    }
    auto call = [guard = m_guard, handler = m_handler](const Notification& notification) {
        if (guard)
            handler(notification);
    };
    m_showToken = center.addObserver(InputPanel::KeyboardWillShowNotification, nullptr, call, true);
    m_hideToken = center.addObserver(InputPanel::KeyboardWillHideNotification, nullptr, call, true);
}

} // namespace platform::ui
