#include "style/NamedColors.h"
#include "style/UIColor_Expanded.h"

#include <gtest/gtest.h>

using namespace UIColor_Expanded;

TEST(NamedColors, DocumentedValuesAndCaching)
{
    EXPECT_EQ(hexStringValue(aliceBlue()), "F0F8FF");
    EXPECT_EQ(hexStringValue(blueGreen()), "00DFDF");
    EXPECT_EQ(hexStringValue(charcoal()), "464646");
    EXPECT_EQ(hexStringValue(darkBrown()), "654321");
    EXPECT_EQ(hexStringValue(zinnwaldite()), "EBC2AF");
    EXPECT_EQ(hexStringValue(grey()), "808080");
    EXPECT_EQ(&darkBrown(), &darkBrown());
    // Named white and black are RGB colours, unlike the system's greys.
    EXPECT_EQ(stringValue(white()), "{1.0000, 1.0000, 1.0000, 1.0000}");
    EXPECT_EQ(stringValue(black()), "{0.0000, 0.0000, 0.0000, 1.0000}");
    EXPECT_EQ(stringValue(Color::whiteColor()), "{1.0000, 1.0000}");
    // The component getter and the named colour stand side by side.
    EXPECT_EQ(red(red()), 1.0);
}

TEST(NamedColors, PaletteAndThemeLookup)
{
    EXPECT_EQ(hexStringValue(SgcGrey()), "434F56");
    EXPECT_EQ(hexStringValue(TemplateBackGround()), "E5E5E5");
    EXPECT_DOUBLE_EQ(green(Excel6()), 50.2 / 255);

    EXPECT_EQ(themeColorNames().size(), 17);
    EXPECT_EQ(themeColorNames().first(), "RubyRed");
    for (const QString& name : themeColorNames())
        EXPECT_TRUE(themeColor(name).has_value()) << qPrintable(name);
    EXPECT_EQ(*themeColor("Grey"), ThemeGrey());
    EXPECT_EQ(*themeColor("Blue"), ThemeBlue());
    EXPECT_EQ(themeRGBString("Grey"), "{0.7255, 0.7294, 0.7333, 1.0000}");
    // Only the seventeen theme names are theme colours.
    for (const QString& name : { QString(), QString(""), QString("grey"), QString("Excel1"),
             QString("BackGround"), QString("Theme") })
        EXPECT_FALSE(themeColor(name).has_value()) << qPrintable(name);
    EXPECT_TRUE(themeRGBString("Nope").isNull());

    EXPECT_EQ(&GetRandomColor(7), &Excel8());
    EXPECT_EQ(&GetRandomColor(8), &Excel1());
    EXPECT_EQ(&GetRandomColor(0), &Excel1());
}
