#pragma once

#include "platform/ui/Control.h"

namespace platform::ui {

// A value between a minimum and a maximum, chosen by dragging the thumb along a track
// (or clicking the track, which moves the thumb there). Value-changed goes out while the
// thumb moves, or only when it is let go when the slider is not continuous; a value set
// in code sends nothing.
class Slider : public Control {
    Q_OBJECT
public:
    explicit Slider(QWidget* parent = nullptr);
    explicit Slider(const QRectF& frame, QWidget* parent = nullptr);

    float value() const { return m_value; }
    void setValue(float value, bool animated = false);
    float minimumValue() const { return m_minimum; }
    void setMinimumValue(float value);
    float maximumValue() const { return m_maximum; }
    void setMaximumValue(float value);
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool continuous) { m_continuous = continuous; }

    QColor minimumTrackTintColor() const { return m_minimumTrack; }
    void setMinimumTrackTintColor(const QColor& color);
    QColor maximumTrackTintColor() const { return m_maximumTrack; }
    void setMaximumTrackTintColor(const QColor& color);
    QColor thumbTintColor() const { return m_thumb; }
    void setThumbTintColor(const QColor& color);

    // Where the thumb is drawn, in the slider's coordinates.
    QRectF thumbRect() const;
    QRectF trackRect() const;

    QSizeF sizeThatFits(const QSizeF& size) const override;

    static constexpr double ThumbSize = 28.0;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void setUp();
    float valueAt(double x) const;
    void applyShown(double value);
    void userMoved(float value);

    float m_value = 0;
    float m_minimum = 0;
    float m_maximum = 1;
    double m_shown = 0; // the value drawn, moving while an animation runs
    bool m_continuous = true;
    QColor m_minimumTrack;
    QColor m_maximumTrack = QColor(183, 183, 183);
    QColor m_thumb = Qt::white;
    bool m_dragging = false;
    double m_grabOffset = 0;
    float m_valueAtPress = 0;
};

} // namespace platform::ui
