#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <vector>

namespace platform::ui {

// Control events, with the platform's values.
enum ControlEvent : unsigned {
    ControlEventTouchDown = 1u << 0,
    ControlEventTouchUpInside = 1u << 6,
    ControlEventTouchUpOutside = 1u << 7,
    ControlEventTouchCancel = 1u << 8,
    ControlEventValueChanged = 1u << 12,
    ControlEventEditingDidBegin = 1u << 16,
    ControlEventEditingChanged = 1u << 17,
    ControlEventEditingDidEnd = 1u << 18,
    ControlEventEditingDidEndOnExit = 1u << 19,
};

// Control states, with the platform's values; a state is a set of these bits.
enum ControlState : unsigned {
    ControlStateNormal = 0,
    ControlStateHighlighted = 1u << 0,
    ControlStateDisabled = 1u << 1,
    ControlStateSelected = 1u << 2,
};

// A view that reports touches as control events to its targets. A press highlights it;
// a release inside sends touch-up-inside. Every action runs guarded.
class Control : public View {
    Q_OBJECT
public:
    using Action = std::function<void(Control* sender)>;

    explicit Control(QWidget* parent = nullptr);
    explicit Control(const QRectF& frame, QWidget* parent = nullptr);

    void addTarget(Action action, unsigned events);
    void removeAllTargets() { m_targets.clear(); }
    bool hasTargets() const { return !m_targets.empty(); }
    // Sends the events to the targets registered for any of them.
    void sendActionsForControlEvents(unsigned events);

    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted);
    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected);
    bool isControlEnabled() const { return isEnabled(); }
    unsigned state() const;

    // Tests and keyboard activation: a whole tap.
    void tap();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A gesture recogniser that takes the touch sends touch-cancel.
    bool event(QEvent* event) override;

private:
    struct Target {
        Action action;
        unsigned events;
    };
    std::vector<Target> m_targets;
    bool m_highlighted = false;
    bool m_selected = false;
    bool m_tracking = false;
};

} // namespace platform::ui
