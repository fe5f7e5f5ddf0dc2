#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace platform::ui {

// A swipe: a quick straight drag in one of the allowed directions, or the same movement
// of two fingers on a trackpad (horizontal scrolling). It is recognised as soon as the
// drag is long enough, without waiting for the release.
class SwipeGestureRecognizer : public GestureRecognizer {
    Q_OBJECT
public:
    // The platform's direction bits.
    enum Direction : unsigned { Right = 1u << 0, Left = 1u << 1, Up = 1u << 2, Down = 1u << 3 };

    explicit SwipeGestureRecognizer(Action action = {}, QObject* parent = nullptr);

    unsigned direction() const { return m_direction; }
    void setDirection(unsigned direction) { m_direction = direction; }
    // The direction of the swipe last recognised (one bit).
    unsigned recognizedDirection() const { return m_recognized; }

    // How long and how quick a drag must be, and how far it may stray sideways.
    static constexpr double MinimumDistance = 40.0;
    static constexpr double MaximumDuration = 0.5; // seconds to cover the distance
    static constexpr double MaximumDeviation = 25.0;
    // A trackpad swipe: the fingers' horizontal travel, mostly horizontal.
    static constexpr double MinimumScrollDistance = 60.0;
    static constexpr double ScrollPause = 0.3; // seconds between two scrolls

protected:
    void touchesMoved(const Touch& touch) override;
    void touchesEnded(const Touch& touch) override;
    bool wheelScrolled(const QPointF& delta, Qt::ScrollPhase phase, quint64 timestamp) override;
    bool isWheelGesture() const override { return true; }

private:
    unsigned directionOf(const QPointF& movement) const;

    unsigned m_direction = Right;
    unsigned m_recognized = 0;
    // The scroll under way.
    QPointF m_scrolled;
    quint64 m_lastScroll = 0;
    bool m_scrollDone = false;
    bool m_scrollUsed = false;
};

} // namespace platform::ui
