#include "platform/ui/PatternFills.h"

#include "platform/ui/Image.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
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

} // namespace

QPixmap PatternFills::fill(const Image& pattern, const QSize& pixels, double ratio)
{
    const qint64 image = pattern.image().cacheKey();
    const double scale = pattern.scale();
    auto& fills = kept();
    auto found = std::find_if(fills.begin(), fills.end(),
        [&](const Kept& k) { return k.image == image && k.scale == scale && k.ratio == ratio; });
    const QSize has = found == fills.end() ? QSize(0, 0) : found->fill.size();
    if (has.width() >= pixels.width() && has.height() >= pixels.height())
        return found->fill;
    // A wide view and a tall one would together ask for more than either: such a view
    // keeps a fill of its own.
    const QSize size = has.expandedTo(pixels);
    if (qint64(size.width()) * size.height() > MostPixels)
        return {};
    QImage drawn(size, QImage::Format_ARGB32_Premultiplied);
    drawn.setDevicePixelRatio(ratio);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath area;
    area.addRect(QRectF(QPointF(0, 0), QSizeF(size) / ratio));
    painter.fillPath(area, pattern.patternBrush());
    painter.end();
    // An opaque fill becomes an opaque pixmap, which is copied rather than blended.
    QPixmap drawnFill = QPixmap::fromImage(std::move(drawn));
    if (found == fills.end())
        fills.push_back({ image, scale, ratio, drawnFill });
    else
        found->fill = drawnFill; // the views holding the smaller one take this at their next paint
    return drawnFill;
}

void PatternFills::forgetUnused()
{
    auto& fills = kept();
    fills.erase(std::remove_if(fills.begin(), fills.end(),
                    [](const Kept& k) { return k.fill.isNull() || k.fill.isDetached(); }),
        fills.end());
}

qint64 PatternFills::keptPixels()
{
    qint64 pixels = 0;
    for (const Kept& k : kept())
        pixels += qint64(k.fill.width()) * k.fill.height();
    return pixels;
}

} // namespace platform::ui
