#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace platform::ui {

// A pan: the touch moves further than the hysteresis; then it begins, changes with every
// move and ends at the release. The translation runs from where the touch started.
class PanGestureRecognizer : public GestureRecognizer {
    Q_OBJECT
public:
    explicit PanGestureRecognizer(Action action = {}, QObject* parent = nullptr);

    // The movement so far; the same in every view (views are not rotated or scaled here).
    QPointF translationInView(const QWidget* view) const;
    void setTranslation(const QPointF& translation, const QWidget* view);
    // Points per second, from the last two moves.
    QPointF velocityInView(const QWidget* view) const;

    static constexpr double Hysteresis = 10.0;

protected:
    void touchesBegan(const Touch& touch) override;
    void touchesMoved(const Touch& touch) override;
    void touchesEnded(const Touch& touch) override;
    void reset() override;
    bool isContinuous() const override { return true; }

private:
    QPointF m_origin;
    Touch m_previous;
    QPointF m_velocity;
};

} // namespace platform::ui
