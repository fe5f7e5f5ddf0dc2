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

    int selectedSegmentIndex() const { return m_selected; }
    void setSelectedSegmentIndex(int index);
    bool isMomentary() const { return m_momentary; }
    void setMomentary(bool momentary) { m_momentary = momentary; }
    void setSegmentedControlStyle(int style) { m_style = style; }
    int segmentedControlStyle() const { return m_style; }

    void setTitleTextAttributes(const TextAttributes& attributes, unsigned state = ControlStateNormal);
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
    int m_selected = NoSegment;
    int m_pressed = NoSegment;
    bool m_momentary = false;
    int m_style = 0;
    QMap<unsigned, TextAttributes> m_attributes;
    QMap<unsigned, Image> m_backgrounds;
};

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

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_on = false;
    double m_knob = 0; // 0 off ... 1 on, shown
    QColor m_onTint = QColor(76, 217, 100);
};

// Shows an image by its content mode. The image is an observable property.
class ImageView : public View {
    Q_OBJECT
    Q_PROPERTY(platform::ui::Image image READ image WRITE setImage NOTIFY imageChanged)
public:
    enum class ContentMode { ScaleToFill = 0, ScaleAspectFit = 1, ScaleAspectFill = 2,
                             Center = 4, Top = 5, Bottom = 6, Left = 7, Right = 8 };

    explicit ImageView(const Image& image = {}, QWidget* parent = nullptr);

    Image image() const { return m_image; }
    void setImage(const Image& image);
    Image highlightedImage() const { return m_highlightedImage; }
    void setHighlightedImage(const Image& image);
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    ContentMode contentMode() const { return m_mode; }
    void setContentMode(ContentMode mode);

    // Where the image is drawn inside the bounds.
    QRectF imageRect() const;
    QSizeF sizeThatFits(const QSizeF& size) const override;

signals:
    void imageChanged();

protected:
    void drawRect(QPainter& painter, const QRectF& rect) override;

private:
    Image m_image;
    Image m_highlightedImage;
    bool m_highlighted = false;
    ContentMode m_mode = ContentMode::ScaleToFill;
};

} // namespace platform::ui
