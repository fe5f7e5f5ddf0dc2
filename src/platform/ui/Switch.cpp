#include "platform/ui/Switch.h"

#include "platform/ui/Animation.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

namespace platform::ui {

QColor& Switch::appearanceOnTintColor()
{
    static QColor color;
    return color;
}

Switch::Switch(QWidget* parent)
    : Control(parent)
{
    if (appearanceOnTintColor().isValid())
        m_onTint = appearanceOnTintColor();
    setFrame(QRectF(0, 0, 51, 31));
}

void Switch::setOn(bool on, bool animated)
{
    m_on = on;
    const double target = on ? 1.0 : 0.0;
    if (animated && !Animation::instant()) {
        Animation::animate(0.2, [this, target] {
            Animation::record(this, "knob", m_knob, target, [this](const QVariant& v) {
                m_knob = v.toDouble();
                update();
            });
        });
    } else {
        m_knob = target;
        update();
    }
}

void Switch::setOnTintColor(const QColor& color)
{
    m_onTint = color;
    update();
}

QSizeF Switch::sizeThatFits(const QSizeF&) const
{
    return QSizeF(51, 31);
}

void Switch::mouseReleaseEvent(QMouseEvent* event)
{
    Control::mouseReleaseEvent(event);
    if (rect().contains(event->position().toPoint()) && isEnabled()) {
        setOn(!m_on, true);
        sendActionsForControlEvents(ControlEventValueChanged);
    }
}

void Switch::drawRect(QPainter& painter, const QRectF& rect)
{
    if (isEnabled()) {
        drawSwitch(painter, rect, false);
        return;
    }
    // A disabled switch is the same switch faded as a whole, its knob still white over the
    // track; the track keeps an edge, so a light off track still shows on a white row.
    const double ratio = devicePixelRatioF();
    QImage layer((rect.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter inLayer(&layer);
        inLayer.setRenderHints(painter.renderHints());
        inLayer.translate(-rect.topLeft());
        drawSwitch(inLayer, rect, true);
    }
    painter.save();
    painter.setOpacity(DisabledOpacity);
    painter.drawImage(rect.topLeft(), layer);
    painter.restore();
}

void Switch::drawSwitch(QPainter& painter, const QRectF& rect, bool edged) const
{
    const QRectF track = QRectF(rect.left() + 1, rect.center().y() - 15, 49, 30);
    QColor off(229, 229, 234);
    QColor fill = QColor::fromRgbF(off.redF() + (m_onTint.redF() - off.redF()) * m_knob,
        off.greenF() + (m_onTint.greenF() - off.greenF()) * m_knob,
        off.blueF() + (m_onTint.blueF() - off.blueF()) * m_knob);
    painter.setBrush(fill);
    if (edged) {
        painter.setPen(QPen(fill.darker(125), 1));
        painter.drawRoundedRect(track.adjusted(0.5, 0.5, -0.5, -0.5), 14.5, 14.5);
    } else {
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(track, 15, 15);
    }
    painter.setPen(Qt::NoPen);
    const double x = track.left() + 2 + (track.width() - 30) * m_knob;
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(QRectF(x, track.top() + 3, 26, 26));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(x, track.top() + 2, 26, 26));
}

} // namespace platform::ui
