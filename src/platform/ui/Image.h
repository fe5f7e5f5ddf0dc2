#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QMarginsF>
#include <QPixmap>
#include <QSizeF>
#include <QString>

#include <memory>

class QPainter;

namespace platform::ui {

// An image as the screens use it: pixels with a scale (size in points = pixels / scale),
// optionally resizable by cap insets (nine-patch: corners kept, edges and centre
// stretched or tiled). A null image draws nothing.
class Image {
public:
    enum class ResizingMode { Tile = 0, Stretch = 1 };

    Image() = default;
    explicit Image(QImage image, double scale = 1.0);

    // The bundled image of that name ("name.png", or the "@2x" variant at scale 2) from
    // the resources' images folder, or else the resources folder; a null image when there
    // is none. The name is a path inside the resources: an absolute one, or one with a
    // ".." part, finds nothing. Found images are kept, within a bound of memory.
    static Image named(const QString& name);
    // The image named by name followed by suffix ("database" + "Blue"); when there is
    // none, the image of the plain name.
    static Image themedNamed(const QString& name, const QString& suffix);
    // A new image of the size filled with the colour (scale of the screen, not opaque).
    static Image withColor(const QColor& color, const QSizeF& size);
    // The image drawn and then filled with the colour in source-atop blending: every
    // opaque pixel takes the colour, transparency is kept.
    static Image masked(const Image& image, const QColor& color);
    static Image maskNamed(const QString& name, const QColor& color);
    // Forgets cached bundle images and the files listed (tests that write resources).
    static void clearCache();
    // How many bundle images are kept now.
    static qsizetype cachedCount();

    bool isNull() const { return m_image.isNull(); }
    QSizeF size() const;
    double scale() const { return m_scale; }
    const QImage& image() const { return m_image; }
    QPixmap pixmap() const;

    Image resizableWithCapInsets(
        const QMarginsF& insets, ResizingMode mode = ResizingMode::Stretch) const;
    bool isResizable() const { return m_resizable; }
    QMarginsF capInsets() const { return m_capInsets; }
    ResizingMode resizingMode() const { return m_mode; }

    // Draws the image into the rectangle; a resizable image keeps its caps.
    void draw(QPainter& painter, const QRectF& rect) const;
    // A brush that tiles the image at its point size (pattern colours).
    QBrush patternBrush() const;

    bool operator==(const Image& other) const;

private:
    // Copies of the pixels at the sizes the image was last drawn at, shared by the copies
    // of the image: scaling a tile's icon at every paint costs more than drawing it.
    struct ScaledCopies;
    // What to draw into the rectangle: the pixels, or a copy scaled to the rectangle's
    // device pixels when the painter draws it upright at a whole number of them.
    QImage drawnAt(const QPainter& painter, const QRectF& rect) const;
    // The pixels scaled to the size, made once for a few sizes.
    QImage scaledTo(const QSize& pixels) const;

    QImage m_image;
    std::shared_ptr<ScaledCopies> m_scaledCopies;
    double m_scale = 1.0;
    bool m_resizable = false;
    QMarginsF m_capInsets;
    ResizingMode m_mode = ResizingMode::Stretch;
};

} // namespace platform::ui

Q_DECLARE_METATYPE(platform::ui::Image)
