#pragma once

#include "platform/NotificationCenter.h"

#include <QPointer>

#include <functional>

namespace platform::ui {

// Hears the input panel's will-show and will-hide notifications on the main queue while
// it is active, and stops when it goes. The handler runs only while the guard lives.
class KeyboardObserver {
public:
    using Handler = std::function<void(const Notification&)>;

    KeyboardObserver(QObject* guard, Handler handler);
    KeyboardObserver(const KeyboardObserver&) = delete;
    KeyboardObserver& operator=(const KeyboardObserver&) = delete;
    ~KeyboardObserver();

    bool isActive() const { return m_showToken != 0; }
    void setActive(bool active);

private:
    QPointer<QObject> m_guard;
    Handler m_handler;
    NotificationCenter::Token m_showToken = 0;
    NotificationCenter::Token m_hideToken = 0;
};

} // namespace platform::ui
