#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Font.h"
#include "style/Theme.h"
#include "style/ThemeButton.h"
#include "style/ThemeSegmentedButton.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/SelectiveBorder.h"
#include "utilities/shell/SelectiveBordersLayer.h"
#include "widgets/BLabel.h"
#include "widgets/CheckMarkLabel.h"
#include "widgets/DisclosureView.h"
#include "widgets/GradientView.h"
#include "widgets/ImageButton.h"
#include "widgets/MetroImageView.h"
#include "widgets/MetroLabel.h"
#include "widgets/MetroSubLabel.h"
#include "widgets/RowHeaderLabel.h"
#include "widgets/RowLabel.h"
#include "widgets/TilesButtonView.h"
#include "widgets/UIImage_Theme.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using platform::ui::Image;
using platform::ui::View;

namespace {

const QString kLongTitle = QStringLiteral("Quarterly inventory of the warehouse");

struct StyledViews : ::testing::Test {
    KivoAppDelegate delegate;
    void SetUp() override
    {
        platform::ui::Animation::setInstant(true);
        Preferences::registerDefaults();
        delegate.setCurrentStyle(Theme::getDefaultTheme());
    }
    Theme& style() { return *Theme::current(); }
    Preferences& preferences() { return *delegate.currentPreferences(); }
};

double pixelSize(const QFont& font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF();
}

// Gradients are drawn through a colour table: a step or two off at most.
void expectNear(const QColor& actual, const QColor& expected)
{
    EXPECT_NEAR(actual.red(), expected.red(), 6);
    EXPECT_NEAR(actual.green(), expected.green(), 6);
    EXPECT_NEAR(actual.blue(), expected.blue(), 6);
    EXPECT_EQ(actual.alpha(), 255);
}

bool isBorder(const QImage& shot, int x, int y)
{
    return shot.pixelColor(x, y) == QColor(Qt::black);
}

} // namespace

TEST_F(StyledViews, TileTitleShrinksToTenPointsOnlyWithAutofit)
{
    preferences().setAutofitfont(false);
    MetroLabel fixed(QRectF(0, 0, 80, 50));
    fixed.setText(kLongTitle);
    EXPECT_FALSE(fixed.adjustsFontSizeToFitWidth());
    EXPECT_EQ(fixed.fontForDrawing(), style().MetroRowLabelFont());

    preferences().setAutofitfont(true);
    MetroLabel shrinking(QRectF(0, 0, 80, 50));
    shrinking.setText(kLongTitle);
    EXPECT_TRUE(shrinking.adjustsFontSizeToFitWidth());
    EXPECT_EQ(pixelSize(shrinking.fontForDrawing()), MetroLabel::MinimumFontSize);
    shrinking.setText("Tasks");
    EXPECT_EQ(shrinking.fontForDrawing(), style().MetroRowLabelFont());
    shrinking.setFrame(QRectF(0, 0, 200, 50));
    shrinking.setText("Inventory of parts");
    const double middle = pixelSize(shrinking.fontForDrawing());
    EXPECT_GT(middle, MetroLabel::MinimumFontSize);
    EXPECT_LE(middle, pixelSize(style().MetroRowLabelFont()));

    MetroSubLabel line(QRectF(0, 0, 40, 20));
    line.setText(kLongTitle);
    EXPECT_EQ(pixelSize(line.fontForDrawing()), MetroSubLabel::MinimumFontSize);
    EXPECT_EQ(line.textColor(), style().MetroRowSubLabelColor().toQColor());
}

