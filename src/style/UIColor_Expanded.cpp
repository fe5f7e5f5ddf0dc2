#include "style/UIColor_Expanded.h"

#include "platform/Exception.h"
#include "style/ColorDictionaries.h"

#include <QDebug>
#include <QLocale>
#include <QPainter>
#include <QStringView>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace UIColor_Expanded {

namespace {

const QString kMustBeRGB = QStringLiteral("Must be an RGB color to use -%1");
const QString kMustBeARGB = QStringLiteral("Must be a RGB color to use -%1");
const QString kMustBeMonochrome = QStringLiteral("Must be a Monochrome color to use -white");
const QString kMustBeRGBForArithmetic
    = QStringLiteral("Must be a RGB color to use arithmetic operations");
const QString kSelfMustBeRGB
    = QStringLiteral("Self must be a RGB color to use arithmatic operations");
const QString kOtherMustBeRGB
    = QStringLiteral("Color must be a RGB color to use arithmatic operations");
const QString kTemperatureWarning
    = QStringLiteral("Warning: temperature should range between 1000 and 40000");
const QString kBracesFormRGBA = QStringLiteral("{%0.4f, %0.4f, %0.4f, %0.4f}");
const QString kBracesFormWhite = QStringLiteral("{%0.4f, %0.4f}");
const QString kHexForm = QStringLiteral("%02X%02X%02X");

const QStringList kColorSpaceNames = {
    QStringLiteral("kCGColorSpaceModelUnknown"),
    QStringLiteral("kCGColorSpaceModelMonochrome"),
    QStringLiteral("kCGColorSpaceModelRGB"),
    QStringLiteral("kCGColorSpaceModelCMYK"),
    QStringLiteral("kCGColorSpaceModelLab"),
    QStringLiteral("kCGColorSpaceModelDeviceN"),
    QStringLiteral("kCGColorSpaceModelIndexed"),
    QStringLiteral("kCGColorSpaceModelPattern"),
};
const QString kNotAColorSpace = QStringLiteral("Not a valid color space");

// Weights of the luminance, kept in single precision as the stored themes were made with.
constexpr float kRedWeight = 0.2126f;
constexpr float kGreenWeight = 0.7152f;
constexpr float kBlueWeight = 0.0722f;
constexpr float kOneSixth = 1.0f / 6.0f;

[[noreturn]] void raise(const QString& message)
{
    throw platform::Exception(platform::Exception::InternalInconsistency, message);
}

void requireRGBCapable(const Color& color, const QString& message)
{
    if (!canProvideRGBComponents(color))
        raise(message);
}

struct RGBA {
    double r = 0, g = 0, b = 0, a = 0;
};

// A colour without RGB components (a pattern, say) reads as all zeros, as the platform's
// getters leave them.
RGBA rgba(const Color& color)
{
    RGBA c;
    if (!color.getRed(&c.r, &c.g, &c.b, &c.a))
        return RGBA();
    return c;
}

struct HSBA {
    double h = 0, s = 0, b = 0, a = 0;
};

// The platform's own HSB of a colour: a grey has hue and saturation 0 here, unlike the
// category's getters, so derived shades of a grey stay grey.
HSBA hsba(const Color& color)
{
    HSBA c;
    if (!color.getHue(&c.h, &c.s, &c.b, &c.a))
        return HSBA();
    return c;
}

ComparisonResult order(double a, double b)
{
    if (a < b)
        return OrderedAscending;
    if (a > b)
        return OrderedDescending;
    return OrderedSame;
}

quint8 toByte(double component)
{
    return quint8(component * 255.0);
}

// Reads text the way the platform's scanner does: white space is skipped before each item.
class Scanner {
public:
    explicit Scanner(QStringView text)
        : m_text(text)
    {
    }

