#include "platform/ui/PatternFills.h"

#include "platform/ui/Image.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace platform::ui {

namespace {

struct Kept {
    qint64 image = 0;
    double scale = 0;
    double ratio = 0;
    QPixmap fill;
};

std::vector<Kept>& kept()
{
    static std::vector<Kept> fills;
    return fills;
}

std::vector<Kept>& keptTiles()
{
    static std::vector<Kept> tiles;
    return tiles;
}

// The kept pixmap of the pattern at that device pixel ratio, or the list's end.
std::vector<Kept>::iterator findKept(std::vector<Kept>& list, const Image& pattern, double ratio)
{
    const qint64 image = pattern.image().cacheKey();
    const double scale = pattern.scale();
    return std::find_if(list.begin(), list.end(),
        [&](const Kept& k) { return k.image == image && k.scale == scale && k.ratio == ratio; });
}

// The pattern over the area, as a view draws it.
QPixmap drawPattern(const Image& pattern, const QSize& pixels, double ratio)
{
    QImage drawn(pixels, QImage::Format_ARGB32_Premultiplied);
    drawn.setDevicePixelRatio(ratio);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath area;
    area.addRect(QRectF(QPointF(0, 0), QSizeF(pixels) / ratio));
    painter.fillPath(area, pattern.patternBrush());
    painter.end();
    // An opaque fill becomes an opaque pixmap, which is copied rather than blended.
    return QPixmap::fromImage(std::move(drawn));
}

// The side of a tile of whole periods, in device pixels, for a pattern side of `pixels`
// image pixels shown at `perPixel` device pixels each. Only a power of two between a
// quarter and four is sampled exactly all along a view (others gather rounding error).
std::optional<int> tileSide(int pixels, double perPixel)
{
    const double power = std::log2(perPixel);
    if (pixels <= 0 || std::abs(power - std::round(power)) > 1e-9 || std::abs(power) > 2)
        return std::nullopt;
    const double period = pixels * std::exp2(std::round(power));
    // A period of a quarter pixel's fraction repeats after at most four of it.
    int whole = 0;
    for (int count = 1; count <= 4 && whole == 0; ++count)
        if (const double side = period * count; side == std::round(side))
            whole = int(side);
    if (whole == 0)
        return std::nullopt;
    return whole * std::max(1, (PatternFills::MinTileSide + whole - 1) / whole);
}

} // namespace

QPixmap PatternFills::tile(const Image& pattern, double ratio)
{
    if (pattern.isNull() || pattern.scale() <= 0 || ratio <= 0)
        return {};
    auto& tiles = keptTiles();
    if (const auto found = findKept(tiles, pattern, ratio); found != tiles.end())
        return found->fill;
    const double perPixel = ratio / pattern.scale();
    const auto width = tileSide(pattern.image().width(), perPixel);
    const auto height = tileSide(pattern.image().height(), perPixel);
    if (!width || !height || qint64(*width) * *height > MostPixels)
        return {};
    const QPixmap drawn = drawPattern(pattern, QSize(*width, *height), ratio);
    tiles.push_back({ pattern.image().cacheKey(), pattern.scale(), ratio, drawn });
    return drawn;
}

QPixmap PatternFills::fill(const Image& pattern, const QSize& pixels, double ratio)
{
    auto& fills = kept();
    const auto found = findKept(fills, pattern, ratio);
    const QSize has = found == fills.end() ? QSize(0, 0) : found->fill.size();
    if (has.width() >= pixels.width() && has.height() >= pixels.height())
        return found->fill;
    // A wide view and a tall one would together ask for more than either: such a view
    // keeps a fill of its own.
    const QSize size = has.expandedTo(pixels);
    if (qint64(size.width()) * size.height() > MostPixels)
        return {};
    const QPixmap drawnFill = drawPattern(pattern, size, ratio);
    if (found == fills.end())
        fills.push_back({ pattern.image().cacheKey(), pattern.scale(), ratio, drawnFill });
    else
        found->fill = drawnFill; // the views holding the smaller one take this at their next paint
    return drawnFill;
}

void PatternFills::forgetUnused()
{
    for (auto* fills : { &kept(), &keptTiles() })
        fills->erase(std::remove_if(fills->begin(), fills->end(),
                         [](const Kept& k) { return k.fill.isNull() || k.fill.isDetached(); }),
            fills->end());
}

qint64 PatternFills::keptPixels()
{
    qint64 pixels = 0;
    for (const auto* fills : { &kept(), &keptTiles() })
        for (const Kept& k : *fills)
            pixels += qint64(k.fill.width()) * k.fill.height();
    return pixels;
}

} // namespace platform::ui
