#include "style/ImageFilter.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

#include <QColor>

#include <array>
#include <limits>
#include <numeric>

namespace {

using Pixel = std::array<int, 4>;

// An opaque RGB image of one colour.
QImage solid(int w, int h, int r, int g, int b)
{
    QImage image(w, h, QImage::Format_RGBX8888);
    image.fill(QColor(r, g, b));
    return image;
}

// The four working bytes of a pixel (red, green, blue, alpha).
Pixel at(const QImage& image, int x, int y)
{
    const QImage work = image.hasAlphaChannel()
        ? image.convertToFormat(QImage::Format_RGBA8888_Premultiplied)
        : image.convertToFormat(QImage::Format_RGBX8888);
    const uchar* p = work.constScanLine(y) + x * 4;
    return { p[0], p[1], p[2], p[3] };
}

Pixel filtered(QImage (*filter)(const QImage&), int r, int g, int b)
{
    return at(filter(solid(1, 1, r, g, b)), 0, 0);
}

} // namespace

TEST(ImageFilters, ColourRulesComputedByHand)
{
    EXPECT_EQ(filtered(ImageFilter::greyscale, 255, 0, 0), (Pixel { 76, 76, 76, 255 }));
    EXPECT_EQ(filtered(ImageFilter::sepia, 100, 150, 200), (Pixel { 192, 171, 133, 255 }));
    EXPECT_EQ(filtered(ImageFilter::sepia, 255, 255, 255), (Pixel { 255, 255, 238, 255 }));
    EXPECT_EQ(
        at(ImageFilter::posterize(solid(1, 1, 200, 62, 63), 4), 0, 0), (Pixel { 189, 0, 63, 255 }));
    EXPECT_EQ(at(ImageFilter::saturate(solid(1, 1, 100, 150, 200), 2), 0, 0),
        (Pixel { 50, 150, 250, 255 }));
    EXPECT_EQ(at(ImageFilter::brightness(solid(1, 1, 1, 128, 255), 1.0), 0, 0),
        (Pixel { 1, 128, 255, 255 }));
    EXPECT_EQ(
        at(ImageFilter::gamma(solid(1, 1, 1, 128, 255), 1.0), 0, 0), (Pixel { 1, 128, 255, 255 }));
    EXPECT_EQ(at(ImageFilter::gamma(solid(1, 1, 0, 4, 255), 0.5), 0, 0), (Pixel { 0, 2, 15, 255 }));
    // Not exact in doubles: some values lose one.
    EXPECT_EQ(at(ImageFilter::contrast(solid(1, 1, 1, 128, 255), 1.0), 0, 0)[0], 0);
    EXPECT_EQ(at(ImageFilter::levels(solid(1, 1, 64, 255, 200), 0, 128, 255), 0, 0),
        (Pixel { 64, 255, 200, 255 }));
    EXPECT_EQ(at(ImageFilter::levels(solid(1, 1, 10, 20, 130), 20, 20, 140), 0, 0),
        (Pixel { 0, 128, 245, 255 }));
    EXPECT_EQ(at(ImageFilter::adjust(solid(1, 1, 100, 150, 200), 0.5, 0, -0.5), 0, 0),
        (Pixel { 150, 150, 100, 255 }));
    // bias 0.5: b = 0.1; 255 -> 255 * 1 / (1 + 0.1 * -0.1) = 257.6 -> 255.
    EXPECT_EQ(at(ImageFilter::bias(solid(1, 1, 0, 51, 255), 0.5), 0, 0)[2], 255);
    EXPECT_EQ(at(ImageFilter::bias(solid(1, 1, 0, 51, 255), 0.5), 0, 0)[1], 9); // 10.2 / 1.07
    // An amount of 0 makes the bias divide by infinity; the result is still a number.
    EXPECT_EQ(at(ImageFilter::bias(solid(1, 1, 0, 51, 255), 0.0), 0, 0)[1], 0);
    // Out-of-range posterize levels are held to 1...255 rather than dividing by zero.
    EXPECT_EQ(at(ImageFilter::posterize(solid(1, 1, 200, 0, 0), 0), 0, 0)[0], 0);
    EXPECT_EQ(at(ImageFilter::posterize(solid(1, 1, 200, 0, 0), 1000), 0, 0)[0], 200);
}

