#include "style/ImageFilter.h"

#include "platform/Exception.h"
#include "style/CatmullRomSpline.h"

#include <QDebug>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ImageFilter {

namespace {

const QString kTooFewPoints = QStringLiteral("[points count] > 1");
const QString kAboveRange = QStringLiteral("xValue <= 255");
const QString kBelowRange = QStringLiteral("xValue >= 0");
const QString kBadKernel
    = QStringLiteral("A kernel needs an odd number of rows and of columns, all rows alike");
// A larger Gaussian kernel would not fit in memory (its weights alone are size x size
// doubles); such a size is refused like one below 1.
constexpr qint64 kMaxKernelSize = 4095;
const QString kBadKernelSize = QStringLiteral("A kernel size must be 1 to %1").arg(kMaxKernelSize);
const char* const kAddingPoint = "Adding point";

constexpr int kRed = 0;
constexpr int kGreen = 1;
constexpr int kBlue = 2;
constexpr int kAlpha = 3;
constexpr int kBytesPerPixel = 4;

// Limits to 0...255 and drops the fraction; not-a-number counts as 0.
uchar clampByte(double v)
{
    if (!(v > 0.0))
        return 0;
    if (v >= 255.0)
        return 255;
    return uchar(v);
}

// The layout every filter works in: premultiplied RGBA, or RGB with an ignored fourth byte.
QImage::Format workingFormat(const QImage& image)
{
    return image.hasAlphaChannel() ? QImage::Format_RGBA8888_Premultiplied
                                   : QImage::Format_RGBX8888;
}

// A private, detached copy in the working layout.
QImage workingCopy(const QImage& image)
{
    QImage copy = image.convertToFormat(workingFormat(image));
    copy.detach();
    return copy;
}

void raise(const QString& name, const QString& message)
{
    throw platform::Exception(name, message);
}

// ---- Pixel rules

void greyPixel(uchar* p, const void*)
{
    const uchar v = uchar(0.3 * p[kRed] + 0.59 * p[kGreen] + 0.11 * p[kBlue]);
    p[kRed] = p[kGreen] = p[kBlue] = v;
}

void sepiaPixel(uchar* p, const void*)
{
    const double r = p[kRed], g = p[kGreen], b = p[kBlue];
    p[kRed] = clampByte(0.393 * r + 0.769 * g + 0.189 * b);
    p[kGreen] = clampByte(0.349 * r + 0.686 * g + 0.168 * b);
    p[kBlue] = clampByte(0.272 * r + 0.534 * g + 0.131 * b);
}

void posterizePixel(uchar* p, const void* context)
{
    const int step = *static_cast<const int*>(context);
    for (int c = kRed; c <= kBlue; ++c)
        p[c] = uchar((p[c] / step) * step);
}

void saturatePixel(uchar* p, const void* context)
{
    const double amount = *static_cast<const double*>(context);
    const int mean = (p[kRed] + p[kGreen] + p[kBlue]) / 3;
    for (int c = kRed; c <= kBlue; ++c)
        p[c] = clampByte(mean + amount * (p[c] - mean));
}

void brightnessPixel(uchar* p, const void* context)
{
    const double factor = *static_cast<const double*>(context);
    for (int c = kRed; c <= kBlue; ++c)
        p[c] = clampByte(p[c] * factor);
}

void gammaPixel(uchar* p, const void* context)
{
    const double exponent = *static_cast<const double*>(context);
    for (int c = kRed; c <= kBlue; ++c)
        p[c] = clampByte(std::pow(double(p[c]), exponent));
}

void opacityPixel(uchar* p, const void* context)
{
    p[kAlpha] = clampByte(p[kAlpha] * *static_cast<const double*>(context));
}

void contrastPixel(uchar* p, const void* context)
{
    const double factor = *static_cast<const double*>(context);
    for (int c = kRed; c <= kBlue; ++c)
        p[c] = clampByte(((p[c] / 255.0 - 0.5) * factor + 0.5) * 255.0);
}

void biasPixel(uchar* p, const void* context)
{
    const double b = 1.0 / *static_cast<const double*>(context) - 1.9;
    for (int c = kRed; c <= kBlue; ++c) {
        const double t = p[c] / 255.0;
        p[c] = clampByte(p[c] * t / (1.0 + b * (0.9 - t)));
    }
}

void invertPixel(uchar* p, const void*)
{
    for (int c = kRed; c <= kBlue; ++c)
        p[c] = uchar(255 - p[c]);
}

void noisePixel(uchar* p, const void* context)
{
    const double amount = *static_cast<const double*>(context);
    const double s = std::sqrt(-2.0 * std::log(1.0 - amount));
    for (int c = kRed; c <= kBlue; ++c) {
        const quint32 r = QRandomGenerator::global()->generate();
        const double theta = double(r % 1000000) / 1000000.0 * 2.0 * std::numbers::pi;
        const double v = p[c] + 4.0 * std::sqrt(double(p[c])) * s * std::cos(theta)
            + 20.0 * s * std::sin(theta);
        // A not-a-number (amount 1 or more) counts as 0 rather than an undefined byte.
        if (!(v > 0.0))
            p[c] = 0;
        else if (v >= 255.0)
            p[c] = 255;
        else
            p[c] = uchar(v + 0.5);
    }
}

struct LevelsContext {
    double black, mid, white;
};

void levelsPixel(uchar* p, const void* context)
{
    const auto& l = *static_cast<const LevelsContext*>(context);
    for (int k = kRed; k <= kBlue; ++k) {
        const double c = p[k];
        double v = 0.0;
        if (c < l.black)
            v = 0.0;
        else if (c < l.mid)
            v = std::trunc((c - l.black) / ((l.mid - l.black) / 128.0));
        else if (c >= l.white)
            v = 255.0;
        else
            v = 128.0 + std::trunc((c - l.mid) / ((l.white - l.mid) / 128.0));
        p[k] = clampByte(v);
    }
}

struct GainContext {
    double r, g, b;
};

void gainPixel(uchar* p, const void* context)
{
    const auto& gain = *static_cast<const GainContext*>(context);
    p[kRed] = clampByte(p[kRed] * (gain.r + 1.0));
    p[kGreen] = clampByte(p[kGreen] * (gain.g + 1.0));
    p[kBlue] = clampByte(p[kBlue] * (gain.b + 1.0));
}

struct CurveContext {
    const QList<QPointF>* points;
    unsigned channels;
};

void curvePixel(uchar* p, const void* context)
{
    const auto& curve = *static_cast<const CurveContext*>(context);
    const unsigned bits[] = { ChannelRed, ChannelGreen, ChannelBlue };
    for (int c = kRed; c <= kBlue; ++c) {
        if (curve.channels & bits[c])
            p[c]
                = clampByte(valueGivenCurve(curve.points->constData(), curve.points->size(), p[c]));
    }
}

// ---- Blend rules

void overlayPixel(uchar* p, const uchar* o, const void*)
{
    const double a = o[kAlpha] / 255.0;
    for (int k = kRed; k <= kBlue; ++k) {
        const float c = p[k];
        const float other = o[k];
        const float t = c < 129.0f ? 2.0f * c * other / 255.0f
                                   : 255.0f - (255.0f - c) * 2.0f * (255.0f - other) / 255.0f;
        p[k] = clampByte(clampByte(t) * a + (1.0 - a) * c);
    }
}

void maskPixel(uchar* p, const uchar* o, const void*)
{
    p[kAlpha] = o[kRed];
}

void mergePixel(uchar* p, const uchar* o, const void*)
{
    const double a = o[kAlpha] / 255.0;
    for (int k = kRed; k <= kBlue; ++k)
        p[k] = clampByte(o[k] * a + (1.0 - a) * p[k]);
}

// Same pixel parameters as the image, every byte 0.
QImage blankLike(const QImage& image)
{
    QImage blank(image.size(), workingFormat(image));
    blank.setDevicePixelRatio(image.devicePixelRatio());
    blank.fill(0);
    return blank;
}

QSizeF sizeInPoints(const QImage& image)
{
    return image.deviceIndependentSize();
}

const Kernel kSharpenKernel = {
    { 0, 0, -0.2, 0, 0 },
    { 0, -0.2, 1.8, -0.2, 0 },
    { 0, 0, -0.2, 0, 0 },
    { 0, 0, 0, 0, 0 },
    { 0, 0, 0, 0, 0 },
};

const Kernel kEdgeKernel = {
    { 0, 0, 1, 0, 0 },
    { 0, 1, -4, 1, 0 },
    { 0, 0, 1, 0, 0 },
    { 0, 0, 0, 0, 0 },
    { 0, 0, 0, 0, 0 },
};

QImage applyCurves(QImage image, const QList<std::pair<QList<QPointF>, unsigned>>& curves)
{
    for (const auto& [points, channel] : curves)
        image = applyCurve(image, points, channel);
    return image;
}

} // namespace

