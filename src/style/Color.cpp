#include "style/Color.h"

#include <algorithm>
#include <cmath>

namespace {

double clampUnit(double value)
{
    if (std::isnan(value))
        return 0.0;
    return std::clamp(value, 0.0, 1.0);
}

} // namespace

Color::Color() = default;

Color::Color(Model model, double c0, double c1, double c2, double c3)
    : m_model(model)
    , m_c { clampUnit(c0), clampUnit(c1), clampUnit(c2), clampUnit(c3) }
{
}

Color Color::colorWithRed(double red, double green, double blue, double alpha)
{
    return Color(ModelRGB, red, green, blue, alpha);
}

Color Color::colorWithWhite(double white, double alpha)
{
    return Color(ModelMonochrome, white, alpha, 0, 0);
}

Color Color::colorWithHue(double hue, double saturation, double brightness, double alpha)
{
    const double h = clampUnit(hue);
    const double s = clampUnit(saturation);
    const double v = clampUnit(brightness);
    if (s == 0.0)
        return colorWithRed(v, v, v, alpha);
    // Hue 1 is hue 0 again.
    const double sector = (h >= 1.0 ? 0.0 : h) * 6.0;
    const int i = int(std::floor(sector));
    const double f = sector - i;
    const double p = v * (1.0 - s);
    const double q = v * (1.0 - s * f);
    const double t = v * (1.0 - s * (1.0 - f));
    switch (i) {
    case 0:
        return colorWithRed(v, t, p, alpha);
    case 1:
        return colorWithRed(q, v, p, alpha);
    case 2:
        return colorWithRed(p, v, t, alpha);
    case 3:
        return colorWithRed(p, q, v, alpha);
    case 4:
        return colorWithRed(t, p, v, alpha);
    default:
        return colorWithRed(v, p, q, alpha);
    }
}

Color Color::colorWithPatternImage(const QImage& image)
{
    Color color(ModelPattern, 0, 0, 0, 1);
    color.m_pattern = image;
    return color;
}

Color Color::fromQColor(const QColor& color)
{
    if (!color.isValid())
        return clearColor();
    float r = 0, g = 0, b = 0, a = 0;
    color.toRgb().getRgbF(&r, &g, &b, &a);
    return colorWithRed(r, g, b, a);
}

Color Color::blackColor()
{
    return colorWithWhite(0.0);
}
Color Color::darkGrayColor()
{
    return colorWithWhite(1.0 / 3.0);
}
Color Color::lightGrayColor()
{
    return colorWithWhite(2.0 / 3.0);
}
Color Color::whiteColor()
{
    return colorWithWhite(1.0);
}
Color Color::grayColor()
{
    return colorWithWhite(0.5);
}
Color Color::redColor()
{
    return colorWithRed(1, 0, 0);
}
Color Color::greenColor()
{
    return colorWithRed(0, 1, 0);
}
Color Color::blueColor()
{
    return colorWithRed(0, 0, 1);
}
Color Color::cyanColor()
{
    return colorWithRed(0, 1, 1);
}
Color Color::yellowColor()
{
    return colorWithRed(1, 1, 0);
}
Color Color::magentaColor()
{
    return colorWithRed(1, 0, 1);
}
Color Color::orangeColor()
{
    return colorWithRed(1, 0.5, 0);
}
Color Color::purpleColor()
{
    return colorWithRed(0.5, 0, 0.5);
}
Color Color::brownColor()
{
    return colorWithRed(0.6, 0.4, 0.2);
}
Color Color::clearColor()
{
    return colorWithWhite(0.0, 0.0);
}

bool Color::getRed(double* red, double* green, double* blue, double* alpha) const
{
    double r = 0, g = 0, b = 0, a = 0;
    switch (m_model) {
    case ModelRGB:
        r = m_c[0], g = m_c[1], b = m_c[2], a = m_c[3];
        break;
    case ModelMonochrome:
        r = g = b = m_c[0];
        a = m_c[1];
        break;
    default:
        return false;
    }
    if (red)
        *red = r;
    if (green)
        *green = g;
    if (blue)
        *blue = b;
    if (alpha)
        *alpha = a;
    return true;
}

bool Color::getWhite(double* white, double* alpha) const
{
    if (m_model != ModelMonochrome)
        return false;
    if (white)
        *white = m_c[0];
    if (alpha)
        *alpha = m_c[1];
    return true;
}

bool Color::getHue(double* hue, double* saturation, double* brightness, double* alpha) const
{
    double r = 0, g = 0, b = 0, a = 0;
    if (!getRed(&r, &g, &b, &a))
        return false;
    const double max = std::max({ r, g, b });
    const double min = std::min({ r, g, b });
    const double delta = max - min;
    double h = 0.0;
    const double s = max > 0.0 ? delta / max : 0.0;
    if (delta > 0.0) {
        if (r == max)
            h = (g - b) / delta;
        else if (g == max)
            h = 2.0 + (b - r) / delta;
        else
            h = 4.0 + (r - g) / delta;
        h /= 6.0;
        if (h < 0.0)
            h += 1.0;
    }
    if (hue)
        *hue = h;
    if (saturation)
        *saturation = s;
    if (brightness)
        *brightness = max;
    if (alpha)
        *alpha = a;
    return true;
}

QColor Color::toQColor() const
{
    double r = 0, g = 0, b = 0, a = 0;
    if (!getRed(&r, &g, &b, &a))
        return QColor();
    return QColor::fromRgbF(float(r), float(g), float(b), float(a));
}

QBrush Color::toBrush() const
{
    if (m_model == ModelPattern)
        return QBrush(m_pattern);
    const QColor color = toQColor();
    return color.isValid() ? QBrush(color) : QBrush();
}

bool Color::operator==(const Color& other) const
{
    if (m_model != other.m_model)
        return false;
    if (m_model == ModelPattern)
        return m_pattern.cacheKey() == other.m_pattern.cacheKey();
    return std::equal(std::begin(m_c), std::end(m_c), std::begin(other.m_c));
}
