#include "style/ThemedImages.h"
#include "common/TestSupport.h"
#include "style/Theme.h"
#include "utilities/shell/KivoAppDelegate.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::ui::Image;
namespace TI = ThemedImages;

namespace {

QColor rgba(int r, int g, int b, int a = 255)
{
    return QColor(r, g, b, a);
}

// Compares un-premultiplied channels, within a step of rounding.
void expectPixel(const Image& image, int x, int y, const QColor& expected, int tolerance = 1)
{
    ASSERT_FALSE(image.isNull());
    const QColor actual = image.image().pixelColor(x, y);
    SCOPED_TRACE(QString("pixel (%1, %2) is (%3, %4, %5, %6)")
                     .arg(x)
                     .arg(y)
                     .arg(actual.red())
                     .arg(actual.green())
                     .arg(actual.blue())
                     .arg(actual.alpha())
                     .toStdString());
    EXPECT_NEAR(actual.alpha(), expected.alpha(), tolerance);
    if (expected.alpha() == 0)
        return;
    EXPECT_NEAR(actual.red(), expected.red(), tolerance);
    EXPECT_NEAR(actual.green(), expected.green(), tolerance);
    EXPECT_NEAR(actual.blue(), expected.blue(), tolerance);
}

// Images written into a resources folder of the test's own, so each case sees exactly the
// images it needs.
struct ThemedImagesTest : ::testing::Test {
    KivoAppDelegate delegate;
    QTemporaryDir resources;

    void SetUp() override
    {
        Preferences::registerDefaults();
        delegate.setCurrentStyle(Theme::getDefaultTheme());
        ASSERT_TRUE(QDir(resources.path()).mkpath("images"));
        qputenv("KIVOTAB_RESOURCES", resources.path().toUtf8());
        Image::clearCache();
    }
    void TearDown() override
    {
        qunsetenv("KIVOTAB_RESOURCES");
        Image::clearCache();
    }

    void write(const QString& file, const QImage& image)
    {
        ASSERT_TRUE(image.save(resources.path() + "/images/" + file + ".png"));
        Image::clearCache();
    }
    // A solid image of the colour.
    void write(const QString& file, const QColor& color, QSize size = QSize(2, 2))
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(color);
        write(file, image);
    }
    // Four pixels: opaque black, transparent, half-transparent black, opaque mid grey.
    void writeMaster(const QString& file)
    {
        QImage image(4, 1, QImage::Format_ARGB32);
        image.setPixelColor(0, 0, rgba(0, 0, 0));
        image.setPixelColor(1, 0, rgba(0, 0, 0, 0));
        image.setPixelColor(2, 0, rgba(0, 0, 0, 128));
        image.setPixelColor(3, 0, rgba(128, 128, 128));
        write(file, image);
    }
    QColor imageColor() const { return Theme::current()->imageColor().toQColor(); }
};

} // namespace

TEST_F(ThemedImagesTest, AThemeVariantComesFirstAndIsReturnedUntouched)
{
    write("databaseBlue", rgba(10, 20, 30));
    write("database", rgba(200, 0, 0));
    writeMaster("databaseBlack");
    EXPECT_EQ(delegate.currentPreferences()->imagetheme().toString(), "Blue");
    EXPECT_EQ(TI::themedimageNamed("database"), Image::named("databaseBlue"));

    delegate.currentPreferences()->setImagetheme("Green");
    EXPECT_EQ(TI::themedimageNamed("database"), Image::named("database"));
}

TEST_F(ThemedImagesTest, APlainImageIsUsedUnchangedBeforeAnyMaster)
{
    write("database", rgba(200, 0, 0));
    writeMaster("databaseBlack");
    const Image image = TI::themedimageNamed("database");
    EXPECT_EQ(image, Image::named("database"));
    expectPixel(image, 0, 0, rgba(200, 0, 0));
}

TEST_F(ThemedImagesTest, AMasterIsRecolouredPixelByPixelInTheImageColour)
{
    writeMaster("databaseBlack");
    const QColor k = imageColor();
    ASSERT_EQ(k, rgba(0, 144, 223)); // the default image colour
    const Image image = TI::themedimageNamed("database");
    ASSERT_EQ(image.image().size(), QSize(4, 1));
    // Solid ink takes the colour exactly; the ground stays clear.
    expectPixel(image, 0, 0, k);
    expectPixel(image, 1, 0, rgba(0, 0, 0, 0));
    // A half-covered edge: the copy at half strength over the master's own half black,
    // 0.5 + 0.5 * 0.5 covered, in the colour darkened by the black beneath.
    expectPixel(image, 2, 0, rgba(0, 96, 149, 192), 2);
    // Mid grey is half ink: half the colour over the grey.
    expectPixel(image, 3, 0, rgba(64, 136, 175), 2);
}

