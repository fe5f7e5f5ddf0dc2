#include "platform/ui/Image.h"

#include "platform/Folders.h"
#include "platform/ui/Device.h"

#include <QCache>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPaintEngine>
#include <QPainter>
#include <QSet>

#include <array>
#include <cmath>
#include <mutex>

namespace platform::ui {

namespace {

// Found images kept between lookups, up to this many kilobytes of pixels: screens ask for
// the same few icons at every paint.
constexpr qsizetype CachedKilobytes = 64 * 1024;

// The image files under the resources folder, listed once: a name that finds none costs
// a lookup, not four attempts to open a file, so names taken from data (the items of a
// choice) cost nothing to try.
struct Bundle {
    std::mutex mutex;
    QString root;
    bool listed = false;
    QSet<QString> files; // relative to the root
    QCache<QString, Image> images { CachedKilobytes };
};

Bundle& bundle()
{
    static Bundle shared;
    return shared;
}

// A name resolves inside the resources alone: none that starts at a root or climbs out of
// a folder.
bool staysInside(const QString& name)
{
    if (name.isEmpty() || QDir::isAbsolutePath(name) || name.startsWith(u'\\'))
        return false;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name.at(i) != u'/' && name.at(i) != u'\\')
            continue;
        if (QStringView(name).mid(start, i - start) == u"..")
            return false;
        start = i + 1;
    }
    return true;
}

void list(Bundle& bundle, const QString& root)
{
    bundle.root = root;
    bundle.listed = true;
    bundle.files.clear();
    const QDir folder(root);
    QDirIterator it(root,
        { QStringLiteral("*.png"), QStringLiteral("*.jpg"), QStringLiteral("*.jpeg") }, QDir::Files,
        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext())
        bundle.files.insert(folder.relativeFilePath(it.next()));
}

Image load(const Bundle& bundle, const QString& name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    const bool hasExtension = suffix == u"png" || suffix == u"jpg" || suffix == u"jpeg";
    const auto read = [&](const QString& file, double scale) {
        if (!bundle.files.contains(file))
            return Image();
        const QImage image(bundle.root + u'/' + file);
        return image.isNull() ? Image() : Image(image, scale);
    };
    for (const QString& folder : { QStringLiteral("images/"), QString() }) {
        if (hasExtension) {
            if (Image image = read(folder + name, 1.0); !image.isNull())
                return image;
            continue;
        }
        if (Image image = read(folder + name + QStringLiteral("@2x.png"), 2.0); !image.isNull())
            return image;
        if (Image image = read(folder + name + QStringLiteral(".png"), 1.0); !image.isNull())
            return image;
    }
    return {};
}

} // namespace

struct Image::ScaledCopies {
    std::mutex mutex;
    // The last sizes drawn at, the oldest replaced first.
    std::array<QImage, 4> copies;
    size_t next = 0;
};