TEST(ImageFilters, InvertTwiceRestoresAndLeavesAlpha)
{
    QImage image(2, 1, QImage::Format_RGBA8888_Premultiplied);
    uchar* p = image.scanLine(0);
    const uchar bytes[] = { 10, 20, 30, 255, 40, 50, 60, 128 };
    std::copy(std::begin(bytes), std::end(bytes), p);
    const QImage once = ImageFilter::invert(image);
    EXPECT_EQ(at(once, 0, 0), (Pixel { 245, 235, 225, 255 }));
    EXPECT_EQ(at(once, 1, 0)[3], 128);
    const QImage twice = ImageFilter::invert(once);
    EXPECT_EQ(at(twice, 1, 0), (Pixel { 40, 50, 60, 128 }));
    EXPECT_EQ(at(image, 0, 0), (Pixel { 10, 20, 30, 255 })); // the receiver is untouched
    EXPECT_EQ(at(ImageFilter::opacity(image, 0.5), 0, 0)[3], 127);
}

TEST(ImageFilters, NoiseOfNothingIsTheImageAndBadAmountsStayInRange)
{
    EXPECT_EQ(
        at(ImageFilter::noise(solid(1, 1, 0, 100, 255), 0.0), 0, 0), (Pixel { 0, 100, 255, 255 }));
    EXPECT_EQ(
        at(ImageFilter::noise(solid(1, 1, 0, 100, 255), 1.5), 0, 0), (Pixel { 0, 0, 0, 255 }));
    ImageFilter::noise(solid(4, 4, 128, 128, 128), 0.5); // random, but no fault
}

TEST(ImageFilters, CurvesReachTheirEnds)
{
    EXPECT_THROW(
        ImageFilter::applyCurve(solid(1, 1, 0, 0, 0), { { 0, 0 } }, 7), platform::Exception);
    const QList<QPointF> identity = { { 0, 0 }, { 255, 255 } };
    for (double x : { 0.0, 17.0, 254.5, 255.0 })
        EXPECT_DOUBLE_EQ(ImageFilter::valueGivenCurve(identity.constData(), 2, x), x);
    EXPECT_THROW(ImageFilter::valueGivenCurve(identity.constData(), 2, 256), platform::Exception);
    EXPECT_THROW(ImageFilter::valueGivenCurve(identity.constData(), 2, -1), platform::Exception);
    const QList<QPointF> late = { { 10, 40 }, { 20, 60 } };
    EXPECT_EQ(ImageFilter::valueGivenCurve(late.constData(), 2, 5), 40);
    EXPECT_EQ(ImageFilter::valueGivenCurve(late.constData(), 2, 15), 50);
    EXPECT_EQ(ImageFilter::valueGivenCurve(late.constData(), 2, 200), 60);

    // Only the masked channels follow the curve; 255 keeps 255 at the curve's end.
    const QList<QPointF> halve = { { 0, 0 }, { 255, 127.5 } };
    EXPECT_EQ(at(ImageFilter::applyCurve(solid(1, 1, 200, 200, 255), halve,
                     ImageFilter::ChannelRed | ImageFilter::ChannelBlue),
                  0, 0),
        (Pixel { 100, 200, 127, 255 }));
    const Pixel lomoRed
        = at(ImageFilter::applyCurve(solid(1, 1, 255, 0, 0),
                 { { 0, 0 }, { 137, 118 }, { 255, 255 }, { 255, 255 } }, ImageFilter::ChannelRed),
            0, 0);
    EXPECT_EQ(lomoRed, (Pixel { 255, 0, 0, 255 }));
}

