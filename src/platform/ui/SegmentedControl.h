#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationBar.h"

#include <QVariant>

namespace platform::ui {

// A row of segments, each a title or an image. A tap selects a segment and sends
// value-changed; a momentary control shows the tap only while pressed. Title attributes
// and background images per state.
class SegmentedControl : public Control {
    Q_OBJECT
public:
    static constexpr int NoSegment = -1;

    // Items are texts or Images.
    explicit SegmentedControl(const QVariantList& items = {}, QWidget* parent = nullptr);

    int numberOfSegments() const { return int(m_items.size()); }
    void insertSegmentWithTitle(const QString& title, int index);
    void removeAllSegments();
    QString titleForSegmentAtIndex(int index) const;
    void setTitle(const QString& title, int index);

    // A disabled segment is drawn faint and takes no taps.
    void setEnabledForSegmentAtIndex(bool enabled, int index);
    bool isEnabledForSegmentAtIndex(int index) const;
    int selectedSegmentIndex() const { return m_selected; }
    void setSelectedSegmentIndex(int index);
    bool isMomentary() const { return m_momentary; }
    void setMomentary(bool momentary) { m_momentary = momentary; }
    void setSegmentedControlStyle(int style) { m_style = style; }
    int segmentedControlStyle() const { return m_style; }

    void setTitleTextAttributes(
        const TextAttributes& attributes, unsigned state = ControlStateNormal);
    TextAttributes titleTextAttributes(unsigned state = ControlStateNormal) const;
    void setBackgroundImage(const Image& image, unsigned state = ControlStateNormal);
    Image backgroundImage(unsigned state = ControlStateNormal) const;

    // A tap on the segment, as a person makes it.
    void tapSegment(int index);

    QSizeF sizeThatFits(const QSizeF& size) const override;

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int segmentAt(const QPointF& point) const;
    QRectF segmentRect(int index) const;

    QVariantList m_items;
    QList<int> m_disabled; // indexes of disabled segments
    int m_selected = NoSegment;
    int m_pressed = NoSegment;
    bool m_momentary = false;
    int m_style = 0;
    QMap<unsigned, TextAttributes> m_attributes;
    QMap<unsigned, Image> m_backgrounds;
};

} // namespace platform::ui
