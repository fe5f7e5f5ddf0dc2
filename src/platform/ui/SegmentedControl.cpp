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
    update();
}

void SegmentedControl::removeAllSegments()
{
    m_items.clear();
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
    if (index < 0 || index >= m_items.size() || !isEnabled())
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
        if (item.canConvert<Image>() && !item.value<Image>().isNull()) {
            const Image image = item.value<Image>();
            const QSizeF s = image.size().boundedTo(r.size() - QSizeF(6, 6));
            image.draw(painter, QRectF(r.center().x() - s.width() / 2, r.center().y() - s.height() / 2,
                                       s.width(), s.height()));
        } else {
            const TextAttributes a = on && m_attributes.contains(ControlStateSelected)
                ? m_attributes.value(ControlStateSelected)
                : normal;
            QColor color = a.foregroundColor.isValid() ? a.foregroundColor : tint;
            if (on && background.isNull() && !m_attributes.contains(ControlStateSelected))
                color = Qt::white;
            painter.setFont(a.hasFont ? a.font : font);
            painter.setPen(isEnabled() ? color : QColor(color.red(), color.green(), color.blue(), 100));
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
    const QRectF track = QRectF(rect.left() + 1, rect.center().y() - 15, 49, 30);
    QColor off(229, 229, 234);
    QColor fill = QColor::fromRgbF(off.redF() + (m_onTint.redF() - off.redF()) * m_knob,
                                   off.greenF() + (m_onTint.greenF() - off.greenF()) * m_knob,
                                   off.blueF() + (m_onTint.blueF() - off.blueF()) * m_knob);
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? fill : fill.lighter(120));
    painter.drawRoundedRect(track, 15, 15);
    const double x = track.left() + 2 + (track.width() - 30) * m_knob;
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(QRectF(x, track.top() + 3, 26, 26));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(x, track.top() + 2, 26, 26));
}

ImageView::ImageView(const Image& image, QWidget* parent)
    : View(parent)
    , m_image(image)
{
    setUserInteractionEnabled(false);
    if (!image.isNull())
        setFrame(QRectF(QPointF(0, 0), image.size()));
}

void ImageView::setImage(const Image& image)
{
    m_image = image;
    update();
    emit imageChanged();
}

void ImageView::setHighlightedImage(const Image& image)
{
    m_highlightedImage = image;
    update();
}

void ImageView::setHighlighted(bool highlighted)
{
    m_highlighted = highlighted;
    update();
}

void ImageView::setContentMode(ContentMode mode)
{
    m_mode = mode;
    update();
}

QSizeF ImageView::sizeThatFits(const QSizeF&) const
{
    return m_image.size();
}

QRectF ImageView::imageRect() const
{
    const QRectF b = bounds();
    const Image& image = m_highlighted && !m_highlightedImage.isNull() ? m_highlightedImage : m_image;
    const QSizeF s = image.size();
    if (image.isNull() || s.isEmpty())
        return {};
    switch (m_mode) {
    case ContentMode::ScaleToFill:
        return b;
    case ContentMode::ScaleAspectFit:
    case ContentMode::ScaleAspectFill: {
        const double fx = b.width() / s.width(), fy = b.height() / s.height();
        const double f = m_mode == ContentMode::ScaleAspectFit ? std::min(fx, fy) : std::max(fx, fy);
        const QSizeF t(s.width() * f, s.height() * f);
        return QRectF(b.center().x() - t.width() / 2, b.center().y() - t.height() / 2, t.width(), t.height());
    }
    case ContentMode::Center:
        return QRectF(b.center().x() - s.width() / 2, b.center().y() - s.height() / 2, s.width(), s.height());
    case ContentMode::Top:
        return QRectF(b.center().x() - s.width() / 2, 0, s.width(), s.height());
    case ContentMode::Bottom:
        return QRectF(b.center().x() - s.width() / 2, b.bottom() - s.height(), s.width(), s.height());
    case ContentMode::Left:
        return QRectF(0, b.center().y() - s.height() / 2, s.width(), s.height());
    case ContentMode::Right:
        return QRectF(b.right() - s.width(), b.center().y() - s.height() / 2, s.width(), s.height());
    }
    return b;
}

void ImageView::drawRect(QPainter& painter, const QRectF& rect)
{
    const Image& image = m_highlighted && !m_highlightedImage.isNull() ? m_highlightedImage : m_image;
    painter.save();
    if (m_mode == ContentMode::ScaleAspectFill)
        painter.setClipRect(rect);
    image.draw(painter, imageRect());
    painter.restore();
}

} // namespace platform::ui
