#pragma once

#include "platform/ui/Button.h"

#include <QColor>
#include <QLinearGradient>

// A push button drawn as a rounded rectangle filled with a vertical gradient from a
// lighter shade of its colour down to the colour (turned over while pressed), with a
// darker outline, a soft glow inside its top edge and a title that contrasts with it.
class GradientButton : public platform::ui::Button {
    Q_OBJECT
public:
    explicit GradientButton(QWidget* parent = nullptr);
    explicit GradientButton(const QRectF& frame, QWidget* parent = nullptr);

    void setup();
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    // One of the seven presets (0-6); any other number is the blue of 1.
    void setType(int type);
    void setHighlighted(bool highlighted) override;

    static QColor presetColor(int type);
    static QColor lightenColor(const QColor& color, float value);
    static QColor darkenColor(const QColor& color, float value);
    static bool isLightColor(const QColor& color);
    // The title's shadow colour, as set with the colour.
    QColor titleShadowColor() const { return m_titleShadowColor; }
    QPointF titleShadowOffset() const { return QPointF(0, -1); }

    static constexpr double CornerRadius = 6.0;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    QColor m_color;
    QColor m_titleShadowColor;
    QGradientStops m_gradient;
};
