#include "platform/Exception.h"
#include "style/NamedColors.h"
#include "style/UIColor_Expanded.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

using namespace UIColor_Expanded;

namespace {

// Reference figures from Python's colorsys (rgb_to_hsv / hsv_to_rgb, hue as 0...1).
struct HsvCase {
    double r, g, b, h, s, v;
};
const HsvCase kRgbToHsv[] = {
    { 1, 0, 0, 0.0, 1.0, 1.0 },
    { 0, 1, 0, 0.3333333333333333, 1.0, 1.0 },
    { 0.2, 0.4, 0.6, 0.5833333333333334, 0.6666666666666666, 0.6 },
    { 0.9, 0.1, 0.5, 0.9166666666666666, 0.888888888888889, 0.9 },
    { 0.5, 0.5, 0.5, 0.0, 0.0, 0.5 },
    { 0, 0.5647058823529412, 0.8745098039215686, 0.5590433482810164, 1.0, 0.8745098039215686 },
    { 0.25, 0.75, 0.1, 0.2948717948717949, 0.8666666666666667, 0.75 },
};
const HsvCase kHsvToRgb[] = {
    // h, s, v in the first three fields here; r, g, b after.
    { 0.0, 1, 1, 1, 0.0, 0.0 },
    { 0.3333333333333333, 1, 1, 0.0, 1, 0.0 },
    { 0.95, 0.3, 0.8, 0.8, 0.5599999999999999, 0.6320000000000002 },
    { 0.5833, 0.6667, 0.6, 0.19998000000000002, 0.4000700039999998, 0.6 },
    { 0.1, 0.9, 0.2, 0.2, 0.12800000000000003, 0.019999999999999997 },
};

} // namespace

TEST(ColorConversion, HsbAgreesWithColorsys)
{
    for (const HsvCase& c : kRgbToHsv) {
        const Color color = Color::colorWithRed(c.r, c.g, c.b);
        EXPECT_NEAR(hue(color), c.h, 1e-12);
        EXPECT_NEAR(saturation(color), c.s, 1e-12);
        EXPECT_NEAR(brightness(color), c.v, 1e-12);
        double h = -1, s = -1, v = -1;
        red(c.r, c.g, c.b, &h, &s, &v);
        EXPECT_NEAR(h, c.h * 360.0, 1e-9);
        EXPECT_NEAR(s, c.s, 1e-12);
        EXPECT_NEAR(v, c.v, 1e-12);
    }
    for (const HsvCase& c : kHsvToRgb) {
        double r = -1, g = -1, b = -1;
        hue(c.r * 360.0, c.g, c.b, &r, &g, &b);
        EXPECT_NEAR(r, c.h, 1e-6);
        EXPECT_NEAR(g, c.s, 1e-6);
        EXPECT_NEAR(b, c.v, 1e-6);
        double cr = -1, cg = -1, cb = -1;
        ASSERT_TRUE(Color::colorWithHue(c.r, c.g, c.b).getRed(&cr, &cg, &cb, nullptr));
        EXPECT_NEAR(cr, c.h, 1e-12);
        EXPECT_NEAR(cg, c.s, 1e-12);
        EXPECT_NEAR(cb, c.v, 1e-12);
    }
}

TEST(ColorConversion, HsbConverterEdges)
{
    double r0, g0, b0, r1, g1, b1;
    hue(0, 0.7, 0.9, &r0, &g0, &b0);
    hue(360, 0.7, 0.9, &r1, &g1, &b1);
    EXPECT_EQ(r0, r1);
    EXPECT_EQ(g0, g1);
    EXPECT_EQ(b0, b1);
    hue(400, 0.7, 0.9, &r1, &g1, &b1);
    EXPECT_EQ(r1 + g1 + b1, 0.0);
    hue(-10, 0.7, 0.9, &r1, &g1, &b1);
    EXPECT_EQ(r1 + g1 + b1, 0.0);
    hue(123, 0.0, 0.4, &r1, &g1, &b1);
    EXPECT_EQ(r1, 0.4);
    EXPECT_EQ(b1, 0.4);
    hue(10, 1, 1, nullptr, nullptr, nullptr); // every output is optional
    double h = -1;
    red(0, 0, 0, &h, nullptr, nullptr);
    EXPECT_EQ(h, 0.0);
}

