#include "platform/ui/SegmentedControl.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Font.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace platform::ui {

SegmentedControl::SegmentedControl(const QVariantList& items, QWidget* parent)
    : Control(parent)
    , m_items(items)
{
    setFrame(QRectF(QPointF(0, 0), sizeThatFits({})));
}

void SegmentedControl::insertSegmentWithTitle(const QString& title, int index)
{
    index = std::clamp(index, 0, int(m_items.size()));
    m_items.insert(index, title);
    if (m_selected >= index)
        ++m_selected;
    for (int& disabled : m_disabled)
        if (disabled >= index)
            ++disabled;
    update();
}

void SegmentedControl::removeAllSegments()
{
    m_items.clear();
    m_disabled.clear();
    m_selected = NoSegment;
    update();
}

QString SegmentedControl::titleForSegmentAtIndex(int index) const
{
    const QVariant item = m_items.value(index);
    return item.metaType().id() == QMetaType::QString ? item.toString() : QString();
}

void SegmentedControl::setTitle(const QString& title, int index)
{
    if (index >= 0 && index < m_items.size()) {
        m_items[index] = title;
        update();
    }
}

void SegmentedControl::setEnabledForSegmentAtIndex(bool enabled, int index)
{
    if (enabled)
        m_disabled.removeAll(index);
    else if (!m_disabled.contains(index))
        m_disabled.append(index);
    update();
}

bool SegmentedControl::isEnabledForSegmentAtIndex(int index) const
{
    return !m_disabled.contains(index);
}

void SegmentedControl::setSelectedSegmentIndex(int index)
{
    m_selected = index >= 0 && index < m_items.size() ? index : NoSegment;
    update();
}

void SegmentedControl::setTitleTextAttributes(const TextAttributes& attributes, unsigned state)
{
    m_attributes[state] = attributes;
    update();
}

TextAttributes SegmentedControl::titleTextAttributes(unsigned state) const
{
    return m_attributes.value(state);
}

void SegmentedControl::setBackgroundImage(const Image& image, unsigned state)
{
    m_backgrounds[state] = image;
    update();
}

Image SegmentedControl::backgroundImage(unsigned state) const
{
    return m_backgrounds.value(state);
}

QSizeF SegmentedControl::sizeThatFits(const QSizeF&) const
{
    const TextAttributes a = m_attributes.value(ControlStateNormal);
    const QFont font = a.hasFont ? a.font : Font::system(13);
    double width = 0;
    for (const QVariant& item : m_items) {
        const double w = item.canConvert<Image>() && !item.value<Image>().isNull()
            ? item.value<Image>().size().width()
            : Font::measure(item.toString(), font).width();
        width = std::max(width, w + 20);
    }
    return QSizeF(std::max(40.0, width * std::max<qsizetype>(1, m_items.size())), 29);
}

QRectF SegmentedControl::segmentRect(int index) const
{
    const QRectF b = bounds();
    const double w = m_items.isEmpty() ? b.width() : b.width() / m_items.size();
    return QRectF(b.left() + index * w, b.top(), w, b.height());
}

int SegmentedControl::segmentAt(const QPointF& point) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (segmentRect(i).contains(point))
            return i;
    return NoSegment;
}

void SegmentedControl::tapSegment(int index)
{
    if (index < 0 || index >= m_items.size() || !isEnabled() || m_disabled.contains(index))
        return;
    if (!m_momentary)
        m_selected = index;
    else
        m_selected = index; // a momentary control still reports which segment was hit
    update();
    sendActionsForControlEvents(ControlEventValueChanged);
    if (m_momentary) {
        m_pressed = NoSegment;
        update();
    }
}

void SegmentedControl::mousePressEvent(QMouseEvent* event)
{
    m_pressed = segmentAt(event->position());
    if (m_disabled.contains(m_pressed))
        m_pressed = NoSegment;
    update();
    event->accept();
}

void SegmentedControl::mouseReleaseEvent(QMouseEvent* event)
{
    const int hit = segmentAt(event->position());
    const int pressed = m_pressed;
    m_pressed = NoSegment;
    if (hit == pressed)
        tapSegment(hit);
    update();
    event->accept();
}

void SegmentedControl::drawRect(QPainter& painter, const QRectF& rect)
{
    const QColor tint = tintColor();
    const QRectF frame = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    const Image background = m_backgrounds.value(ControlStateNormal);
    if (!background.isNull())
        background.draw(painter, rect);
    QPainterPath outline;
    outline.addRoundedRect(frame, 4, 4);
    const TextAttributes normal = m_attributes.value(ControlStateNormal);
    const QFont font = normal.hasFont ? normal.font : Font::system(13);
    for (int i = 0; i < m_items.size(); ++i) {
        const QRectF r = segmentRect(i);
        const bool on = (!m_momentary && i == m_selected) || i == m_pressed;
        if (on && background.isNull()) {
            painter.save();
            painter.setClipPath(outline);
            QColor fill = tint;
            if (i == m_pressed && m_momentary)
                fill.setAlphaF(0.35);
            painter.fillRect(r, fill);
            painter.restore();
        }
        const QVariant item = m_items.at(i);
        const bool enabled = isEnabled() && !m_disabled.contains(i);
        if (item.canConvert<Image>() && !item.value<Image>().isNull()) {
            const Image image = item.value<Image>();
            painter.save();
            if (!enabled)
                painter.setOpacity(0.4);
            const QSizeF s = image.size().boundedTo(r.size() - QSizeF(6, 6));
            image.draw(painter,
                QRectF(r.center().x() - s.width() / 2, r.center().y() - s.height() / 2, s.width(),
                    s.height()));
            painter.restore();
        } else {
            const TextAttributes a = on && m_attributes.contains(ControlStateSelected)
                ? m_attributes.value(ControlStateSelected)
                : normal;
            QColor color = a.foregroundColor.isValid() ? a.foregroundColor : tint;
            if (on && background.isNull() && !m_attributes.contains(ControlStateSelected))
                color = Qt::white;
            painter.setFont(a.hasFont ? a.font : font);
            painter.setPen(enabled ? color : QColor(color.red(), color.green(), color.blue(), 100));
            painter.drawText(r.adjusted(4, 0, -4, 0), Qt::AlignCenter, item.toString());
        }
        if (i > 0 && background.isNull()) {
            painter.setPen(QPen(tint, 1));
            painter.drawLine(QPointF(r.left(), r.top()), QPointF(r.left(), r.bottom()));
        }
    }
    if (background.isNull()) {
        painter.setPen(QPen(tint, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(outline);
    }
}

} // namespace platform::ui
