#pragma once

#include <QImage>
#include <QList>
#include <QPointF>

// Pixel-arithmetic filters on images. Every filter leaves its image alone and returns a new
// one. Pixels are worked on as 4 bytes red, green, blue, alpha (premultiplied when the image
// has alpha; a fourth byte that is ignored when it has none).
namespace ImageFilter {

// Rewrites one pixel in place (pointer to its red byte) with the filter's parameters.
using PixelFunction = void (*)(uchar* pixel, const void* context);
// Rewrites one base pixel from the other image's pixel at the same place.
using BlendFunction = void (*)(uchar* pixel, const uchar* otherPixel, const void* context);
// Rows of double weights; both counts odd, every row as long as the first.
using Kernel = QList<QList<double>>;

// Channel mask bits of a curve.
enum Channel : unsigned { ChannelRed = 1, ChannelGreen = 2, ChannelBlue = 4 };

// Per-pixel filters.
QImage greyscale(const QImage& image);
QImage sepia(const QImage& image);
// Levels 1...255 (others are taken as the nearest of those).
QImage posterize(const QImage& image, qint32 levels);
QImage saturate(const QImage& image, double amount);
QImage brightness(const QImage& image, double factor);
QImage gamma(const QImage& image, double exponent);
QImage opacity(const QImage& image, double factor);
QImage contrast(const QImage& image, double factor);
QImage bias(const QImage& image, double amount);
QImage invert(const QImage& image);
QImage noise(const QImage& image, double amount);
QImage levels(const QImage& image, qint64 black, qint64 mid, qint64 white);
// Gains: each channel times (gain + 1).
QImage adjust(const QImage& image, double r, double g, double b);
// A tone curve through at least two points (0...255 both ways) for the channels in the mask.
QImage applyCurve(const QImage& image, const QList<QPointF>& points, unsigned toChannel);

// Two-image blends; only the part the two images share is blended, the rest of the base
// is kept as it is.
QImage overlay(const QImage& image, const QImage& other);
QImage mask(const QImage& image, const QImage& other);
QImage merge(const QImage& image, const QImage& other);

// Convolution; neighbours outside the image count nothing; the result is opaque.
QImage applyConvolve(const QImage& image, const Kernel& kernel);
QImage sharpen(const QImage& image);
QImage edgeDetect(const QImage& image);
QImage gaussianBlur(const QImage& image, qint32 radius);

// Composite looks.
QImage lomo(const QImage& image);
QImage vignette(const QImage& image);
QImage darkVignette(const QImage& image);
QImage polaroidish(const QImage& image);

// The frames the filters above are built on.
QImage applyFilter(const QImage& image, PixelFunction function, const void* context);
QImage applyBlendFilter(
    const QImage& image, BlendFunction function, const QImage& other, const void* context);
// A normalised Gaussian kernel of size x size, size 1 to 4095 (1 is the identity).
Kernel makeKernel(qint32 size);
// The value of the polyline through the points at x (0...255), by the segment that spans x;
// the first or last point's y where no segment does.
double valueGivenCurve(const QPointF* points, qsizetype count, double x);

} // namespace ImageFilter
