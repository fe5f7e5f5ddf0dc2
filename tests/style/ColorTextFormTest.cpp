#include "CommaLocale.h"

#include "style/NamedColors.h"
#include "style/UIColor_Expanded.h"

#include <gtest/gtest.h>

using namespace UIColor_Expanded;

namespace {

void expectRGBA(const std::optional<Color>& color, double r, double g, double b, double a,
    double tolerance = 1e-9)
{
    ASSERT_TRUE(color.has_value());
    double cr = -1, cg = -1, cb = -1, ca = -1;
    ASSERT_TRUE(color->getRed(&cr, &cg, &cb, &ca));
    EXPECT_NEAR(cr, r, tolerance);
    EXPECT_NEAR(cg, g, tolerance);
    EXPECT_NEAR(cb, b, tolerance);
    EXPECT_NEAR(ca, a, tolerance);
}

// Every case runs twice: in the C locale and under a comma-decimal locale.
class ColorTextForm : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (GetParam()) {
            m_locale = std::make_unique<CommaLocale>();
            // The decoy must be live, or the test proves nothing about locale independence.
            ASSERT_EQ(QLocale().toString(0.5), QStringLiteral("0,5"));
            ASSERT_TRUE(m_locale->cLibraryUsesComma()) << "localedef could not make de_DE";
        }
    }
    std::unique_ptr<CommaLocale> m_locale;
};

} // namespace

TEST_P(ColorTextForm, BracesFormIsByteExactAndRoundTrips)
{
    EXPECT_EQ(stringValue(Color::colorWithRed(1, 0, 0, 1)), "{1.0000, 0.0000, 0.0000, 1.0000}");
    EXPECT_EQ(stringValue(Color::colorWithWhite(0.5, 0.25)), "{0.5000, 0.2500}");
    EXPECT_EQ(themeRGBString("Grey"), "{0.7255, 0.7294, 0.7333, 1.0000}");

    const Color odd = Color::colorWithRed(0.12345, 0.98765, 0.5, 0.33333);
    const auto back = colorWithString(stringValue(odd));
    expectRGBA(back, 0.1235, 0.9877, 0.5, 0.3333, 1e-12);
    EXPECT_EQ(stringValue(*back), stringValue(odd));
    EXPECT_TRUE(usesMonochromeColorspace(*colorWithString(stringValue(Color::grayColor()))));
}

TEST_P(ColorTextForm, BracesParserAcceptsSpacingAndGreys)
{
    expectRGBA(colorWithString("{0.5, 1}"), 0.5, 0.5, 0.5, 1.0);
    EXPECT_TRUE(usesMonochromeColorspace(*colorWithString("{0.5, 1}")));
    expectRGBA(colorWithString("  {0.1,0.2 ,  0.3,\n1}  "), 0.1, 0.2, 0.3, 1.0);
    expectRGBA(colorWithString("{1, .5, 0., 1e0}"), 1.0, 0.5, 0.0, 1.0);
    // Out-of-range numbers are held to 0...1.
    expectRGBA(colorWithString("{2, -1, 0.5, 1}"), 1.0, 0.0, 0.5, 1.0);
}

TEST_P(ColorTextForm, BracesParserRejectsBadTextWithoutCrashing)
{
    const QStringList bad = {
        "{1, 0, 0}",
        "{1, 0, 0, 1, 1}",
        "{1, 0, 0, 1}x",
        "{1}",
        "1, 0, 0, 1}",
        "{1 0 0 1}",
        "{1, 0, 0, 1",
        "{1, , 0, 1}",
        "{}",
        "",
        "{0,5, 0,5}x",
        "{1, 0, 0, nan}",
        "{1e999, 0}",
        "{-, 0}",
        QString(),
        "{1, 0, 0, 1} }",
        "{ , }",
    };
    for (const QString& text : bad)
        EXPECT_FALSE(colorWithString(text).has_value()) << qPrintable(text);
    // A comma-decimal text is not a colour of four numbers but of two greys' worth: "{0,5}"
    // reads as the numbers 0 and 5.
    expectRGBA(colorWithString("{0,5}"), 0.0, 0.0, 0.0, 1.0);
}

TEST_P(ColorTextForm, HexFormAndItsParser)
{
    EXPECT_EQ(hexStringValue(Color::colorWithRed(1, 0.5, 0, 1)), "FF7F00");
    EXPECT_EQ(hexStringValue(Color::whiteColor()), "FFFFFF");
    EXPECT_EQ(hexStringValue(Color::colorWithWhite(0.5)), "7F7F7F");
    EXPECT_EQ(hexStringValue(ThemeBlue()), "0090DF");

    const auto hash = colorWithHexString("#FF8000");
    const auto bare = colorWithHexString("ff8000");
    ASSERT_TRUE(hash && bare);
    EXPECT_EQ(*hash, *bare);
    expectRGBA(hash, 1.0, double(128.0f / 255.0f), 0.0, 1.0);
    EXPECT_EQ(*colorWithHexString("  0x0000ff and more"), *colorWithHexString("0000FF"));
    EXPECT_EQ(hexStringValue(*colorWithHexString("#1FF8000")), "FF8000");
    EXPECT_EQ(hexStringValue(*colorWithHexString("123456789ABC")), "FFFFFF");

    for (const QString& text : { QString("#"), QString(), QString(""), QString("##FF0000"),
             QString("xyz"), QString("#  ") })
        EXPECT_FALSE(colorWithHexString(text).has_value()) << qPrintable(text);
}

TEST_P(ColorTextForm, DescriptionUsesPointDecimals)
{
    const QString text = valueString(Color::colorWithRed(1, 0, 0, 1));
    EXPECT_TRUE(text.startsWith("FF0000 [255 0 0] (")) << qPrintable(text);
    EXPECT_TRUE(text.contains("RGB:(1.000000, 0.000000, 0.000000) HSB:(0.000000, 1.000000, "
                              "1.000000) CMYK:(0, 1, 1, 0) alpha: 1.000000"))
        << qPrintable(text);
}

INSTANTIATE_TEST_SUITE_P(Locales, ColorTextForm, ::testing::Values(false, true),
    [](const auto& info) { return info.param ? "CommaLocale" : "CLocale"; });