// ---- Frames

QImage applyFilter(const QImage& image, PixelFunction function, const void* context)
{
    if (image.isNull())
        return QImage();
    QImage work = workingCopy(image);
    const int width = work.width();
    for (int y = 0; y < work.height(); ++y) {
        uchar* line = work.scanLine(y);
        for (int x = 0; x < width; ++x)
            function(line + x * kBytesPerPixel, context);
    }
    work.setDevicePixelRatio(image.devicePixelRatio());
    return work;
}

QImage applyBlendFilter(
    const QImage& image, BlendFunction function, const QImage& other, const void* context)
{
    if (image.isNull())
        return QImage();
    QImage base = workingCopy(image);
    if (other.isNull())
        return base;
    // The other image in the same 4-byte layout, walked by its own row length, so a smaller
    // image or one with padded rows is never read past its end.
    const QImage blend = other.convertToFormat(workingFormat(other));
    const int width = std::min(base.width(), blend.width());
    const int height = std::min(base.height(), blend.height());
    for (int y = 0; y < height; ++y) {
        uchar* line = base.scanLine(y);
        const uchar* otherLine = blend.constScanLine(y);
        for (int x = 0; x < width; ++x)
            function(line + x * kBytesPerPixel, otherLine + x * kBytesPerPixel, context);
    }
    base.setDevicePixelRatio(1.0);
    return base;
}