TEST(ColorConversion, GreysAnswerTheirWhiteLevelForEveryComponent)
{
    const Color grey = Color::colorWithWhite(0.3, 0.6);
    EXPECT_EQ(red(grey), 0.3);
    EXPECT_EQ(hue(grey), 0.3);
    EXPECT_EQ(saturation(grey), 0.3);
    EXPECT_EQ(alpha(grey), 0.6);
    EXPECT_EQ(white(grey), 0.3);
    EXPECT_EQ(whiteByte(grey), 76);
    EXPECT_THROW(white(Color::redColor()), platform::Exception);
}

TEST(ColorConversion, PatternColoursAreRefusedWithTheDocumentedMessage)
{
    const Color pattern = Color::colorWithPatternImage(QImage(2, 2, QImage::Format_RGB32));
    EXPECT_EQ(colorSpaceString(pattern), "kCGColorSpaceModelPattern");
    EXPECT_FALSE(canProvideRGBComponents(pattern));
    try {
        red(pattern);
        FAIL() << "no exception";
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.name(), platform::Exception::InternalInconsistency);
        EXPECT_EQ(e.reason(), "Must be an RGB color to use -red");
    }
    EXPECT_THROW(stringValue(pattern), platform::Exception);
    EXPECT_THROW(colorByAdding(pattern, 0.1), platform::Exception);
    EXPECT_FALSE(lighterColor(pattern).has_value());
    EXPECT_EQ(colorSpaceString(7), "Not a valid color space");
    EXPECT_EQ(colorSpaceString(-1), "kCGColorSpaceModelUnknown");
    EXPECT_EQ(colorSpaceModel(QImage(1, 1, QImage::Format_Grayscale8)), 0);
    EXPECT_EQ(colorSpaceString(QImage(1, 1, QImage::Format_ARGB32)), "kCGColorSpaceModelRGB");
}

TEST(ColorConversion, BytesAndPackedHex)
{
    const Color c = Color::colorWithRed(0.5, 0.999, 0.2, 0.5);
    EXPECT_EQ(redByte(c), 127); // truncated
    EXPECT_EQ(greenByte(c), 254);
    EXPECT_EQ(rgbHex(c), 0x80FF33u); // rounded
    EXPECT_EQ(colorBytes(c), QByteArray("\x7F\x7F\xFE\x33", 4));
    EXPECT_EQ(premultipledColorBytes(c), QByteArray("\x7F\x3F\x7F\x19", 4));
    EXPECT_EQ(rgbHex(*colorWithHexString("ABCDEF")), 0xABCDEFu);
}

TEST(ColorConversion, CmykBothWays)
{
    const Color c = colorWithCyan(0.2, 0.4, 0.6, 0.5);
    double r, g, b;
    ASSERT_TRUE(c.getRed(&r, &g, &b, nullptr));
    EXPECT_DOUBLE_EQ(r, 0.4);
    EXPECT_DOUBLE_EQ(g, 0.3);
    EXPECT_DOUBLE_EQ(b, 0.2);
    const QList<double> back = cmyk(c);
    EXPECT_NEAR(back[0], 0.0, 1e-6);
    EXPECT_NEAR(back[1], 0.25, 1e-6);
    EXPECT_NEAR(back[2], 0.5, 1e-6);
    EXPECT_NEAR(back[3], 0.6, 1e-6);
    // Black has no ink but black: no 0 / 0.
    const QList<double> black = cmyk(Color::blackColor());
    EXPECT_EQ(black, (QList<double> { 0, 0, 0, 1 }));
    double k = -1;
    toC(Color::whiteColor(), nullptr, nullptr, nullptr, &k);
    EXPECT_EQ(k, 0.0);
}