TEST(ImageFilters, BlendsComputedByHand)
{
    QImage other(1, 1, QImage::Format_RGBA8888);
    uchar* o = other.scanLine(0);
    o[0] = 200, o[1] = 100, o[2] = 0, o[3] = 255;
    EXPECT_EQ(at(ImageFilter::overlay(solid(1, 1, 100, 200, 50), other), 0, 0),
        (Pixel { 156, 188, 0, 255 }));
    EXPECT_EQ(
        at(ImageFilter::merge(solid(1, 1, 1, 2, 3), other), 0, 0), (Pixel { 200, 100, 0, 255 }));

    QImage half(1, 1, QImage::Format_RGBA8888_Premultiplied);
    uchar* h = half.scanLine(0);
    h[0] = 64, h[1] = 0, h[2] = 0, h[3] = 128;
    EXPECT_EQ(at(ImageFilter::merge(solid(1, 1, 200, 200, 200), half), 0, 0),
        (Pixel { 131, 99, 99, 255 }));

    QImage base(1, 1, QImage::Format_RGBA8888_Premultiplied);
    base.fill(Qt::black);
    const QImage masked = ImageFilter::mask(base, other);
    EXPECT_EQ(at(masked, 0, 0)[3], 200);
}

TEST(ImageFilters, BlendWithSmallerImageTouchesOnlyTheSharedPart)
{
    const QImage base = solid(4, 3, 10, 20, 30);
    const QImage small = solid(2, 2, 250, 250, 250);
    const QImage merged = ImageFilter::merge(base, small);
    ASSERT_EQ(merged.size(), base.size());
    EXPECT_EQ(at(merged, 1, 1), (Pixel { 250, 250, 250, 255 }));
    EXPECT_EQ(at(merged, 2, 0), (Pixel { 10, 20, 30, 255 }));
    EXPECT_EQ(at(merged, 0, 2), (Pixel { 10, 20, 30, 255 }));
    EXPECT_EQ(at(ImageFilter::overlay(small, base), 1, 1)[0], 245); // 255 - 5 x 2 x 245 / 255
    EXPECT_EQ(ImageFilter::merge(base, QImage()).size(), base.size());
    EXPECT_TRUE(ImageFilter::merge(QImage(), base).isNull());
}

TEST(ImageFilters, PaddedRowsAreWalkedByTheirStride)
{
    // Rows of 3 pixels stored 5 pixels apart; the padding holds a marker that must survive
    // and must never be read as a pixel.
    const int width = 3, height = 2, stride = 5 * 4;
    std::vector<uchar> bytes(stride * height, 77);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uchar* p = bytes.data() + y * stride + x * 4;
            p[0] = uchar(10 * x), p[1] = uchar(100 + y), p[2] = 0, p[3] = 255;
        }
    const QImage padded(bytes.data(), width, height, stride, QImage::Format_RGBX8888);
    const QImage inverted = ImageFilter::invert(padded);
    EXPECT_EQ(at(inverted, 2, 1), (Pixel { 235, 154, 255, 255 }));
    const QImage blurred = ImageFilter::applyConvolve(padded, { { 1 } });
    EXPECT_EQ(at(blurred, 2, 1), (Pixel { 20, 101, 0, 255 }));
    const QImage merged = ImageFilter::merge(solid(4, 4, 0, 0, 0), padded);
    EXPECT_EQ(at(merged, 2, 1), (Pixel { 20, 101, 0, 255 }));
    EXPECT_EQ(at(merged, 3, 1), (Pixel { 0, 0, 0, 255 }));
    EXPECT_EQ(bytes[3 * 4], 77);
}