Kernel makeKernel(qint32 size)
{
    if (size < 1 || size > kMaxKernelSize)
        raise(platform::Exception::InvalidArgument, kBadKernelSize);
    // A 1 x 1 Gaussian has no spread (sigma 0): it is the identity.
    if (size == 1)
        return { { 1.0 } };
    const int h = size / 2;
    const double sigma = h;
    Kernel kernel;
    double sum = 0.0;
    for (int y = -h; y <= size - h - 1; ++y) {
        QList<double> row;
        for (int x = -h; x <= size - h - 1; ++x) {
            const double w = 1.0 / (2.0 * std::numbers::pi * sigma * sigma)
                * std::exp(-(x * x + y * y) / (2.0 * sigma * sigma));
            row << w;
            sum += w;
        }
        kernel << row;
    }
    for (QList<double>& row : kernel)
        for (double& w : row)
            w /= sum;
    return kernel;
}

double valueGivenCurve(const QPointF* points, qsizetype count, double x)
{
    if (x > 255.0)
        raise(platform::Exception::InternalInconsistency, kAboveRange);
    if (x < 0.0)
        raise(platform::Exception::InternalInconsistency, kBelowRange);
    if (count <= 0)
        return x;
    qsizetype i = 0;
    while (i < count && points[i].x() <= x)
        ++i;
    // No point to the right (x at or past the curve's end) or none to the left: the curve
    // holds its end value instead of dividing zero by zero.
    if (i == count)
        return points[count - 1].y();
    if (i == 0)
        return points[0].y();
    const QPointF a = points[i - 1];
    const QPointF b = points[i];
    const double slope = (b.y() - a.y()) / (b.x() - a.x());
    return slope * x + (b.y() - slope * b.x());
}