    void skipWhiteSpace()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }
    bool atEnd()
    {
        skipWhiteSpace();
        return m_pos >= m_text.size();
    }
    bool scanCharacter(QChar c)
    {
        skipWhiteSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    // A decimal number with an optional sign, fraction and exponent; always '.' as the
    // decimal point, whatever the user's locale.
    bool scanDouble(double* value)
    {
        skipWhiteSpace();
        qsizetype p = m_pos;
        if (p < m_text.size() && (m_text[p] == u'+' || m_text[p] == u'-'))
            ++p;
        const qsizetype intStart = p;
        while (p < m_text.size() && isDigit(m_text[p]))
            ++p;
        qsizetype digits = p - intStart;
        if (p < m_text.size() && m_text[p] == u'.') {
            const qsizetype fracStart = ++p;
            while (p < m_text.size() && isDigit(m_text[p]))
                ++p;
            digits += p - fracStart;
        }
        if (digits == 0)
            return false;
        if (p < m_text.size() && (m_text[p] == u'e' || m_text[p] == u'E')) {
            qsizetype e = p + 1;
            if (e < m_text.size() && (m_text[e] == u'+' || m_text[e] == u'-'))
                ++e;
            const qsizetype expStart = e;
            while (e < m_text.size() && isDigit(m_text[e]))
                ++e;
            if (e > expStart)
                p = e;
        }
        bool ok = false;
        const double number = QLocale::c().toDouble(m_text.mid(m_pos, p - m_pos), &ok);
        if (!ok || !std::isfinite(number))
            return false;
        *value = number;
        m_pos = p;
        return true;
    }
    // A hexadecimal number with an optional "0x"; saturates at the largest 32-bit value.
    bool scanHexInt(quint32* value)
    {
        skipWhiteSpace();
        qsizetype p = m_pos;
        if (p + 2 < m_text.size() && m_text[p] == u'0'
            && (m_text[p + 1] == u'x' || m_text[p + 1] == u'X') && hexDigit(m_text[p + 2]) >= 0)
            p += 2;
        quint64 number = 0;
        const qsizetype start = p;
        for (; p < m_text.size() && hexDigit(m_text[p]) >= 0; ++p)
            number = std::min<quint64>(number * 16 + quint64(hexDigit(m_text[p])), 0xFFFFFFFFu);
        if (p == start)
            return false;
        *value = quint32(number);
        m_pos = p;
        return true;
    }

private:
    static bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
    static int hexDigit(QChar c)
    {
        if (isDigit(c))
            return c.unicode() - '0';
        if (c >= u'a' && c <= u'f')
            return c.unicode() - 'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c.unicode() - 'A' + 10;
        return -1;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

} // namespace

// ---- Colour-space queries

int colorSpaceModel(const Color& color)
{
    return int(color.model());
}

QString colorSpaceString(int model)
{
    if (model < -1 || model >= kColorSpaceNames.size() - 1)
        return kNotAColorSpace;
    return kColorSpaceNames.at(model + 1);
}

QString colorSpaceString(const Color& color)
{
    return colorSpaceString(colorSpaceModel(color));
}

bool canProvideRGBComponents(const Color& color)
{
    return color.model() == Color::ModelMonochrome || color.model() == Color::ModelRGB;
}

bool usesMonochromeColorspace(const Color& color)
{
    return color.model() == Color::ModelMonochrome;
}

bool usesRGBColorspace(const Color& color)
{
    return color.model() == Color::ModelRGB;
}

QColorSpace colorSpace(const QImage& image)
{
    return image.colorSpace();
}

int colorSpaceModel(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_Invalid:
        return Color::ModelUnknown;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Alpha8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
        return Color::ModelMonochrome;
    case QImage::Format_Indexed8:
        return Color::ModelIndexed;
    default:
        return Color::ModelRGB;
    }
}

QString colorSpaceString(const QImage& image)
{
    return colorSpaceString(colorSpaceModel(image));
}

// ---- Components

double red(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"red"));
    return rgba(color).r;
}

double green(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"green"));
    return rgba(color).g;
}