TEST(ColorConversion, LuminanceDistanceAndMeasures)
{
    // The weights are single precision, so white is 1 only to that precision.
    EXPECT_NEAR(luminance(white()), 1.0, 1e-7);
    EXPECT_DOUBLE_EQ(luminance(red()), double(0.2126f));
    EXPECT_NEAR(luminance(ThemeBlue()), 0.7152 * 144 / 255 + 0.0722 * 223 / 255, 1e-7);
    EXPECT_FALSE(luminance(ThemeBlue()) > 0.8);
    EXPECT_TRUE(luminance(ThemeWhite()) > 0.8);

    EXPECT_NEAR(distanceFrom(black(), white()), std::sqrt(3.0), 1e-6);
    EXPECT_TRUE(isEqualToColor(red(), Color::redColor()));
    EXPECT_TRUE(isEqualToColor(Color::colorWithWhite(1), white()));
    EXPECT_FALSE(isEqualToColor(red(), *colorWithHexString("FE0000")));
    EXPECT_NEAR(luminanceDistanceFrom(black(), white()), 1.0, 1e-6);
    EXPECT_NEAR(hsDistanceFrom(red(), Color::colorWithHue(0.5, 0.0, 1.0)), 1.0, 1e-6);

    EXPECT_DOUBLE_EQ(colorfulness(red()), 1.0);
    EXPECT_DOUBLE_EQ(colorfulness(grey()), 0.0);
    EXPECT_NEAR(warmth(yellow()), 1.0, 1e-7);
    EXPECT_NEAR(warmth(Color::colorWithHue(2.0 / 3.0, 1, 1)), 0.0, 1e-7);
    EXPECT_NEAR(perceivedBrightness(white()), 1.0, 1e-12);
    EXPECT_EQ(compareWarmth(blue(), yellow()), OrderedAscending);
    EXPECT_EQ(compareBrightness(white(), black()), OrderedDescending);
    EXPECT_EQ(compareHue(red(), blue()), OrderedDescending); // the other colour against this
}

TEST(ColorConversion, ArithmeticClampsAndKeepsDocumentedAlphaRules)
{
    const Color c = Color::colorWithRed(0.4, 0.6, 0.8, 0.5);
    double r, g, b, a;
    ASSERT_TRUE(colorByMultiplyingBy(c, 2).getRed(&r, &g, &b, &a));
    EXPECT_DOUBLE_EQ(r, 0.8);
    EXPECT_EQ(g, 1.0);
    EXPECT_EQ(b, 1.0);
    EXPECT_DOUBLE_EQ(a, 0.25); // the one-number form multiplies alpha by alpha
    ASSERT_TRUE(colorByAdding(c, -0.5).getRed(&r, &g, &b, &a));
    EXPECT_EQ(r, 0.0);
    EXPECT_NEAR(g, 0.1, 1e-12);
    EXPECT_EQ(a, 1.0);
    ASSERT_TRUE(colorByDarkeningTo(c, 0.5).getRed(&r, &g, &b, &a));
    EXPECT_EQ(r, 0.4);
    EXPECT_EQ(b, 0.5);
    ASSERT_TRUE(colorByLighteningTo(c, 0.5).getRed(&r, &g, &b, &a));
    EXPECT_EQ(r, 0.5);
    EXPECT_EQ(b, 0.8);
    ASSERT_TRUE(colorByInterpolatingToColor(black(), white(), 0.25).getRed(&r, &g, &b, &a));
    EXPECT_DOUBLE_EQ(r, 0.25);
    EXPECT_EQ(a, 1.0);
}

TEST(ColorConversion, DerivedColours)
{
    const Color theme = ThemeBlue();
    const auto lighter = lighterColor(theme);
    const auto darker = darkerColor(theme);
    ASSERT_TRUE(lighter && darker);
    EXPECT_EQ(redByte(*lighter), 0);
    EXPECT_EQ(blueByte(*lighter), 255);
    EXPECT_NEAR(green(*lighter) * 255, 164.7, 0.1);
    EXPECT_NEAR(green(*darker) * 255, 100.8, 0.1);
    EXPECT_NEAR(blue(*darker) * 255, 156.1, 0.1);
    // A grey's shades stay grey.
    EXPECT_EQ(saturation(*lighterColor(Color::colorWithRed(0.5, 0.5, 0.5))), 0.0);

    EXPECT_EQ(contrastingColor(white()), Color::blackColor());
    EXPECT_EQ(contrastingColor(ThemeBlue()), Color::whiteColor());
    const Color mapped = colorByLuminanceMapping(Color::colorWithRed(1, 0, 0, 0.5));
    EXPECT_TRUE(usesMonochromeColorspace(mapped));
    EXPECT_DOUBLE_EQ(white(mapped), double(0.2126f));

    const Color complement = complementaryColor(Color::colorWithRed(1, 0, 0, 0));
    EXPECT_NEAR(hue(complement), 0.5, 1e-12);
    EXPECT_EQ(alpha(complement), 1.0); // alpha 0 becomes 1

    const QList<Color> analogous = analogousColorsWithStepAngle(red(), 30, 2);
    ASSERT_EQ(analogous.size(), 4);
    EXPECT_NEAR(hue(analogous[0]), 30.0 / 360, 1e-6);
    EXPECT_NEAR(hue(analogous[1]), 330.0 / 360, 1e-6);
    EXPECT_NEAR(hue(analogous[3]), 300.0 / 360, 1e-6);
    EXPECT_EQ(alpha(analogous[0]), 1.0);
    for (const Color& c : analogousColorsWithStepAngle(red(), 0, 1))
        EXPECT_EQ(alpha(c), 0.0);
    EXPECT_EQ(triadicColors(red()).size(), 2);

    EXPECT_NEAR(hue(adjustHue(Color::colorWithHue(0.9, 1, 1), 0.2)), 0.1, 1e-9);
    EXPECT_EQ(brightness(adjustBrightness(grey(), 0.9)), 1.0);
    EXPECT_NEAR(hue(colorWithHue(red(), 0.25)), 0.25, 1e-12);
    // Warmth moves a hue towards yellow (1/6) from either side.
    EXPECT_GT(hue(adjustWarmth(Color::colorWithHue(0.5, 1, 1), 0.1)), 0.5);
    EXPECT_LT(hue(adjustWarmth(Color::colorWithHue(0.1, 1, 1), 0.05)), 0.1);
    EXPECT_NEAR(saturation(telmicColorWithColor(red(), grey())), 0.5, 1e-12);
}