// ---- Per-pixel filters

QImage greyscale(const QImage& image)
{
    return applyFilter(image, greyPixel, nullptr);
}

QImage sepia(const QImage& image)
{
    return applyFilter(image, sepiaPixel, nullptr);
}

QImage posterize(const QImage& image, qint32 levels)
{
    const int step = 255 / std::clamp(levels, 1, 255);
    return applyFilter(image, posterizePixel, &step);
}

QImage saturate(const QImage& image, double amount)
{
    return applyFilter(image, saturatePixel, &amount);
}

QImage brightness(const QImage& image, double factor)
{
    return applyFilter(image, brightnessPixel, &factor);
}

QImage gamma(const QImage& image, double exponent)
{
    return applyFilter(image, gammaPixel, &exponent);
}

QImage opacity(const QImage& image, double factor)
{
    return applyFilter(image, opacityPixel, &factor);
}

QImage contrast(const QImage& image, double factor)
{
    return applyFilter(image, contrastPixel, &factor);
}

QImage bias(const QImage& image, double amount)
{
    return applyFilter(image, biasPixel, &amount);
}

QImage invert(const QImage& image)
{
    return applyFilter(image, invertPixel, nullptr);
}

QImage noise(const QImage& image, double amount)
{
    return applyFilter(image, noisePixel, &amount);
}

QImage levels(const QImage& image, qint64 black, qint64 mid, qint64 white)
{
    const LevelsContext context { double(black), double(mid), double(white) };
    return applyFilter(image, levelsPixel, &context);
}

QImage adjust(const QImage& image, double r, double g, double b)
{
    const GainContext context { r, g, b };
    return applyFilter(image, gainPixel, &context);
}

QImage applyCurve(const QImage& image, const QList<QPointF>& points, unsigned toChannel)
{
    if (points.size() <= 1)
        raise(platform::Exception::InternalInconsistency, kTooFewPoints);
    CatmullRomSpline spline(points.first());
    for (qsizetype i = 1; i < points.size(); ++i) {
        qDebug() << kAddingPoint << points.at(i);
        spline.addPoint(points.at(i));
    }
    const QList<QPointF> flattened = spline.asPointArray();
    for (const QPointF& point : flattened)
        qDebug() << kAddingPoint << point;
    const CurveContext context { &flattened, toChannel };
    return applyFilter(image, curvePixel, &context);
}

// ---- Blends

QImage overlay(const QImage& image, const QImage& other)
{
    return applyBlendFilter(image, overlayPixel, other, nullptr);
}

QImage mask(const QImage& image, const QImage& other)
{
    return applyBlendFilter(image, maskPixel, other, nullptr);
}

QImage merge(const QImage& image, const QImage& other)
{
    return applyBlendFilter(image, mergePixel, other, nullptr);
}

// ---- Convolution

QImage applyConvolve(const QImage& image, const Kernel& kernel)
{
    const qsizetype rows = kernel.size();
    const qsizetype columns = rows > 0 ? kernel.first().size() : 0;
    const bool wellFormed = rows % 2 == 1 && columns % 2 == 1
        && std::all_of(kernel.cbegin(), kernel.cend(),
            [columns](const QList<double>& row) { return row.size() == columns; });
    if (!wellFormed)
        raise(platform::Exception::InvalidArgument, kBadKernel);
    if (image.isNull())
        return QImage();
    const QImage input = workingCopy(image);
    QImage output = input.copy();
    const int width = input.width();
    const int height = input.height();
    const int kh = int(rows / 2);
    const int kw = int(columns / 2);
    for (int i = 0; i < height; ++i) {
        uchar* out = output.scanLine(i);
        for (int j = 0; j < width; ++j) {
            double r = 0, g = 0, b = 0;
            for (int n = -kh; n <= kh; ++n) {
                const int y = i + n;
                if (y < 0 || y >= height)
                    continue;
                const uchar* in = input.constScanLine(y);
                const QList<double>& weights = kernel.at(n + kh);
                for (int m = -kw; m <= kw; ++m) {
                    const int x = j + m;
                    const double f = weights.at(m + kw);
                    if (x < 0 || x >= width || f == 0.0)
                        continue;
                    const uchar* p = in + x * kBytesPerPixel;
                    r += f * p[kRed];
                    g += f * p[kGreen];
                    b += f * p[kBlue];
                }
            }
            uchar* p = out + j * kBytesPerPixel;
            p[kRed] = clampByte(r);
            p[kGreen] = clampByte(g);
            p[kBlue] = clampByte(b);
            p[kAlpha] = 255;
        }
    }
    output.setDevicePixelRatio(1.0);
    return output;
}

