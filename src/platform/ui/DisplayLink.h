#pragma once

#include <QObject>
#include <QVariantMap>

#include <functional>

class QTimer;

namespace platform::ui {

// A timer in step with the screen's refresh, about 60 times a second, for work that
// must move with every frame (auto-scrolling under a dragged item). It runs on the main
// thread once added to the run loop, until invalidated or paused.
class DisplayLink : public QObject {
    Q_OBJECT
public:
    using Target = std::function<void(DisplayLink* link)>;

    explicit DisplayLink(Target target, QObject* parent = nullptr);
    ~DisplayLink() override;

    // Starts the ticks (the run loop's common modes; there is only one loop here).
    void addToRunLoop();
    // Stops for good; the target is not called again.
    void invalidate();
    bool isValid() const { return m_valid; }
    bool isPaused() const { return m_paused; }
    void setPaused(bool paused);

    // Seconds between two ticks, and the time of the last one.
    double duration() const { return FrameInterval; }
    double timestamp() const { return m_timestamp; }
    // Values the owner keeps with the link.
    QVariantMap userInfo() const { return m_userInfo; }
    void setUserInfo(const QVariantMap& info) { m_userInfo = info; }

    // Calls the target as a tick does (tests step frames with it).
    void fire();

    static constexpr double FrameInterval = 1.0 / 60.0;

private:
    void update();

    Target m_target;
    QTimer* m_timer = nullptr;
    bool m_valid = true;
    bool m_paused = false;
    bool m_added = false;
    double m_timestamp = 0;
    QVariantMap m_userInfo;
};

} // namespace platform::ui
