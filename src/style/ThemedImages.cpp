#include "style/ThemedImages.h"

#include "platform/ui/Device.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"

#include <QHash>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace ThemedImages {

const QString BlackSuffix = QStringLiteral("Black");
const QString RedSuffix = QStringLiteral("Red");
const QString UnknownMaster = QStringLiteral("unknownBlack");

namespace {

QString setting(QVariant (Preferences::*getter)() const)
{
    Preferences* preferences = KivoAppDelegate::ApplicationDelegate()->currentPreferences();
    return preferences ? (preferences->*getter)().toString() : QString();
}

// A transparent canvas of the pixel size.
QImage canvas(const QSize& pixels)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The image's pixels, painted pixel for pixel: a bundled "@2x" file comes with a device
// pixel ratio that would halve it on a canvas, while Image keeps its scale itself.
QImage bitmap(const Image& image)
{
    QImage pixels = image.image();
    pixels.setDevicePixelRatio(1);
    return pixels;
}

// Masters recoloured, by the master's pixels (as loaded) and the colour: every tile of a
// table shows the same icon.
using RecolouredKey = std::pair<qint64, QRgb>;
QHash<RecolouredKey, Image>& recoloured()
{
    static QHash<RecolouredKey, Image> images;
    return images;
}

QSize pixelsFor(const QSizeF& points, double scale)
{
    return QSize(
        std::max(1, qRound(points.width() * scale)), std::max(1, qRound(points.height() * scale)));
}

} // namespace

QString joined(const QString& name, const QString& suffix)
{
    return name + suffix;
}

Image themedimageNamed(const QString& name)
{
    const Image themed = Image::named(joined(name, setting(&Preferences::imagetheme)));
    return themed.isNull() ? themedimageNamed1(name) : themed;
}

Image barthemedimageNamed(const QString& name)
{
    const Image themed = Image::named(joined(name, setting(&Preferences::bartheme)));
    return themed.isNull() ? Image::named(name) : themed;
}

Image themedimageNamed1(const QString& name)
{
    // Without a style there is no image colour: the master comes back as it is.
    Theme* style = Theme::current();
    return themedimageNamed1(name, style ? style->imageColor() : Color::clearColor());
}

Image themedimageNamed1(const QString& name, const Color& color)
{
    const Image plain = Image::named(name);
    if (!plain.isNull())
        return plain;
    // A pattern colour is drawn afresh each time; a plain one is recoloured once.
    const bool keep = color.patternImage().isNull();
    for (const QString& master :
        { joined(name, BlackSuffix), joined(name, RedSuffix), UnknownMaster }) {
        const Image base = Image::named(master);
        if (base.isNull())
            continue;
        const RecolouredKey key { base.image().cacheKey(), color.toQColor().rgba() };
        if (keep) {
            const auto found = recoloured().constFind(key);
            if (found != recoloured().constEnd())
                return *found;
        }
        const Image tinted = maskUIImage(maskImageWithWhite(master, color), color);
        // The master stays beneath its recoloured copy, so its edges keep their shape.
        const Image drawn = drawImages(base, tinted);
        if (keep)
            recoloured().insert(key, drawn);
        return drawn;
    }
    return {};
}

void forgetRecoloured()
{
    recoloured().clear();
}

Image maskImageWithWhite(const QString& masterName, const Color& color)
{
    const Image master = Image::named(masterName);
    if (master.isNull())
        return {};
    const QSize pixels = master.image().size();

    // The master flattened on white: its ink is what is not white.
    QImage flat(pixels, QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, bitmap(master));
    }

    // Dark shows the colour, white nothing. A channel at its lowest counts as ink, so a
    // red master recolours as fully as a black one.
    QImage mask = canvas(pixels);
    for (int y = 0; y < pixels.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(flat.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const int ink = std::min({ qRed(in[x]), qGreen(in[x]), qBlue(in[x]) });
            out[x] = qRgba(0, 0, 0, 255 - ink);
        }
    }

    QImage plate = canvas(pixels);
    QPainter painter(&plate);
    painter.fillRect(plate.rect(), color.toBrush());
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.drawImage(0, 0, mask);
    painter.end();
    return Image(plate, master.scale());
}