TEST_F(StyledViews, LabelsTakeTheStyleAndTheirTagsWhenMade)
{
    MetroLabel title;
    MetroLabel framed(QRectF(0, 0, 10, 10));
    EXPECT_EQ(title.tag(), 3000);
    EXPECT_EQ(framed.tag(), 3000);
    EXPECT_EQ(title.textColor(), style().MetroRowLabelForeColor().toQColor());
    EXPECT_EQ(title.backgroundColor().alpha(), 0);
    EXPECT_EQ(title.textAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

    CheckMarkLabel check(QRectF(0, 0, 30, 30));
    EXPECT_EQ(check.tag(), 5000);
    check.setIndex(7);
    EXPECT_EQ(check.index(), 7u);

    RowLabel cell;
    EXPECT_EQ(cell.font(), style().RowLabelFont());
    EXPECT_EQ(cell.textColor(), style().RowLabelForeColor().toQColor());
    EXPECT_FALSE(cell.adjustsFontSizeToFitWidth());
    EXPECT_EQ(cell.tag(), 0);

    BLabel general;
    EXPECT_EQ(general.font(), style().labelFont());
    EXPECT_EQ(general.textColor(), style().labelColor().toQColor());

    // A later change of style leaves views already made as they were.
    const QColor before = cell.textColor();
    style().setRowLabelForeColor(Color::colorWithRed(1, 0, 0));
    EXPECT_EQ(cell.textColor(), before);
    EXPECT_EQ(RowLabel().textColor(), QColor(255, 0, 0));
}

TEST_F(StyledViews, CheckMarkToggledTwiceShowsCheckedThenUnchecked)
{
    CheckMarkLabel check;
    check.setChecked(true);
    EXPECT_TRUE(check.checked());
    EXPECT_EQ(check.text(), QString::fromUtf8("\xE2\x9C\x85"));
    check.setChecked(false);
    EXPECT_FALSE(check.checked());
    EXPECT_EQ(check.text(), QString::fromUtf8("\xE2\xAC\x9C"));
    EXPECT_EQ(check.text().size(), 1);
}

TEST_F(StyledViews, TileImageViewsTagThemselves)
{
    DisclosureView arrow;
    DisclosureView framedArrow(QRectF(0, 0, 50, 50));
    MetroImageView icon(QRectF(0, 0, 50, 50));
    TilesButtonView button(QRectF(0, 0, 25, 25));
    EXPECT_EQ(arrow.tag(), 2000);
    EXPECT_EQ(framedArrow.tag(), 2000);
    EXPECT_EQ(framedArrow.frame(), QRectF(0, 0, 50, 50));
    EXPECT_EQ(icon.tag(), 4000);
    EXPECT_EQ(button.tag(), 0);
    button.setIndex(3);
    EXPECT_EQ(button.index(), 3u);
}

TEST_F(StyledViews, ThemeButtonTitledCloseIsTenPointsWiderThanItsTitleAnd27High)
{
    ThemeButton close(QStringLiteral("Close"));
    const double title = platform::ui::Font::measure("Close", style().buttonTitleFont()).width();
    EXPECT_GT(title, 20);
    EXPECT_DOUBLE_EQ(close.frame().height(), 27.0);
    EXPECT_DOUBLE_EQ(close.frame().width(), title + 10);
    EXPECT_EQ(close.titleForState(platform::ui::ControlStateNormal), "Close");
    EXPECT_EQ(close.titleFont(), style().buttonTitleFont());
    EXPECT_EQ(close.titleColorForState(platform::ui::ControlStateNormal),
        style().buttonTitleColor().toQColor());
    // Borders are off: no rounded background, the tint in the title colour.
    EXPECT_TRUE(close.backgroundImageForState(platform::ui::ControlStateNormal).isNull());
    EXPECT_EQ(close.tintColor(), style().buttonTitleColor().toQColor());
}

TEST_F(StyledViews, ThemeSegmentedButtonTakesTitlesOrImages)
{
    const Image image = UIImage_Theme::maskImage("sort", Color::whiteColor());
    ThemeSegmentedButton control(QVariantList { QStringLiteral("A"), QVariant::fromValue(image) });
    EXPECT_EQ(control.numberOfSegments(), 2);
    EXPECT_TRUE(control.isMomentary());
    EXPECT_EQ(control.segmentedControlStyle(), 2);
    EXPECT_EQ(control.titleTextAttributes(), style().buttonTextAttributes());
    EXPECT_EQ(control.tintColor(), style().buttonTitleColor().toQColor());
    EXPECT_TRUE(control.backgroundImage().isNull());
}

TEST_F(StyledViews, GradientRunsFromTheFirstColourAtTheLeftToTheLastAtTheRight)
{
    GradientView strip(QRectF(0, 0, 101, 10));
    strip.setColors({ Color::colorWithRed(1, 0, 0, 0.2), Color::colorWithRed(0, 1, 0),
        Color::colorWithRed(0, 0, 1) });
    QImage shot = strip.snapshot();
    const int right = shot.width() - 1;
    expectNear(shot.pixelColor(0, 5), QColor(255, 0, 0)); // its own alpha is not used
    expectNear(shot.pixelColor(right, 5), QColor(0, 0, 255));
    expectNear(shot.pixelColor(shot.width() / 2, 0), QColor(0, 255, 0));

    // One colour is not a gradient: the strip keeps what it had.
    strip.setColors({ Color::colorWithRed(1, 1, 0) });
    EXPECT_EQ(strip.colors().size(), 3);
    shot = strip.snapshot();
    expectNear(shot.pixelColor(0, 5), QColor(255, 0, 0));

    // A grey shades as the RGB colour of its level.
    strip.setColors({ Color::whiteColor(), Color::blackColor() });
    shot = strip.snapshot();
    expectNear(shot.pixelColor(0, 5), QColor(255, 255, 255));
    expectNear(shot.pixelColor(right, 5), QColor(0, 0, 0));
}

TEST_F(StyledViews, BottomBorderOfWidthTwoLiesOnePointInsideTheEdge)
{
    View view(QRectF(0, 0, 20, 10));
    view.setBackgroundColor(Qt::white);
    EXPECT_EQ(SelectiveBorder::selectiveBorderFlag(&view), 15u);
    SelectiveBorder::setSelectiveBordersWidth(&view, 2);
    // Nothing drawn before a flag is set.
    EXPECT_FALSE(isBorder(view.snapshot(), 10, 9));

    SelectiveBorder::setSelectiveBorderFlag(&view, 8);
    QImage shot = view.snapshot();
    ASSERT_EQ(shot.size(), QSize(20, 10));
    for (int x = 0; x < 20; ++x) {
        EXPECT_TRUE(isBorder(shot, x, 8) && isBorder(shot, x, 9)) << x;
        EXPECT_FALSE(isBorder(shot, x, 7)) << x;
        EXPECT_FALSE(isBorder(shot, x, 0)) << x;
    }
    EXPECT_FALSE(isBorder(shot, 0, 5));
    EXPECT_FALSE(isBorder(shot, 19, 5));

    SelectiveBorder::setSelectiveBorderFlag(&view, 15);
    shot = view.snapshot();
    for (int y = 0; y < 10; ++y) {
        EXPECT_TRUE(isBorder(shot, 0, y) && isBorder(shot, 1, y)) << y;
        EXPECT_TRUE(isBorder(shot, 18, y) && isBorder(shot, 19, y)) << y;
    }
    for (int x = 0; x < 20; ++x) {
        EXPECT_TRUE(isBorder(shot, x, 0) && isBorder(shot, x, 1)) << x;
        EXPECT_TRUE(isBorder(shot, x, 8) && isBorder(shot, x, 9)) << x;
    }
    for (int x = 2; x < 18; ++x)
        for (int y = 2; y < 8; ++y)
            EXPECT_FALSE(isBorder(shot, x, y)) << x << "," << y;

    // The path: one segment per edge, each half the width inside it.
    auto* layer = dynamic_cast<SelectiveBordersLayer*>(view.layer());
    ASSERT_NE(layer, nullptr);
    const QPainterPath path = layer->borderPath(QRectF(0, 0, 20, 10));
    EXPECT_EQ(path.elementCount(), 8);
    EXPECT_EQ(QPointF(path.elementAt(6)), QPointF(0, 9));
    EXPECT_EQ(QPointF(path.elementAt(7)), QPointF(20, 9));
}

TEST_F(StyledViews, RowHeaderDrawsOnlyABottomBorderInTheStylesColourAndWidth)
{
    RowHeaderLabel header(QRectF(0, 0, 60, 30));
    EXPECT_NE(dynamic_cast<SelectiveBordersLayer*>(header.layer()), nullptr);
    EXPECT_EQ(SelectiveBorder::selectiveBorderFlag(&header), 8u);
    EXPECT_EQ(SelectiveBorder::selectiveBordersColor(&header), style().RowBorderColor().toQColor());
    EXPECT_FLOAT_EQ(SelectiveBorder::selectiveBordersWidth(&header), 0.25f);
    EXPECT_EQ(header.font(), style().RowLabelHeaderFont());
    EXPECT_EQ(header.textColor(), style().RowLabelHeaderForeColor().toQColor());
    // A quarter-point line: a faint brown along the bottom row only.
    const QImage shot = header.snapshot();
    const QColor ground = shot.pixelColor(30, 0);
    EXPECT_EQ(shot.pixelColor(30, 28), ground);
    EXPECT_EQ(shot.pixelColor(0, 15), ground);
    const QColor line = shot.pixelColor(30, 29);
    EXPECT_LT(line.blue(), ground.blue());
    EXPECT_LT(line.blue() - line.red(), 0); // toward brown
}

TEST_F(StyledViews, ImageButtonOfAThirtyPointImageHasAThirtyPointButtonCarryingTheTag)
{
    QTemporaryDir resources;
    ASSERT_TRUE(QDir(resources.path()).mkpath("images"));
    QImage image(60, 60, QImage::Format_ARGB32);
    image.fill(Qt::black);
    ASSERT_TRUE(image.save(resources.path() + "/images/square@2x.png"));
    qputenv("KIVOTAB_RESOURCES", resources.path().toUtf8());
    Image::clearCache();

    int taps = 0;
    auto target = std::make_unique<QObject>();
    ImageButton item(
        "square", [&taps](platform::ui::Control*) { ++taps; }, target.get(), 41);
    qunsetenv("KIVOTAB_RESOURCES");
    Image::clearCache();

    ASSERT_NE(item.button(), nullptr);
    EXPECT_EQ(item.customView(), item.button());
    EXPECT_EQ(item.view(), item.button());
    EXPECT_EQ(item.button()->frame(), QRectF(0, 0, 30, 30));
    EXPECT_EQ(item.tag(), 41);
    EXPECT_EQ(item.button()->tag(), 41);
    EXPECT_FALSE(item.topbar());
    // The image in the button-title colour.
    const Image shown = item.button()->imageForState(platform::ui::ControlStateNormal);
    EXPECT_EQ(shown.size(), QSizeF(30, 30));
    EXPECT_EQ(shown.image().pixelColor(30, 30), style().buttonTitleColor().toQColor());

    item.button()->tap();
    EXPECT_EQ(taps, 1);
    target.reset();
    item.button()->tap();
    EXPECT_EQ(taps, 1); // the target is gone
}