TEST_F(ThemedImagesTest, RecolouringKeepsTheMastersScaleAndTakesAnyColour)
{
    QImage twice(4, 4, QImage::Format_ARGB32);
    twice.fill(Qt::black);
    write("colorBlack@2x", twice);
    const Image tinted = TI::themedimageNamed1("color", Color::colorWithRed(1, 0, 0));
    EXPECT_EQ(tinted.scale(), 2.0);
    EXPECT_EQ(tinted.size(), QSizeF(2, 2));
    expectPixel(tinted, 3, 3, rgba(255, 0, 0));
    // Without a colour (no style), the master comes back as it is.
    expectPixel(TI::themedimageNamed1("color", Color::clearColor()), 0, 0, rgba(0, 0, 0));
}

TEST_F(ThemedImagesTest, ARedMasterServesWhenThereIsNoBlackOneAndRecoloursFully)
{
    write("chartRed", rgba(255, 0, 0));
    expectPixel(TI::themedimageNamed("chart"), 1, 1, imageColor());
    write("chartBlack", rgba(0, 0, 0, 0));
    expectPixel(TI::themedimageNamed("chart"), 1, 1, rgba(0, 0, 0, 0));
}

TEST_F(ThemedImagesTest, ANameWithNoImageGivesTheUnknownMasterRecolouredOrNothing)
{
    EXPECT_TRUE(TI::themedimageNamed("nothing").isNull());
    write(TI::UnknownMaster, rgba(0, 0, 0));
    const Image fallback = TI::themedimageNamed("nothing");
    expectPixel(fallback, 0, 0, imageColor());
    EXPECT_EQ(fallback, TI::themedimageNamed1("unknown"));
}

TEST_F(ThemedImagesTest, BarImagesFollowTheBarThemeThenThePlainName)
{
    Preferences* preferences = delegate.currentPreferences();
    preferences->setBartheme("Green");
    EXPECT_TRUE(TI::barthemedimageNamed("bg_navbar").isNull());
    write("bg_navbar", rgba(1, 1, 1));
    EXPECT_EQ(TI::barthemedimageNamed("bg_navbar"), Image::named("bg_navbar"));
    write("bg_navbarGreen", rgba(0, 200, 0));
    EXPECT_EQ(TI::barthemedimageNamed("bg_navbar"), Image::named("bg_navbarGreen"));
    // "Default" stands for the image theme.
    write("bg_navbarBlue", rgba(0, 0, 200));
    preferences->setBartheme("Default");
    EXPECT_EQ(TI::barthemedimageNamed("bg_navbar"), Image::named("bg_navbarBlue"));
}

TEST_F(ThemedImagesTest, ReplaceColorClearsPixelsWithinHalfTheToleranceOfPureRed)
{
    QImage image(6, 1, QImage::Format_ARGB32);
    const QList<QColor> pixels = { rgba(255, 0, 0), rgba(245, 10, 10), rgba(244, 0, 0),
        rgba(255, 11, 0), rgba(250, 0, 11), rgba(0, 0, 255) };
    for (int x = 0; x < pixels.size(); ++x)
        image.setPixelColor(x, 0, pixels.at(x));
    const Image keyed = TI::replaceColor(Color::colorWithRed(1, 0, 0), Image(image), 20);
    expectPixel(keyed, 0, 0, rgba(0, 0, 0, 0));
    expectPixel(keyed, 1, 0, rgba(0, 0, 0, 0));
    for (int x = 2; x < pixels.size(); ++x)
        expectPixel(keyed, x, 0, pixels.at(x), 0);
}