Image maskUIImage(const Image& image, const Color& color)
{
    if (image.isNull())
        return {};
    QImage tinted = bitmap(image).copy();
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(tinted.rect(), color.toBrush());
    painter.end();
    return Image(tinted, image.scale());
}

Image maskImage(const QString& name, const Color& color)
{
    return maskUIImage(Image::named(name), color);
}

Image drawImages(const Image& image1, const Image& image2)
{
    if (image1.isNull())
        return {};
    QImage result = canvas(image1.image().size());
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(result.rect()), bitmap(image1));
    if (!image2.isNull())
        painter.drawImage(QRectF(result.rect()), bitmap(image2));
    painter.end();
    return Image(result, image1.scale());
}

Image imageWithColor(const Color& color, const QSizeF& size)
{
    const double scale = platform::ui::Device::current().scale();
    QImage image = canvas(pixelsFor(size, scale));
    QPainter painter(&image);
    painter.fillRect(image.rect(), color.toBrush());
    painter.end();
    return Image(image, scale);
}

Image resizeImage(const Image& image, const QSizeF& size)
{
    const double scale = platform::ui::Device::current().scale();
    QImage resized = canvas(pixelsFor(size, scale));
    QPainter painter(&resized);
    painter.scale(scale, scale);
    image.draw(painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return Image(resized, scale);
}

Image resizeImageNamed(const QString& name, const QSizeF& size)
{
    return resizeImage(Image::named(name), size);
}

Image replaceColor(const Color& color, const Image& image, float tolerance)
{
    if (image.isNull())
        return {};
    // A grey answers its level for red, green and blue alike, so it keys as the RGB
    // colour it looks like; a pattern has no components to compare.
    double red = 0, green = 0, blue = 0;
    if (!color.getRed(&red, &green, &blue, nullptr))
        return image;
    const double half = double(tolerance) / 2;
    auto within = [half](int value, double centre) {
        return value >= std::max(0.0, centre - half) && value <= std::min(255.0, centre + half);
    };
    red *= 255;
    green *= 255;
    blue *= 255;
    QImage keyed = bitmap(image).convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    for (int y = 0; y < keyed.height(); ++y) {
        uchar* pixel = keyed.scanLine(y);
        for (int x = 0; x < keyed.width(); ++x, pixel += 4) {
            if (within(pixel[0], red) && within(pixel[1], green) && within(pixel[2], blue))
                std::fill(pixel, pixel + 4, uchar(0));
        }
    }
    return Image(keyed, image.scale());
}

Image maskColor(const Image& image, const QList<double>& searchColor, const Color& color)
{
    if (image.isNull())
        return {};
    QImage keyed = bitmap(image).convertToFormat(QImage::Format_ARGB32);
    // Ranges for fewer than three components key nothing.
    if (searchColor.size() >= 6) {
        auto within = [&searchColor](int value, int component) {
            return value >= searchColor.at(2 * component)
                && value <= searchColor.at(2 * component + 1);
        };
        for (int y = 0; y < keyed.height(); ++y) {
            QRgb* pixel = reinterpret_cast<QRgb*>(keyed.scanLine(y));
            for (int x = 0; x < keyed.width(); ++x) {
                if (within(qRed(pixel[x]), 0) && within(qGreen(pixel[x]), 1)
                    && within(qBlue(pixel[x]), 2))
                    pixel[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    QImage result = canvas(pixelsFor(image.size(), 1.0));
    QPainter painter(&result);
    painter.fillRect(result.rect(), color.toBrush());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(result.rect()), keyed);
    painter.end();
    return Image(result, 1.0);
}

Image resizableImageWithCapInsets2(const Image& image, const QMarginsF& insets)
{
    return image.resizableWithCapInsets(insets, Image::ResizingMode::Stretch);
}

} // namespace ThemedImages