double blue(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"blue"));
    return rgba(color).b;
}

double alpha(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"alpha"));
    return rgba(color).a;
}

double hue(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"hue"));
    double w = 0;
    if (color.getWhite(&w, nullptr))
        return w;
    return hsba(color).h;
}

double saturation(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"saturation"));
    double w = 0;
    if (color.getWhite(&w, nullptr))
        return w;
    return hsba(color).s;
}

double brightness(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"brightness"));
    double w = 0;
    if (color.getWhite(&w, nullptr))
        return w;
    return hsba(color).b;
}

double white(const Color& color)
{
    double w = 0;
    if (!color.getWhite(&w, nullptr))
        raise(kMustBeMonochrome);
    return w;
}

double premultipliedRed(const Color& color)
{
    return red(color) * alpha(color);
}

double premultipliedGreen(const Color& color)
{
    return green(color) * alpha(color);
}

double premultipliedBlue(const Color& color)
{
    return blue(color) * alpha(color);
}

quint8 redByte(const Color& color)
{
    return toByte(red(color));
}

quint8 greenByte(const Color& color)
{
    return toByte(green(color));
}

quint8 blueByte(const Color& color)
{
    return toByte(blue(color));
}

quint8 alphaByte(const Color& color)
{
    return toByte(alpha(color));
}

quint8 whiteByte(const Color& color)
{
    return toByte(white(color));
}

QByteArray colorBytes(const Color& color)
{
    QByteArray bytes(4, '\0');
    bytes[0] = char(alphaByte(color));
    bytes[1] = char(redByte(color));
    bytes[2] = char(greenByte(color));
    bytes[3] = char(blueByte(color));
    return bytes;
}

QByteArray premultipledColorBytes(const Color& color)
{
    QByteArray bytes(4, '\0');
    bytes[0] = char(alphaByte(color));
    bytes[1] = char(toByte(premultipliedRed(color)));
    bytes[2] = char(toByte(premultipliedGreen(color)));
    bytes[3] = char(toByte(premultipliedBlue(color)));
    return bytes;
}

QList<double> arrayFromRGBAComponents(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"arrayFromRGBAComponents"));
    const RGBA c = rgba(color);
    return { c.r, c.g, c.b, c.a };
}

quint32 rgbHex(const Color& color)
{
    requireRGBCapable(color, kMustBeARGB.arg(u"rgbHex"));
    const RGBA c = rgba(color);
    const auto channel
        = [](double v) { return quint32(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

// ---- CMYK

Color colorWithCyan(double cyan, double magenta, double yellow, double black)
{
    return Color::colorWithRed(
        (1 - cyan) * (1 - black), (1 - magenta) * (1 - black), (1 - yellow) * (1 - black), 1.0);
}

void toC(const Color& color, double* toC, double* toM, double* toY, double* toK)
{
    const RGBA c = rgba(color);
    const float k = 1.0f - std::max({ float(c.r), float(c.g), float(c.b) });
    // Black has no hue to speak of: its cyan, magenta and yellow are 0, not 0 / 0.
    const auto channel = [k](double v) { return k >= 1.0f ? 0.0 : (1.0 - (v + k)) / (1.0 - k); };
    if (toC)
        *toC = channel(c.r);
    if (toM)
        *toM = channel(c.g);
    if (toY)
        *toY = channel(c.b);
    if (toK)
        *toK = k;
}

double cyanChannel(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"cyanChannel"));
    double v = 0;
    toC(color, &v, nullptr, nullptr, nullptr);
    return v;
}

double magentaChannel(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"magentaChannel"));
    double v = 0;
    toC(color, nullptr, &v, nullptr, nullptr);
    return v;
}

double yellowChannel(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"yellowChannel"));
    double v = 0;
    toC(color, nullptr, nullptr, &v, nullptr);
    return v;
}

double blackChannel(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"blackChannel"));
    double v = 0;
    toC(color, nullptr, nullptr, nullptr, &v);
    return v;
}