QImage sharpen(const QImage& image)
{
    return applyConvolve(image, kSharpenKernel);
}

QImage edgeDetect(const QImage& image)
{
    return applyConvolve(image, kEdgeKernel);
}

QImage gaussianBlur(const QImage& image, qint32 radius)
{
    // Worked out in 64 bits: 2n + 1 of a large radius does not fit in 32.
    const qint64 size = 2 * qint64(radius) + 1;
    if (size > kMaxKernelSize)
        raise(platform::Exception::InvalidArgument, kBadKernelSize);
    return applyConvolve(image, makeKernel(qint32(size)));
}

// ---- Composites

QImage lomo(const QImage& image)
{
    QImage result = contrast(saturate(image, 1.2), 1.15);
    result = applyCurves(result,
        {
            { { { 0, 0 }, { 137, 118 }, { 255, 255 }, { 255, 255 } }, ChannelRed },
            { { { 0, 0 }, { 64, 54 }, { 175, 194 }, { 255, 255 } }, ChannelGreen },
            { { { 0, 0 }, { 59, 64 }, { 203, 189 }, { 255, 255 } }, ChannelBlue },
        });
    return darkVignette(result);
}

QImage vignette(const QImage& image)
{
    if (image.isNull())
        return QImage();
    const QSizeF size = sizeInPoints(image);
    const int d = int(size.width() * 0.1);
    QImage maskImage = blankLike(image);
    {
        QPainter painter(&maskImage);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(QRectF(QPointF(0, 0), size), Qt::black);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(d, d, size.width() - 2 * d, size.height() - 2 * d));
    }
    const QImage blurredMask = gaussianBlur(maskImage, 10);
    const QImage blurred = gaussianBlur(image, 2);
    const QImage masked = mask(image, blurredMask);
    return merge(blurred, masked);
}

QImage darkVignette(const QImage& image)
{
    if (image.isNull())
        return QImage();
    const QSizeF size = sizeInPoints(image);
    const int d = int(size.width() * 0.05);
    QImage maskImage = blankLike(image);
    {
        QPainter painter(&maskImage);
        painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
        painter.fillRect(QRectF(d, d, size.width() - 2 * d, size.height() - 2 * d), Qt::black);
    }
    const QImage blurredMask = gaussianBlur(maskImage, 10);
    QImage black = blankLike(image);
    {
        QPainter painter(&black);
        painter.fillRect(QRectF(QPointF(0, 0), size), Qt::black);
    }
    const QImage shade = opacity(mask(black, blurredMask), 1.0);
    return overlay(image, shade);
}

QImage polaroidish(const QImage& image)
{
    return applyCurves(image,
        {
            { { { 0, 0 }, { 93, 81 }, { 247, 241 }, { 255, 255 } }, ChannelRed },
            { { { 0, 0 }, { 57, 59 }, { 223, 205 }, { 255, 241 } }, ChannelBlue },
            { { { 0, 0 }, { 93, 76 }, { 232, 226 }, { 255, 255 } }, ChannelRed },
            { { { 0, 0 }, { 57, 59 }, { 220, 202 }, { 255, 255 } }, ChannelBlue },
        });
}

} // namespace ImageFilter