Image::Image(QImage image, double scale)
    : m_image(std::move(image))
    , m_scaledCopies(std::make_shared<ScaledCopies>())
    , m_scale(scale > 0 ? scale : 1.0)
{
    if (!m_image.isNull() && m_image.format() != QImage::Format_ARGB32_Premultiplied)
        m_image = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage Image::drawnAt(const QPainter& painter, const QRectF& rect) const
{
    // Drawn on the screen at a whole number of device pixels other than its own, with no
    // turning or skewing: a copy scaled once to that size is drawn pixel for pixel. A
    // document (PDF, print) keeps the pixels themselves.
    constexpr qint64 MostScaledPixels = 256 * 256;
    const QPaintEngine* engine = painter.paintEngine();
    const QTransform& device = painter.deviceTransform();
    if (!m_scaledCopies || !engine || engine->type() != QPaintEngine::Raster
        || device.type() > QTransform::TxScale || device.m11() <= 0 || device.m11() != device.m22())
        return m_image;
    const QSizeF exact = rect.size() * device.m11();
    const QSize pixels = exact.toSize();
    if (pixels == m_image.size() || pixels.isEmpty()
        || qint64(pixels.width()) * pixels.height() > MostScaledPixels
        || std::abs(exact.width() - pixels.width()) >= 0.01
        || std::abs(exact.height() - pixels.height()) >= 0.01)
        return m_image;
    return scaledTo(pixels);
}

QImage Image::scaledTo(const QSize& pixels) const
{
    std::lock_guard lock(m_scaledCopies->mutex);
    auto& copies = m_scaledCopies->copies;
    for (const QImage& copy : copies) {
        if (copy.size() == pixels)
            return copy;
    }
    QImage& slot = copies[m_scaledCopies->next];
    m_scaledCopies->next = (m_scaledCopies->next + 1) % copies.size();
    slot = m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return slot;
}

Image Image::named(const QString& name)
{
    if (!staysInside(name))
        return {};
    Bundle& shared = bundle();
    std::lock_guard lock(shared.mutex);
    const QString root = Folders::resources();
    if (!shared.listed || shared.root != root) {
        shared.images.clear();
        list(shared, root);
    }
    if (const Image* kept = shared.images.object(name))
        return *kept;
    Image image = load(shared, name);
    if (!image.isNull())
        shared.images.insert(name, new Image(image), 1 + image.image().sizeInBytes() / 1024);
    return image;
}

Image Image::themedNamed(const QString& name, const QString& suffix)
{
    Image themed = named(name + suffix);
    return themed.isNull() ? named(name) : themed;
}

Image Image::withColor(const QColor& color, const QSizeF& size)
{
    const double scale = Device::current().scale();
    const QSize pixels(
        std::max(1, qRound(size.width() * scale)), std::max(1, qRound(size.height() * scale)));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(color.isValid() ? color : QColor(Qt::transparent));
    return Image(image, scale);
}

Image Image::masked(const Image& source, const QColor& color)
{
    if (source.isNull())
        return {};
    QImage image = source.m_image.copy();
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(image.rect(), color);
    painter.end();
    return Image(image, source.m_scale);
}

Image Image::maskNamed(const QString& name, const QColor& color)
{
    return masked(named(name), color);
}

void Image::clearCache()
{
    Bundle& shared = bundle();
    std::lock_guard lock(shared.mutex);
    shared.images.clear();
    shared.listed = false;
    shared.files.clear();
}

qsizetype Image::cachedCount()
{
    Bundle& shared = bundle();
    std::lock_guard lock(shared.mutex);
    return shared.images.count();
}

QSizeF Image::size() const
{
    if (m_image.isNull())
        return { 0, 0 };
    return QSizeF(m_image.width() / m_scale, m_image.height() / m_scale);
}

QPixmap Image::pixmap() const
{
    QPixmap pixmap = QPixmap::fromImage(m_image);
    pixmap.setDevicePixelRatio(m_scale);
    return pixmap;
}

Image Image::resizableWithCapInsets(const QMarginsF& insets, ResizingMode mode) const
{
    Image copy = *this;
    copy.m_resizable = true;
    copy.m_capInsets = insets;
    copy.m_mode = mode;
    return copy;
}

void Image::draw(QPainter& painter, const QRectF& rect) const
{
    if (isNull() || rect.isEmpty())
        return;
    if (!m_resizable) {
        // Only the hint changes: cheaper to set back than to save the painter.
        const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(rect, drawnAt(painter, rect));
        painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // Nine patches: source cuts in pixels, target cuts in points.
    const QSizeF pts = size();
    const double l = std::min(m_capInsets.left(), pts.width() / 2);
    const double r = std::min(m_capInsets.right(), pts.width() - l);
    const double t = std::min(m_capInsets.top(), pts.height() / 2);
    const double b = std::min(m_capInsets.bottom(), pts.height() - t);
    const double tl = std::min(l, rect.width() / 2), tr = std::min(r, rect.width() / 2);
    const double tt = std::min(t, rect.height() / 2), tb = std::min(b, rect.height() / 2);
    const double sx[4] = { 0, l, pts.width() - r, pts.width() };
    const double sy[4] = { 0, t, pts.height() - b, pts.height() };
    const double dx[4] = { rect.left(), rect.left() + tl, rect.right() - tr, rect.right() };
    const double dy[4] = { rect.top(), rect.top() + tt, rect.bottom() - tb, rect.bottom() };
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const QRectF source(sx[col] * m_scale, sy[row] * m_scale,
                (sx[col + 1] - sx[col]) * m_scale, (sy[row + 1] - sy[row]) * m_scale);
            const QRectF target(dx[col], dy[row], dx[col + 1] - dx[col], dy[row + 1] - dy[row]);
            if (source.width() <= 0 || source.height() <= 0 || target.width() <= 0
                || target.height() <= 0)
                continue;
            const bool middle = row == 1 || col == 1;
            if (m_mode == ResizingMode::Tile && middle) {
                QImage piece = m_image.copy(source.toAlignedRect());
                QPixmap tile = QPixmap::fromImage(piece);
                tile.setDevicePixelRatio(m_scale);
                painter.drawTiledPixmap(target, tile);
            } else {
                painter.drawImage(target, m_image, source);
            }
        }
    }
    painter.restore();
}

QBrush Image::patternBrush() const
{
    if (isNull())
        return QBrush(Qt::transparent);
    return QBrush(pixmap());
}

bool Image::operator==(const Image& other) const
{
    return m_image == other.m_image && m_scale == other.m_scale && m_resizable == other.m_resizable
        && m_capInsets == other.m_capInsets && m_mode == other.m_mode;
}

} // namespace platform::ui
