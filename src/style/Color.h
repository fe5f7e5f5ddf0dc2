#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QMetaType>

// A colour as the interface toolkit hands it around: a colour-space model with
// double-precision components. QColor keeps 16-bit components and knows no grey or
// pattern colours, yet stored colour texts tell a grey ("{w, a}") from an RGB colour and
// the style's background is a pattern, so colours of the system are values of this class
// and become QColor or QBrush only when painted.
class Color {
public:
    // Colour-space models, numbered as the platform numbers them.
    enum Model {
        ModelUnknown = -1,
        ModelMonochrome = 0,
        ModelRGB = 1,
        ModelCMYK = 2,
        ModelLab = 3,
        ModelDeviceN = 4,
        ModelIndexed = 5,
        ModelPattern = 6,
    };

    // Transparent black, like the platform's clear colour.
    Color();

    // Components outside 0...1 are clamped (not-a-number counts as 0).
    static Color colorWithRed(double red, double green, double blue, double alpha = 1.0);
    static Color colorWithWhite(double white, double alpha = 1.0);
    // Hue, saturation and brightness in 0...1; the result is an RGB colour.
    static Color colorWithHue(double hue, double saturation, double brightness, double alpha = 1.0);
    static Color colorWithPatternImage(const QImage& image);
    // An RGB colour with the QColor's components (an invalid QColor gives clear).
    static Color fromQColor(const QColor& color);

    // The platform's system colours: black, white, greys and clear are monochrome.
    static Color blackColor();
    static Color darkGrayColor();
    static Color lightGrayColor();
    static Color whiteColor();
    static Color grayColor();
    static Color redColor();
    static Color greenColor();
    static Color blueColor();
    static Color cyanColor();
    static Color yellowColor();
    static Color magentaColor();
    static Color orangeColor();
    static Color purpleColor();
    static Color brownColor();
    static Color clearColor();

    Model model() const { return m_model; }

    // Red, green, blue and alpha; a grey answers its white level three times. False (and
    // nothing written) for colours of other models. Null pointers are allowed.
    [[nodiscard]] bool getRed(double* red, double* green, double* blue, double* alpha) const;
    // White level and alpha of a grey; false for other models.
    [[nodiscard]] bool getWhite(double* white, double* alpha) const;
    // Hue, saturation, brightness (all 0...1) and alpha of an RGB colour or a grey (hue and
    // saturation 0); false for other models.
    [[nodiscard]] bool getHue(
        double* hue, double* saturation, double* brightness, double* alpha) const;

    // The image of a pattern colour; null for other models.
    QImage patternImage() const { return m_pattern; }

    // For painting: the colour as QColor (invalid for a pattern or other models) or as a
    // brush (a texture brush for a pattern).
    QColor toQColor() const;
    QBrush toBrush() const;

    bool operator==(const Color& other) const;
    bool operator!=(const Color& other) const { return !(*this == other); }

private:
    Color(Model model, double c0, double c1, double c2, double c3);

    Model m_model = ModelMonochrome;
    // RGB: red, green, blue, alpha. Monochrome: white, alpha, 0, 0.
    double m_c[4] = { 0, 0, 0, 0 };
    QImage m_pattern;
};

Q_DECLARE_METATYPE(Color)