TEST(ColorConversion, KelvinTemperatures)
{
    const Color daylight = colorWithKelvin(6600);
    double r, g, b;
    ASSERT_TRUE(daylight.getRed(&r, &g, &b, nullptr));
    EXPECT_EQ(r, 1.0);
    EXPECT_EQ(b, 1.0);
    EXPECT_EQ(g, 1.0); // the logarithm gives 255.6, held to 255
    ASSERT_TRUE(colorWithKelvin(6500).getRed(&r, &g, &b, nullptr));
    EXPECT_NEAR(g, (99.4708025861 * std::log(65.0) - 161.1195681661) / 255, 1e-12);
    ASSERT_TRUE(colorWithKelvin(1500).getRed(&r, &g, &b, nullptr));
    EXPECT_EQ(b, 0.0);
    ASSERT_TRUE(colorWithKelvin(20000).getRed(&r, &g, &b, nullptr));
    EXPECT_LT(r, 1.0);
    EXPECT_EQ(b, 1.0);
    // Out of range only warns.
    EXPECT_EQ(colorWithKelvin(500).model(), Color::ModelRGB);

    const auto& table = kelvinDictionary();
    EXPECT_LE(table.size(), 391);
    EXPECT_GT(table.size(), 100); // neighbouring temperatures share a hex text
    EXPECT_EQ(table.value(hexStringValue(colorWithKelvin(1000))), 1000);
    EXPECT_EQ(colorTemperature(colorWithKelvin(3200)), 3200.0f);
    EXPECT_EQ(colorTemperature(Color::colorWithRed(1, 0.2, 0)), 1000.0f);
}

TEST(ColorConversion, RandomColoursKeepTheirDocumentedNearBlackAndGreyResults)
{
    for (int i = 0; i < 20; ++i) {
        const Color dark = randomDarkColor(0.5);
        EXPECT_LT(red(dark), std::ldexp(1.0, -33));
        EXPECT_LT(blue(dark), std::ldexp(1.0, -33));
        EXPECT_LT(green(randomColor()), std::ldexp(1.0, -32));
        const Color light = randomLightColor(0.4);
        EXPECT_NEAR(red(light), 0.6, std::ldexp(0.4, -32));
    }
}

TEST(ColorConversion, QColorBridge)
{
    const Color c = Color::fromQColor(QColor(0, 144, 223));
    EXPECT_EQ(hexStringValue(c), "0090DF");
    EXPECT_EQ(ThemeBlue().toQColor(), QColor(0, 144, 223));
    EXPECT_EQ(Color::grayColor().toQColor(), QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    EXPECT_FALSE(Color::colorWithPatternImage(QImage()).toQColor().isValid());
    EXPECT_EQ(Color::colorWithPatternImage(QImage(4, 4, QImage::Format_RGB32)).toBrush().style(),
        Qt::TexturePattern);
}

TEST(ColorConversion, ColorWheelDrawsRings)
{
    const QImage wheel = colorWheelOfSize(140, true);
    ASSERT_EQ(wheel.size(), QSize(140, 140));
    // Ring 6 (full saturation) at the top is red; the corners stay empty.
    const QColor top = wheel.pixelColor(85, 12);
    EXPECT_GT(top.red(), 200);
    EXPECT_LT(top.green(), 60);
    EXPECT_EQ(wheel.pixelColor(0, 0).alpha(), 0);
}