QList<double> cmyk(const Color& color)
{
    return { cyanChannel(color), magentaChannel(color), yellowChannel(color), blackChannel(color) };
}

// ---- HSB converters

void hue(
    double hue, double saturation, double brightness, double* toRed, double* green, double* blue)
{
    double r = brightness, g = brightness, b = brightness;
    if (saturation != 0.0) {
        const double h = (hue == 360.0 ? 0.0 : hue) / 60.0;
        const float i = std::floor(float(h));
        const double f = h - i;
        const double v = brightness;
        const double p = v * (1 - saturation);
        const double q = v * (1 - saturation * f);
        const double t = v * (1 - saturation * (1 - f));
        switch (int(i)) {
        case 0:
            r = v, g = t, b = p;
            break;
        case 1:
            r = q, g = v, b = p;
            break;
        case 2:
            r = p, g = v, b = t;
            break;
        case 3:
            r = p, g = q, b = v;
            break;
        case 4:
            r = t, g = p, b = v;
            break;
        case 5:
            r = v, g = p, b = q;
            break;
        default:
            r = g = b = 0;
            break;
        }
    }
    if (toRed)
        *toRed = r;
    if (green)
        *green = g;
    if (blue)
        *blue = b;
}

void red(
    double red, double green, double blue, double* toHue, double* saturation, double* brightness)
{
    const double max = std::max({ red, green, blue });
    const double min = std::min({ red, green, blue });
    const double s = max != 0.0 ? (max - min) / max : 0.0;
    double h = 0.0;
    if (max != 0.0 && s != 0.0) {
        const double rc = (max - red) / (max - min);
        const double gc = (max - green) / (max - min);
        const double bc = (max - blue) / (max - min);
        if (red == max)
            h = bc - gc;
        else if (green == max)
            h = 2 + rc - bc;
        else
            h = 4 + gc - rc;
        h *= 60.0;
        if (h < 0.0)
            h += 360.0;
    }
    if (toHue)
        *toHue = h;
    if (saturation)
        *saturation = s;
    if (brightness)
        *brightness = max;
}

// ---- Measures

double luminance(const Color& color)
{
    requireRGBCapable(color, kMustBeARGB.arg(u"luminance"));
    const RGBA c = rgba(color);
    return kRedWeight * c.r + kGreenWeight * c.g + kBlueWeight * c.b;
}

double perceivedBrightness(const Color& color)
{
    const RGBA c = rgba(color);
    return std::sqrt(0.299 * c.r * c.r + 0.587 * c.g * c.g + 0.114 * c.b * c.b);
}

double colorfulness(const Color& color)
{
    const double r = red(color), g = green(color), b = blue(color);
    return (std::fabs(r - g) + std::fabs(g - b) + std::fabs(b - r)) / 2.0;
}

double warmth(const Color& color)
{
    double h = hue(color) - kOneSixth;
    if (h > 0.5)
        h -= 1.0;
    return 2.0 * (0.5 - std::fabs(h));
}

double distanceFrom(const Color& color, const Color& other)
{
    const double dr = red(color) - red(other);
    const double dg = green(color) - green(other);
    const double db = blue(color) - blue(other);
    return std::sqrt(double(float(dr * dr + dg * dg + db * db)));
}

double luminanceDistanceFrom(const Color& color, const Color& other)
{
    return float(std::fabs(luminance(color) - luminance(other)));
}

double hueDistanceFrom(const Color& color, const Color& other)
{
    return std::fabs(hue(color) - hue(other));
}

double hsDistanceFrom(const Color& color, const Color& other)
{
    const double dh = hue(color) - hue(other);
    const double ds = saturation(color) - saturation(other);
    return std::sqrt(float(dh * dh + ds * ds));
}

bool isEqualToColor(const Color& color, const Color& other)
{
    return distanceFrom(color, other) < double(FLT_EPSILON);
}

