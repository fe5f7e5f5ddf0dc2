#pragma once

#include "style/Color.h"

#include <QByteArray>
#include <QColorSpace>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

#include <optional>

// Colour arithmetic, conversions and the two text forms the system stores colours in.
// Every component is a double in 0...1 unless a comment says otherwise. Operations that
// need an RGB-capable colour (RGB or grey) raise platform::Exception
// ("NSInternalInconsistencyException") for any other colour, such as a pattern.
namespace UIColor_Expanded {

// Order of two values, as the platform's comparison result.
enum ComparisonResult { OrderedAscending = -1, OrderedSame = 0, OrderedDescending = 1 };

// Colour-space queries.
int colorSpaceModel(const Color& color);
QString colorSpaceString(int model);
QString colorSpaceString(const Color& color);
bool canProvideRGBComponents(const Color& color);
bool usesMonochromeColorspace(const Color& color);
bool usesRGBColorspace(const Color& color);
// The same for the bitmap of an image.
QColorSpace colorSpace(const QImage& image);
int colorSpaceModel(const QImage& image);
QString colorSpaceString(const QImage& image);

// Component getters. A grey answers its white level for red, green, blue, hue,
// saturation and brightness alike.
double red(const Color& color);
double green(const Color& color);
double blue(const Color& color);
double alpha(const Color& color);
double hue(const Color& color);
double saturation(const Color& color);
double brightness(const Color& color);
double white(const Color& color); // greys only
double premultipliedRed(const Color& color);
double premultipliedGreen(const Color& color);
double premultipliedBlue(const Color& color);
// Component times 255, truncated.
quint8 redByte(const Color& color);
quint8 greenByte(const Color& color);
quint8 blueByte(const Color& color);
quint8 alphaByte(const Color& color);
quint8 whiteByte(const Color& color);
// Four bytes: alpha, red, green, blue.
QByteArray colorBytes(const Color& color);
QByteArray premultipledColorBytes(const Color& color);
QList<double> arrayFromRGBAComponents(const Color& color);
// (R << 16) | (G << 8) | B with each channel rounded to the nearest byte.
quint32 rgbHex(const Color& color);

// CMYK.
Color colorWithCyan(double cyan, double magenta, double yellow, double black);
void toC(const Color& color, double* toC, double* toM, double* toY, double* toK);
double cyanChannel(const Color& color);
double magentaChannel(const Color& color);
double yellowChannel(const Color& color);
double blackChannel(const Color& color);
QList<double> cmyk(const Color& color);

// HSB converters with the hue in degrees (0...360); every output pointer may be null.
void hue(
    double hue, double saturation, double brightness, double* toRed, double* green, double* blue);
void red(
    double red, double green, double blue, double* toHue, double* saturation, double* brightness);

// Measures.
double luminance(const Color& color);
double perceivedBrightness(const Color& color);
double colorfulness(const Color& color);
double warmth(const Color& color);
double distanceFrom(const Color& color, const Color& other);
double luminanceDistanceFrom(const Color& color, const Color& other);
double hueDistanceFrom(const Color& color, const Color& other);
double hsDistanceFrom(const Color& color, const Color& other);
bool isEqualToColor(const Color& color, const Color& other);
ComparisonResult compareWarmth(const Color& color, const Color& other);
ComparisonResult compareColorfulness(const Color& color, const Color& other);
ComparisonResult compareHue(const Color& color, const Color& other);
ComparisonResult compareSaturation(const Color& color, const Color& other);
ComparisonResult compareBrightness(const Color& color, const Color& other);

// Channel arithmetic; results are RGB colours clamped to 0...1.
Color colorByMultiplyingByRed(
    const Color& color, double red, double green, double blue, double alpha);
Color colorByAddingRed(const Color& color, double red, double green, double blue, double alpha);
Color colorByLighteningToRed(
    const Color& color, double red, double green, double blue, double alpha);
Color colorByDarkeningToRed(
    const Color& color, double red, double green, double blue, double alpha);
Color colorByMultiplyingBy(const Color& color, double factor);
Color colorByAdding(const Color& color, double amount);
Color colorByLighteningTo(const Color& color, double value);
Color colorByDarkeningTo(const Color& color, double value);
// The same with the other colour's red, green and blue as the numbers.
Color colorByMultiplyingByColor(const Color& color, const Color& other);
Color colorByAddingColor(const Color& color, const Color& other);
Color colorByLighteningToColor(const Color& color, const Color& other);
Color colorByDarkeningToColor(const Color& color, const Color& other);
Color colorByInterpolatingToColor(const Color& color, const Color& other, double fraction);

// Derived colours.
Color colorWithBrightness(const Color& color, double brightness);
Color colorWithSaturation(const Color& color, double saturation);
Color colorWithHue(const Color& color, double hue);
Color adjustBrightness(const Color& color, double amount);
Color adjustSaturation(const Color& color, double amount);
Color adjustHue(const Color& color, double amount);
Color adjustWarmth(const Color& color, double amount);
Color colorByLuminanceMapping(const Color& color);
Color contrastingColor(const Color& color);
Color complementaryColor(const Color& color);
QList<Color> analogousColorsWithStepAngle(const Color& color, double stepAngle, int pairCount);
QList<Color> triadicColors(const Color& color);
Color telmicColorWithColor(const Color& color, const Color& other);
// Brightness times 1.3 (capped at 1) or times 0.7; no colour for a pattern.
[[nodiscard]] std::optional<Color> lighterColor(const Color& color);
[[nodiscard]] std::optional<Color> darkerColor(const Color& color);
QImage colorWheelOfSize(double size, bool border);

// Colour temperature.
Color colorWithKelvin(double kelvin);
// Hex text (no "#") of the colour of every 100 K from 1000 to 40000, to that temperature.
const QHash<QString, int>& kelvinDictionary();
float colorTemperature(const Color& color);

// Random colours; each seeds the C library's random() on its first call.
Color randomColor();
Color randomDarkColor(double amount);
Color randomLightColor(double amount);

// Text forms, always with C-locale decimals. The braces form "{r, g, b, a}" (or "{w, a}"
// for a grey) is what settings and colour rows store; the hex form "RRGGBB" is what reports
// and the colour dictionaries use.
QString stringValue(const Color& color);
[[nodiscard]] std::optional<Color> colorWithString(const QString& text);
QString hexStringValue(const Color& color);
[[nodiscard]] std::optional<Color> colorWithHexString(const QString& text);
Color colorWithRGBHex(quint32 hex);
// A one-line description with hex, bytes, closest name, RGB, HSB, CMYK and alpha.
QString valueString(const Color& color);

} // namespace UIColor_Expanded
