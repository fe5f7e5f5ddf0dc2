#pragma once

#include "platform/ui/Control.h"

#include <QColor>

namespace platform::ui {

// An on/off switch; value-changed on each change a person makes. The on tint colours the
// track when on.
class Switch : public Control {
    Q_OBJECT
public:
    explicit Switch(QWidget* parent = nullptr);

    bool isOn() const { return m_on; }
    void setOn(bool on, bool animated = false);
    QColor onTintColor() const { return m_onTint; }
    void setOnTintColor(const QColor& color);

    // What every switch made from now on starts with (the style object sets it).
    static QColor& appearanceOnTintColor();

    QSizeF sizeThatFits(const QSizeF& size) const override;

    static constexpr double DisabledOpacity = 0.5;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void drawSwitch(QPainter& painter, const QRectF& rect, bool edged) const;

    bool m_on = false;
    double m_knob = 0; // 0 off ... 1 on, shown
    QColor m_onTint = QColor(76, 217, 100);
};

} // namespace platform::ui