ComparisonResult compareWarmth(const Color& color, const Color& other)
{
    return order(warmth(color), warmth(other));
}

ComparisonResult compareColorfulness(const Color& color, const Color& other)
{
    return order(colorfulness(color), colorfulness(other));
}

ComparisonResult compareHue(const Color& color, const Color& other)
{
    return order(hue(other), hue(color));
}

ComparisonResult compareSaturation(const Color& color, const Color& other)
{
    return order(saturation(other), saturation(color));
}

ComparisonResult compareBrightness(const Color& color, const Color& other)
{
    return order(brightness(color), brightness(other));
}

// ---- Arithmetic

Color colorByMultiplyingByRed(
    const Color& color, double red, double green, double blue, double alpha)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    const RGBA c = rgba(color);
    return Color::colorWithRed(c.r * red, c.g * green, c.b * blue, c.a * alpha);
}

Color colorByAddingRed(const Color& color, double red, double green, double blue, double alpha)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    const RGBA c = rgba(color);
    return Color::colorWithRed(c.r + red, c.g + green, c.b + blue, c.a + alpha);
}

Color colorByLighteningToRed(
    const Color& color, double red, double green, double blue, double alpha)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    const RGBA c = rgba(color);
    return Color::colorWithRed(
        std::max(c.r, red), std::max(c.g, green), std::max(c.b, blue), std::max(c.a, alpha));
}

Color colorByDarkeningToRed(const Color& color, double red, double green, double blue, double alpha)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    const RGBA c = rgba(color);
    return Color::colorWithRed(
        std::min(c.r, red), std::min(c.g, green), std::min(c.b, blue), std::min(c.a, alpha));
}

Color colorByMultiplyingBy(const Color& color, double factor)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    return colorByMultiplyingByRed(color, factor, factor, factor, alpha(color));
}

Color colorByAdding(const Color& color, double amount)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    return colorByAddingRed(color, amount, amount, amount, alpha(color));
}

Color colorByLighteningTo(const Color& color, double value)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    return colorByLighteningToRed(color, value, value, value, alpha(color));
}

Color colorByDarkeningTo(const Color& color, double value)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    return colorByDarkeningToRed(color, value, value, value, alpha(color));
}

Color colorByMultiplyingByColor(const Color& color, const Color& other)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    const RGBA o = rgba(other);
    return colorByMultiplyingByRed(color, o.r, o.g, o.b, alpha(color));
}

Color colorByAddingColor(const Color& color, const Color& other)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    const RGBA o = rgba(other);
    return colorByAddingRed(color, o.r, o.g, o.b, alpha(color));
}

Color colorByLighteningToColor(const Color& color, const Color& other)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    const RGBA o = rgba(other);
    return colorByLighteningToRed(color, o.r, o.g, o.b, 0.0);
}

Color colorByDarkeningToColor(const Color& color, const Color& other)
{
    requireRGBCapable(color, kMustBeRGBForArithmetic);
    const RGBA o = rgba(other);
    return colorByDarkeningToRed(color, o.r, o.g, o.b, alpha(color));
}

Color colorByInterpolatingToColor(const Color& color, const Color& other, double fraction)
{
    requireRGBCapable(color, kSelfMustBeRGB);
    requireRGBCapable(other, kOtherMustBeRGB);
    const RGBA a = rgba(color);
    const RGBA b = rgba(other);
    const auto mix = [fraction](double x, double y) { return x + fraction * (y - x); };
    return Color::colorWithRed(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a));
}

// ---- Derived colours

Color colorWithBrightness(const Color& color, double brightness)
{
    const HSBA c = hsba(color);
    return Color::colorWithHue(c.h, c.s, brightness, c.a);
}

Color colorWithSaturation(const Color& color, double saturation)
{
    const HSBA c = hsba(color);
    return Color::colorWithHue(c.h, saturation, c.b, c.a);
}

Color colorWithHue(const Color& color, double hue)
{
    const HSBA c = hsba(color);
    return Color::colorWithHue(hue, c.s, c.b, c.a);
}