TEST_F(ThemedImagesTest, ReplaceColorKeysAGreyAsTheRgbColourOfItsLevel)
{
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixelColor(0, 0, rgba(255, 255, 255));
    image.setPixelColor(1, 0, rgba(250, 250, 250));
    image.setPixelColor(2, 0, rgba(255, 255, 0)); // yellow: its blue is far from white's
    const Image keyed = TI::replaceColor(Color::whiteColor(), Image(image, 2.0), 20);
    expectPixel(keyed, 0, 0, rgba(0, 0, 0, 0));
    expectPixel(keyed, 1, 0, rgba(0, 0, 0, 0));
    expectPixel(keyed, 2, 0, rgba(255, 255, 0), 0);
    EXPECT_EQ(keyed.scale(), 2.0);
    // A pattern has no components: nothing matches.
    const Image untouched
        = TI::replaceColor(Color::colorWithPatternImage(image), Image(image), 255);
    expectPixel(untouched, 0, 0, rgba(255, 255, 255), 0);
}

TEST_F(ThemedImagesTest, TintDrawOverAndSolidImagesKeepShapeAndSize)
{
    QImage shape(2, 1, QImage::Format_ARGB32);
    shape.setPixelColor(0, 0, rgba(0, 0, 0, 128));
    shape.setPixelColor(1, 0, rgba(0, 0, 0, 0));
    const Image tinted = TI::maskUIImage(Image(shape), Color::colorWithRed(0, 1, 0));
    expectPixel(tinted, 0, 0, rgba(0, 255, 0, 128));
    expectPixel(tinted, 1, 0, rgba(0, 0, 0, 0));

    QImage top(1, 1, QImage::Format_ARGB32);
    top.fill(rgba(0, 0, 255));
    const Image drawn = TI::drawImages(Image(shape, 2.0), Image(top));
    EXPECT_EQ(drawn.scale(), 2.0);
    expectPixel(drawn, 1, 0, rgba(0, 0, 255)); // the second image stretched over the first

    const Image solid = TI::imageWithColor(Color::colorWithRed(1, 0, 0), QSizeF(3, 2));
    EXPECT_EQ(solid.size(), QSizeF(3, 2));
    expectPixel(solid, 0, 0, rgba(255, 0, 0));

    const Image resized = TI::resizeImage(Image(top), QSizeF(5, 4));
    EXPECT_EQ(resized.size(), QSizeF(5, 4));
    expectPixel(resized, 4, 3, rgba(0, 0, 255));

    const Image stretchable = TI::resizableImageWithCapInsets2(Image(top), QMarginsF(1, 2, 3, 4));
    EXPECT_TRUE(stretchable.isResizable());
    EXPECT_EQ(stretchable.capInsets(), QMarginsF(1, 2, 3, 4));
    EXPECT_EQ(stretchable.resizingMode(), Image::ResizingMode::Stretch);
}

TEST_F(ThemedImagesTest, MaskColorFillsKeyedPixelsWithTheColour)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixelColor(0, 0, rgba(250, 250, 250));
    image.setPixelColor(1, 0, rgba(10, 20, 30));
    const Image keyed = TI::maskColor(
        Image(image), { 240, 255, 240, 255, 240, 255 }, Color::colorWithRed(1, 0, 0));
    expectPixel(keyed, 0, 0, rgba(255, 0, 0));
    expectPixel(keyed, 1, 0, rgba(10, 20, 30));
    // Too few ranges key nothing.
    expectPixel(TI::maskColor(Image(image), { 0, 255 }, Color::colorWithRed(1, 0, 0)), 0, 0,
        rgba(250, 250, 250));
}

TEST_F(ThemedImagesTest, AMasterIsRecolouredOncePerColourUntilItsFileChanges)
{
    writeMaster("chartBlack");
    const Image first = TI::themedimageNamed1("chart", Color::fromQColor(QColor(10, 20, 30)));
    EXPECT_EQ(
        TI::themedimageNamed1("chart", Color::fromQColor(QColor(10, 20, 30))).image().cacheKey(),
        first.image().cacheKey());
    const Image other = TI::themedimageNamed1("chart", Color::fromQColor(QColor(200, 0, 0)));
    expectPixel(other, 0, 0, rgba(200, 0, 0));
    expectPixel(first, 0, 0, rgba(10, 20, 30));
    // Another master of the same name is recoloured anew.
    write("chartBlack", rgba(0, 0, 0, 0));
    expectPixel(TI::themedimageNamed1("chart", Color::fromQColor(QColor(10, 20, 30))), 0, 0,
        rgba(0, 0, 0, 0));
}
