#include "platform/ui/Slider.h"

#include "platform/ui/Animation.h"
#include "platform/ui/GestureRecognizer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <cmath>

namespace platform::ui {

namespace {
constexpr double kTrackHeight = 2.0;
} // namespace

Slider::Slider(QWidget* parent)
    : Control(parent)
{
    setUp();
    setFrame(QRectF(0, 0, 118, 31));
}

Slider::Slider(const QRectF& frame, QWidget* parent)
    : Control(parent)
{
    setUp();
    setFrame(frame);
}

void Slider::setUp()
{
    // The thumb follows the mouse itself, also inside views that recognise swipes.
    GestureRecognizer::setHandlesOwnTouches(this, true);
}

void Slider::setValue(float value, bool animated)
{
    if (!std::isfinite(value))
        return;
    m_value = std::clamp(value, m_minimum, m_maximum);
    const double from = m_shown;
    if (animated) {
        Animation::animate(0.2, [this, from] {
            if (!Animation::record(this, "value", from, double(m_value),
                    [this](const QVariant& v) { applyShown(v.toDouble()); }))
                applyShown(m_value);
        });
    } else {
        Animation::cancel(this, "value");
        applyShown(m_value);
    }
}

void Slider::applyShown(double value)
{
    m_shown = value;
    update();
}

void Slider::setMinimumValue(float value)
{
    m_minimum = value;
    if (m_maximum < m_minimum)
        m_maximum = m_minimum;
    setValue(m_value);
}

void Slider::setMaximumValue(float value)
{
    m_maximum = value;
    if (m_minimum > m_maximum)
        m_minimum = m_maximum;
    setValue(m_value);
}

void Slider::setMinimumTrackTintColor(const QColor& color)
{
    m_minimumTrack = color;
    update();
}

void Slider::setMaximumTrackTintColor(const QColor& color)
{
    m_maximumTrack = color;
    update();
}

void Slider::setThumbTintColor(const QColor& color)
{
    m_thumb = color;
    update();
}

QRectF Slider::trackRect() const
{
    const QRectF b = bounds();
    return QRectF(b.left() + ThumbSize / 2, b.center().y() - kTrackHeight / 2,
        std::max(0.0, b.width() - ThumbSize), kTrackHeight);
}

QRectF Slider::thumbRect() const
{
    const QRectF track = trackRect();
    const double span = double(m_maximum) - double(m_minimum);
    const double fraction = span > 0 ? (m_shown - m_minimum) / span : 0;
    const double x = track.left() + track.width() * std::clamp(fraction, 0.0, 1.0);
    return QRectF(x - ThumbSize / 2, track.center().y() - ThumbSize / 2, ThumbSize, ThumbSize);
}

float Slider::valueAt(double x) const
{
    const QRectF track = trackRect();
    const double fraction
        = track.width() > 0 ? std::clamp((x - track.left()) / track.width(), 0.0, 1.0) : 0.0;
    return float(m_minimum + (double(m_maximum) - double(m_minimum)) * fraction);
}

void Slider::userMoved(float value)
{
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value)
        return;
    m_value = value;
    applyShown(value);
    if (m_continuous)
        sendActionsForControlEvents(ControlEventValueChanged);
}

QSizeF Slider::sizeThatFits(const QSizeF& size) const
{
    return QSizeF(size.width() > 0 ? size.width() : 118, 31);
}

void Slider::drawRect(QPainter& painter, const QRectF&)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF track = trackRect();
    const QRectF thumb = thumbRect();
    const QColor minimum = m_minimumTrack.isValid() ? m_minimumTrack : tintColor();
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? m_maximumTrack : m_maximumTrack.lighter(115));
    painter.drawRoundedRect(track, 1, 1);
    QRectF filled = track;
    filled.setRight(thumb.center().x());
    QColor fill = minimum;
    if (!isEnabled())
        fill.setAlphaF(0.4);
    painter.setBrush(fill);
    painter.drawRoundedRect(filled, 1, 1);
    // The thumb: a white disc with a soft shadow.
    for (int i = 3; i >= 1; --i) {
        painter.setBrush(QColor(0, 0, 0, 12 * (4 - i)));
        painter.drawEllipse(thumb.adjusted(-i * 0.5, -i * 0.5 + 1.5, i * 0.5, i * 0.5 + 1.5));
    }
    painter.setBrush(m_thumb);
    painter.setPen(QPen(QColor(0, 0, 0, 30), 0.5));
    painter.drawEllipse(thumb.adjusted(0.5, 0.5, -0.5, -0.5));
}

void Slider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        View::mousePressEvent(event);
        return;
    }
    Control::mousePressEvent(event);
    m_dragging = true;
    m_valueAtPress = m_value;
    const QRectF thumb = thumbRect();
    const double x = event->position().x();
    // Grabbing the thumb keeps it under the mouse where it was taken; a click on the
    // track brings it there.
    if (thumb.adjusted(-4, -4, 4, 4).contains(event->position())) {
        m_grabOffset = x - thumb.center().x();
    } else {
        m_grabOffset = 0;
        userMoved(valueAt(x));
    }
    event->accept();
}

void Slider::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        View::mouseMoveEvent(event);
        return;
    }
    userMoved(valueAt(event->position().x() - m_grabOffset));
    event->accept();
}

void Slider::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        View::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    QPointer<Slider> self(this);
    Control::mouseReleaseEvent(event);
    if (self && !m_continuous && m_value != m_valueAtPress)
        sendActionsForControlEvents(ControlEventValueChanged);
}

bool Slider::event(QEvent* event)
{
    if (event->type() == GestureRecognizer::touchCancelEventType())
        m_dragging = false;
    return Control::event(event);
}

} // namespace platform::ui