Color adjustBrightness(const Color& color, double amount)
{
    const HSBA c = hsba(color);
    return Color::colorWithHue(c.h, c.s, std::clamp(c.b + amount, 0.0, 1.0), c.a);
}

Color adjustSaturation(const Color& color, double amount)
{
    const HSBA c = hsba(color);
    return Color::colorWithHue(c.h, std::clamp(c.s + amount, 0.0, 1.0), c.b, c.a);
}

Color adjustHue(const Color& color, double amount)
{
    const HSBA c = hsba(color);
    double h = c.h + amount;
    if (h < 0.0)
        h += 1.0;
    if (h > 1.0)
        h -= 1.0;
    return Color::colorWithHue(h, c.s, c.b, c.a);
}

Color adjustWarmth(const Color& color, double amount)
{
    const HSBA c = hsba(color);
    double h = c.h - kOneSixth;
    if (h < 0.0)
        h += 1.0;
    double shifted = h < 0.5 ? h + amount : h - amount;
    shifted = std::max(shifted, 0.0);
    double newHue = shifted + kOneSixth;
    if (newHue > 1.0)
        newHue -= 1.0;
    return Color::colorWithHue(newHue, c.s, c.b, c.a);
}

Color colorByLuminanceMapping(const Color& color)
{
    return Color::colorWithWhite(luminance(color), alpha(color));
}

Color contrastingColor(const Color& color)
{
    return luminance(color) > 0.5 ? Color::blackColor() : Color::whiteColor();
}

Color complementaryColor(const Color& color)
{
    const HSBA c = hsba(color);
    double degrees = c.h * 360.0 + 180.0;
    if (degrees > 360.0)
        degrees -= 360.0;
    return Color::colorWithHue(degrees / 360.0, c.s, c.b, c.a == 0.0 ? 1.0 : c.a);
}

QList<Color> analogousColorsWithStepAngle(const Color& color, double stepAngle, int pairCount)
{
    const HSBA c = hsba(color);
    const double hueDegrees = c.h * 360.0;
    QList<Color> colors;
    for (int i = 1; i <= pairCount; ++i) {
        const float step = std::fmod(float(std::fabs(stepAngle) * i), 360.0f);
        const float h1 = std::fmod(float(hueDegrees + step), 360.0f);
        const float h2 = std::fmod(float(hueDegrees + 360.0 - step), 360.0f);
        // The step in degrees stands as the alpha; the constructor clamps it to 1.
        colors << Color::colorWithHue(h1 / 360.0, c.s, c.b, step);
        colors << Color::colorWithHue(h2 / 360.0, c.s, c.b, step);
    }
    return colors;
}

QList<Color> triadicColors(const Color& color)
{
    return analogousColorsWithStepAngle(color, 120.0, 1);
}

Color telmicColorWithColor(const Color& color, const Color& other)
{
    const HSBA a = hsba(color);
    const HSBA b = hsba(other);
    double d = std::fabs(a.h - b.h);
    double base = std::min(a.h, b.h);
    if (d > 0.5) {
        d = 1.0 - d;
        base = std::max(a.h, b.h);
    }
    double h = base + d * 0.5;
    if (d < 0.5)
        h += 0.5;
    while (h > 1.0)
        h -= 1.0;
    double alphaMean = (a.a + b.a) / 2.0;
    if (alphaMean < double(0.005f))
        alphaMean = 1.0;
    return Color::colorWithHue(h, (a.s + b.s) / 2.0, (a.b + b.b) / 2.0, alphaMean);
}

std::optional<Color> lighterColor(const Color& color)
{
    HSBA c;
    if (!color.getHue(&c.h, &c.s, &c.b, &c.a))
        return std::nullopt;
    return Color::colorWithHue(c.h, c.s, std::min(c.b * 1.3, 1.0), c.a);
}