TEST(ImageFilters, ConvolutionComputedByHand)
{
    // A 1 x 1 kernel of weight 1 copies colours and makes every pixel opaque.
    QImage translucent(1, 1, QImage::Format_RGBA8888_Premultiplied);
    uchar* t = translucent.scanLine(0);
    t[0] = 50, t[1] = 60, t[2] = 70, t[3] = 100;
    EXPECT_EQ(
        at(ImageFilter::applyConvolve(translucent, { { 1 } }), 0, 0), (Pixel { 50, 60, 70, 255 }));

    const ImageFilter::Kernel k3 = ImageFilter::makeKernel(3);
    ASSERT_EQ(k3.size(), 3);
    double sum = 0;
    for (const auto& row : k3)
        sum = std::accumulate(row.begin(), row.end(), sum);
    EXPECT_NEAR(sum, 1.0, 1e-12);
    EXPECT_NEAR(k3[1][1], 1.0 / (1 + 4 * std::exp(-0.5) + 4 * std::exp(-1.0)), 1e-12);
    EXPECT_EQ(k3[0][0], k3[2][2]);
    EXPECT_EQ(ImageFilter::makeKernel(1), (ImageFilter::Kernel { { 1.0 } }));
    EXPECT_THROW(ImageFilter::makeKernel(0), platform::Exception);
    // Sizes beyond memory, and a radius whose 2n + 1 overflows, are refused, not attempted.
    EXPECT_THROW(ImageFilter::makeKernel(1 << 30), platform::Exception);
    EXPECT_THROW(
        ImageFilter::gaussianBlur(solid(3, 3, 100, 100, 100), std::numeric_limits<qint32>::max()),
        platform::Exception);

    // Gaussian 3 x 3 on a uniform 3 x 3 image: borders darken by the weights they miss.
    const QImage blurred = ImageFilter::gaussianBlur(solid(3, 3, 100, 100, 100), 1);
    EXPECT_EQ(at(blurred, 0, 0)[0], 52); // 100 x (centre + 2 edges + 1 diagonal) = 52.7
    EXPECT_EQ(at(blurred, 1, 0)[0], 72); // 100 x (centre + 3 edges + 2 diagonals) = 72.6
    EXPECT_GE(at(blurred, 1, 1)[0], 99);

    // The edge kernel sits above its centre: pixel (i, j) sums P(i-2, j), P(i-1, j-1),
    // -4 P(i-1, j), P(i-1, j+1) and P(i, j).
    const QImage edges = ImageFilter::edgeDetect(solid(3, 4, 100, 100, 100));
    EXPECT_EQ(at(edges, 1, 0)[0], 100);
    EXPECT_EQ(at(edges, 1, 1)[0], 0);
    EXPECT_EQ(at(edges, 0, 1)[0], 0);
    EXPECT_EQ(at(edges, 1, 3)[0], 0);

    EXPECT_THROW(ImageFilter::applyConvolve(solid(1, 1, 0, 0, 0), {}), platform::Exception);
    EXPECT_THROW(
        ImageFilter::applyConvolve(solid(1, 1, 0, 0, 0), { { 1, 1 } }), platform::Exception);
    EXPECT_THROW(ImageFilter::applyConvolve(solid(1, 1, 0, 0, 0), { { 1 }, { 1, 1, 1 }, { 1 } }),
        platform::Exception);
}

TEST(ImageFilters, CompositesKeepSizeAndDarkenTheEdges)
{
    const QImage image = solid(40, 30, 180, 160, 140);
    const QImage dark = ImageFilter::darkVignette(image);
    ASSERT_EQ(dark.size(), image.size());
    EXPECT_EQ(at(dark, 20, 15), (Pixel { 180, 160, 140, 255 }));
    EXPECT_LT(at(dark, 0, 0)[0], 180);
    const QImage soft = ImageFilter::vignette(image);
    EXPECT_EQ(soft.size(), image.size());
    EXPECT_EQ(ImageFilter::lomo(image).size(), image.size());
    const Pixel polaroid = at(ImageFilter::polaroidish(image), 5, 5);
    EXPECT_EQ(polaroid[1], 160); // green has no curve
    EXPECT_NE(polaroid[0], 180);
    EXPECT_TRUE(ImageFilter::greyscale(QImage()).isNull());
}
