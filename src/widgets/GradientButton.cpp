#include "widgets/GradientButton.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using namespace platform::ui;

namespace {

// Preset components are single-precision values widened to double.
QColor fromFloats(float red, float green, float blue)
{
    return QColor::fromRgbF(double(red), double(green), double(blue), 1.0);
}

} // namespace

GradientButton::GradientButton(QWidget* parent)
    : Button(parent)
{
    setup();
}

GradientButton::GradientButton(const QRectF& frame, QWidget* parent)
    : Button(frame, parent)
{
    setup();
}

void GradientButton::setup()
{
    setBackgroundColor(Qt::transparent);
    setColor(fromFloats(0.0f, 0.33f, 0.8f));
}

QColor GradientButton::presetColor(int type)
{
    switch (type) {
    case 0:
        return fromFloats(0.85f, 0.85f, 0.85f);
    case 1:
        return fromFloats(0.0f, 0.33f, 0.8f);
    case 2:
        return fromFloats(0.18f, 0.59f, 0.71f);
    case 3:
        return fromFloats(0.32f, 0.64f, 0.32f);
    case 4:
        return fromFloats(0.97f, 0.58f, 0.02f);
    case 5:
        return fromFloats(0.74f, 0.21f, 0.18f);
    case 6:
        return fromFloats(0.13f, 0.13f, 0.13f);
    default:
        return fromFloats(0.0f, 0.33f, 0.8f);
    }
}

void GradientButton::setType(int type)
{
    setColor(presetColor(type));
}

QColor GradientButton::lightenColor(const QColor& color, float value)
{
    const QColor c = color.toRgb();
    const double v = double(value);
    return QColor::fromRgbF(std::min(1.0, double(c.redF()) + v),
        std::min(1.0, double(c.greenF()) + v), std::min(1.0, double(c.blueF()) + v), c.alphaF());
}

QColor GradientButton::darkenColor(const QColor& color, float value)
{
    const QColor c = color.toRgb();
    const double v = double(value);
    return QColor::fromRgbF(std::max(0.0, double(c.redF()) - v),
        std::max(0.0, double(c.greenF()) - v), std::max(0.0, double(c.blueF()) - v), c.alphaF());
}

bool GradientButton::isLightColor(const QColor& color)
{
    // In single precision, as the components are kept: a mean of 0.8 is not above it.
    const QColor c = color.toRgb();
    return (c.redF() + c.greenF() + c.blueF()) / 3.0f > 0.8f;
}

void GradientButton::setColor(const QColor& color)
{
    m_color = color;
    const bool light = isLightColor(color);
    // The title keeps its colour while pressed: the turned gradient shows the press.
    setTitleColor(light ? Qt::black : Qt::white);
    setTitleColor(light ? Qt::black : Qt::white, ControlStateHighlighted);
    m_titleShadowColor = light ? QColor(255, 255, 255) : QColor(0, 0, 0);
    m_titleShadowColor.setAlphaF(0.6);
    m_gradient = { { 0.0, lightenColor(color, 0.12f) }, { 1.0, color } };
    setNeedsDisplay();
}

void GradientButton::setHighlighted(bool highlighted)
{
    Button::setHighlighted(highlighted);
    setNeedsDisplay();
}

void GradientButton::drawRect(QPainter& painter, const QRectF& rect)
{
    const double w = rect.width();
    const double h = rect.height();
    const QColor dark = darkenColor(m_color, 0.06f);
    const QColor glow = lightenColor(dark, 0.5f);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), CornerRadius, CornerRadius);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipPath(outline);
    // Lighter at the top; turned over while pressed.
    QLinearGradient gradient = isHighlighted() ? QLinearGradient(0, h - 0.5, 0, 0.5)
                                               : QLinearGradient(0, 0.5, 0, h - 0.5);
    gradient.setStops(m_gradient);
    painter.fillRect(rect, gradient);
    if (!isHighlighted()) {
        // The glow inside the top edge: what lies outside the outline, moved down a
        // little and softened, seen through the outline.
        const QRectF bounds = outline.boundingRect();
        QPainterPath ring;
        ring.setFillRule(Qt::OddEvenFill);
        ring.addRect(bounds.adjusted(-3, -4, 3, 3));
        ring.addPath(outline);
        painter.setPen(Qt::NoPen);
        const double steps[][2] = { { 1.1, 0.55 }, { 1.6, 0.3 }, { 2.1, 0.15 } };
        for (const auto& step : steps) {
            QColor c = glow;
            c.setAlphaF(step[1]);
            painter.setBrush(c);
            painter.drawPath(ring.translated(0.1, step[0]));
        }
    }
    painter.restore();

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(dark, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
    painter.restore();

    // The title's shadow, then the title.
    const QString title = currentTitle();
    if (!title.isEmpty()) {
        painter.save();
        painter.setFont(titleFont());
        painter.setPen(m_titleShadowColor);
        painter.drawText(
            rect.translated(titleShadowOffset()), Qt::AlignCenter | Qt::TextSingleLine, title);
        painter.restore();
    }
    Button::drawRect(painter, rect);
}