std::optional<Color> darkerColor(const Color& color)
{
    HSBA c;
    if (!color.getHue(&c.h, &c.s, &c.b, &c.a))
        return std::nullopt;
    return Color::colorWithHue(c.h, c.s, c.b * 0.7, c.a);
}

QImage colorWheelOfSize(double size, bool border)
{
    const int pixels = std::max(1, int(std::ceil(size)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size / 2.0, size / 2.0);
    for (int ring = 1; ring <= 6; ++ring) {
        const double radius = size * ring / 14.0;
        const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        for (int angle = 0; angle < 360; angle += 30) {
            const Color arcColor = Color::colorWithHue(angle / 360.0, ring / 6.0, 1.0, 1.0);
            painter.setPen(QPen(arcColor.toQColor(), size / 14.0, Qt::SolidLine, Qt::FlatCap));
            int start = angle - 90;
            if (start < 0)
                start += 360;
            // Clockwise on screen is a negative angle for the painter.
            painter.drawArc(box, -start * 16, -30 * 16);
        }
    }
    if (border) {
        const double radius = size / 2.0 - size / 28.0;
        painter.setPen(QPen(Qt::black, 4));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, radius, radius);
    }
    return image;
}

// ---- Colour temperature

Color colorWithKelvin(double kelvin)
{
    if (kelvin < 1000 || kelvin > 40000)
        qWarning().noquote() << kTemperatureWarning;
    const double x = kelvin / 100.0;
    double r = 0, g = 0, b = 0;
    if (x <= 66) {
        r = 255;
        g = 99.4708025861 * std::log(x) - 161.1195681661;
    } else {
        r = 329.698727446 * std::pow(x - 60, -0.1332047592);
        g = 288.1221695283 * std::pow(x - 60, -0.0755148492);
    }
    if (x >= 66)
        b = 255;
    else if (x <= 19)
        b = 0;
    else
        b = 138.5177312231 * std::log(x - 10) - 305.0447927307;
    const auto unit
        = [](double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 255.0) / 255.0; };
    return Color::colorWithRed(unit(r), unit(g), unit(b), 1.0);
}

namespace {

struct KelvinTable {
    QHash<QString, int> dictionary;
    // The same entries in rising temperature, the order colorTemperature searches them.
    QList<QPair<Color, int>> ordered;
};

const KelvinTable& kelvinTable()
{
    static const KelvinTable table = [] {
        KelvinTable t;
        for (int kelvin = 1000; kelvin <= 40000; kelvin += 100) {
            const QString hex = hexStringValue(colorWithKelvin(kelvin));
            if (t.dictionary.contains(hex))
                continue;
            t.dictionary.insert(hex, kelvin);
            if (const auto parsed = colorWithHexString(hex))
                t.ordered.append({ *parsed, kelvin });
        }
        return t;
    }();
    return table;
}

} // namespace

const QHash<QString, int>& kelvinDictionary()
{
    return kelvinTable().dictionary;
}

float colorTemperature(const Color& color)
{
    float best = 0.0f;
    double bestDistance = std::numeric_limits<double>::max();
    for (const auto& [candidate, kelvin] : kelvinTable().ordered) {
        const double distance = distanceFrom(color, candidate);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = float(kelvin);
        }
    }
    return best;
}

// ---- Random colours

namespace {

double randomChannel(bool* seeded)
{
    if (!*seeded) {
        srandom(unsigned(std::time(nullptr)));
        *seeded = true;
    }
    return std::ldexp(double(random()), -63);
}

bool randomSeeded = false;
bool randomDarkSeeded = false;
bool randomLightSeeded = false;

} // namespace

Color randomColor()
{
    const double r = randomChannel(&randomSeeded);
    const double g = randomChannel(&randomSeeded);
    const double b = randomChannel(&randomSeeded);
    return Color::colorWithRed(r, g, b, 1.0);
}

