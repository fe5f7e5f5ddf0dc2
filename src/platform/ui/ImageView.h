#pragma once

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

namespace platform::ui {

// Shows an image by its content mode. The image is an observable property.
class ImageView : public View {
    Q_OBJECT
    Q_PROPERTY(platform::ui::Image image READ image WRITE setImage NOTIFY imageChanged)
public:
    enum class ContentMode {
        ScaleToFill = 0,
        ScaleAspectFit = 1,
        ScaleAspectFill = 2,
        Center = 4,
        Top = 5,
        Bottom = 6,
        Left = 7,
        Right = 8
    };

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