Color randomDarkColor(double amount)
{
    const double r = randomChannel(&randomDarkSeeded) * amount;
    const double g = randomChannel(&randomDarkSeeded) * amount;
    const double b = randomChannel(&randomDarkSeeded) * amount;
    return Color::colorWithRed(r, g, b, 1.0);
}

Color randomLightColor(double amount)
{
    const double r = (1 - amount) + randomChannel(&randomLightSeeded) * amount;
    const double g = (1 - amount) + randomChannel(&randomLightSeeded) * amount;
    const double b = (1 - amount) + randomChannel(&randomLightSeeded) * amount;
    return Color::colorWithRed(r, g, b, 1.0);
}

// ---- Text forms

QString stringValue(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"stringValue"));
    // QString::asprintf formats in the C locale, so stored texts never carry a comma.
    double w = 0, a = 0;
    if (color.getWhite(&w, &a))
        return QString::asprintf(qPrintable(kBracesFormWhite), w, a);
    const RGBA c = rgba(color);
    return QString::asprintf(qPrintable(kBracesFormRGBA), c.r, c.g, c.b, c.a);
}

std::optional<Color> colorWithString(const QString& text)
{
    constexpr int maxComponents = 4;
    Scanner scanner(text);
    QList<double> numbers;
    double number = 0;
    if (!scanner.scanCharacter(u'{') || !scanner.scanDouble(&number))
        return std::nullopt;
    numbers << number;
    while (!scanner.scanCharacter(u'}')) {
        if (!scanner.scanCharacter(u',') || !scanner.scanDouble(&number))
            return std::nullopt;
        numbers << number;
        if (numbers.size() > maxComponents)
            return std::nullopt;
    }
    if (!scanner.atEnd())
        return std::nullopt;
    if (numbers.size() == 4)
        return Color::colorWithRed(numbers[0], numbers[1], numbers[2], numbers[3]);
    if (numbers.size() == 2)
        return Color::colorWithWhite(numbers[0], numbers[1]);
    return std::nullopt;
}

QString hexStringValue(const Color& color)
{
    requireRGBCapable(color, kMustBeRGB.arg(u"hexStringValue"));
    if (usesMonochromeColorspace(color)) {
        const quint8 w = whiteByte(color);
        return QString::asprintf(qPrintable(kHexForm), w, w, w);
    }
    return QString::asprintf(
        qPrintable(kHexForm), redByte(color), greenByte(color), blueByte(color));
}

std::optional<Color> colorWithHexString(const QString& text)
{
    QStringView view(text);
    if (view.startsWith(u'#'))
        view = view.mid(1);
    Scanner scanner(view);
    quint32 hex = 0;
    if (!scanner.scanHexInt(&hex))
        return std::nullopt;
    return colorWithRGBHex(hex);
}

Color colorWithRGBHex(quint32 hex)
{
    const float r = float((hex >> 16) & 0xFF) / 255.0f;
    const float g = float((hex >> 8) & 0xFF) / 255.0f;
    const float b = float(hex & 0xFF) / 255.0f;
    return Color::colorWithRed(r, g, b, 1.0);
}

QString valueString(const Color& color)
{
    QStringList cmykTexts;
    for (double v : cmyk(color))
        cmykTexts << QString::number(v, 'g', QLocale::FloatingPointShortest);
    const QString name = closestColorName(color);
    return QStringLiteral("%1 [%2 %3 %4] (%5): ")
               .arg(hexStringValue(color))
               .arg(int(redByte(color)))
               .arg(int(greenByte(color)))
               .arg(int(blueByte(color)))
               .arg(name.isNull() ? QStringLiteral("(null)") : name)
        + QString::asprintf("RGB:(%f, %f, %f) HSB:(%f, %f, %f) CMYK:(", red(color), green(color),
            blue(color), hue(color), saturation(color), brightness(color))
        + cmykTexts.join(QStringLiteral(", ")) + QString::asprintf(") alpha: %f", alpha(color));
}

} // namespace UIColor_Expanded
