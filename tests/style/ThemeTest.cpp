#include "style/Theme.h"
#include "common/TestSupport.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/Device.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/SearchBar.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Toolbar.h"
#include "style/NamedColors.h"
#include "style/ThemeButton.h"
#include "style/ThemeSegmentedButton.h"
#include "style/UIColor_Expanded.h"
#include "utilities/shell/BaseViewControllerProtocol.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MainCollectionViewControllerProtocol.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

namespace {

void expectRGB(const Color& color, double r, double g, double b, double tolerance = 1.0)
{
    double red = -1, green = -1, blue = -1, alpha = -1;
    ASSERT_TRUE(color.getRed(&red, &green, &blue, &alpha));
    EXPECT_NEAR(red * 255, r, tolerance);
    EXPECT_NEAR(green * 255, g, tolerance);
    EXPECT_NEAR(blue * 255, b, tolerance);
}

// A delegate whose palette colours the test chooses.
struct ColouredDelegate : KivoAppDelegate {
    QVariant bar, image, tiles;
    QVariant barColor() const override { return bar.isValid() ? bar : KivoAppDelegate::barColor(); }
    QVariant imageColor() const override
    {
        return image.isValid() ? image : KivoAppDelegate::imageColor();
    }
    QVariant tilesColor() const override
    {
        return tiles.isValid() ? tiles : KivoAppDelegate::tilesColor();
    }
};

QVariant rgb(double r, double g, double b)
{
    return QVariant::fromValue(Color::colorWithRed(r / 255, g / 255, b / 255));
}

struct Styled : ::testing::Test {
    ColouredDelegate delegate;
    void SetUp() override
    {
        platform::ui::Animation::setInstant(true);
        Preferences::registerDefaults();
        delegate.setCurrentStyle(Theme::getDefaultTheme());
    }
    Theme& style() { return *Theme::current(); }
};

} // namespace

TEST_F(Styled, DefaultColoursGiveWhiteTitlesAndABrightBlueHighlight)
{
    // Bar and image ThemeBlue (0, 144, 223), tiles ThemeGrey.
    expectRGB(style().toolbarColor(), 0, 144, 223);
    expectRGB(style().buttonTitleColor(), 255, 255, 255);
    expectRGB(style().MetroRowLabelForeColor(), 255, 255, 255);
    expectRGB(style().RowHighLightColor(), 0, 165, 255);
    expectRGB(style().AnimateColor(), 0, 101, 156);
    expectRGB(style().dimmedToolbarColor(), 0, 101, 156);
    expectRGB(style().MetroRowSubLabelColor(), 0, 0, 0);
    expectRGB(style().MetroRowBackColor(), 185, 186, 187);
    expectRGB(style().RowBorderColor(), 101, 67, 33);
    EXPECT_FLOAT_EQ(style().RowBorderWidth(), 0.25f);
    EXPECT_EQ(style().MetroRowLabelFont().pixelSize(), 17);
    EXPECT_EQ(style().MetroRowLabelFont().weight(), QFont::Medium);
    EXPECT_EQ(style().smallFont().pixelSize(), 10);
    EXPECT_EQ(style().BackColor().model(), Color::ModelPattern);
    EXPECT_EQ(style().ButtonBackGround().size(), QSizeF(51, 27));
    EXPECT_TRUE(style().ButtonBackGround().isResizable());
    // A dark bar: light status bar content.
    EXPECT_EQ(platform::ui::Device::current().statusBarStyle(),
        platform::ui::Device::StatusBarStyle::LightContent);
    EXPECT_TRUE(platform::ui::Device::current().statusBarHidden()); // "statusbar" is off
}

TEST_F(Styled, ALightBarTakesTitlesFromTheImageColourOrNearBlack)
{
    delegate.bar = rgb(255, 255, 255);
    delegate.image = rgb(255, 255, 255);
    style().loadStyle();
    EXPECT_LT(UIColor_Expanded::luminance(style().buttonTitleColor()), 1e-6);
    EXPECT_EQ(platform::ui::Device::current().statusBarStyle(),
        platform::ui::Device::StatusBarStyle::Default);

    delegate.image = rgb(120, 20, 20);
    style().loadStyle();
    expectRGB(style().buttonTitleColor(), 120, 20, 20);
    // Equal luminance of bar and image colour takes the bar colour as highlight base.
    delegate.image = delegate.bar;
    delegate.tiles = rgb(250, 250, 250);
    style().loadStyle();
    // Light tiles with a light highlight: the fixed grey of brightness 0.42.
    expectRGB(style().RowHighLightColor(), 0.42 * 255, 0.42 * 255, 0.42 * 255);
}

TEST_F(Styled, BarLuminanceExactlyAtTheThresholdCountsAsDark)
{
    // Grey 0.8: luminance 0.8 exactly is not light.
    delegate.bar = QVariant::fromValue(Color::colorWithRed(0.8, 0.8, 0.8));
    delegate.image = rgb(200, 0, 0);
    style().loadStyle();
    expectRGB(style().buttonTitleColor(), 255, 255, 255);
    EXPECT_EQ(platform::ui::Device::current().statusBarStyle(),
        platform::ui::Device::StatusBarStyle::LightContent);
    // Just above 0.8 but not above 0.8 as a float: light in the rules, dark for the bar.
    delegate.bar
        = QVariant::fromValue(Color::colorWithRed(0.8000000001, 0.8000000001, 0.8000000001));
    style().loadStyle();
    expectRGB(style().buttonTitleColor(), 200, 0, 0);
    EXPECT_EQ(platform::ui::Device::current().statusBarStyle(),
        platform::ui::Device::StatusBarStyle::LightContent);
    platform::ui::Switch toggle;
    style().applyStyleForSwitch(&toggle);
    EXPECT_EQ(toggle.onTintColor(), style().toolbarColor().toQColor());
}

TEST_F(Styled, ClassicToolbarFollowsTheGradientSetting)
{
    Preferences* preferences = delegate.currentPreferences();
    ASSERT_NE(preferences, nullptr);
    const QColor bar = style().toolbarColor().toQColor();
    const QColor systemTint = platform::ui::Toolbar().tintColor();

    // Without gradients (the default): a flat bar in the bar colour, items in the system tint.
    platform::ui::Toolbar flat;
    flat.setTintColor(Qt::red);
    style().applyStyleForToolbar(&flat);
    EXPECT_EQ(flat.backgroundColor(), bar);
    EXPECT_EQ(flat.barTintColor(), bar);
    EXPECT_EQ(flat.tintColor(), systemTint);

    // With gradients: the bar keeps its look and the items take the bar colour.
    preferences->setGradient(true);
    platform::ui::Toolbar shaded;
    const QColor ownTint = shaded.barTintColor();
    style().applyStyleForToolbar(&shaded);
    EXPECT_EQ(shaded.tintColor(), bar);
    EXPECT_EQ(shaded.barTintColor(), ownTint);
    EXPECT_FALSE(shaded.backgroundColor().isValid());
    preferences->setGradient(false);
}

TEST_F(Styled, MissingBaseColourCountsAsDarkAndLeavesClearShades)
{
    delegate.bar = QVariant::fromValue(QString("not a colour"));
    style().loadStyle();
    expectRGB(style().buttonTitleColor(), 255, 255, 255);
    EXPECT_EQ(style().dimmedToolbarColor().toQColor().alpha(), 0);
}

TEST_F(Styled, ThemeButtonsAreSizedByTheTitleAndStyled)
{
    ThemeButton button("Close");
    const double width = QFontMetricsF(style().buttonTitleFont()).horizontalAdvance("Close");
    EXPECT_NEAR(button.frame().width(), std::ceil(width) + 10, 1.0);
    EXPECT_EQ(button.frame().height(), 27);
    EXPECT_EQ(button.titleColorForState(platform::ui::ControlStateNormal),
        style().buttonTitleColor().toQColor());

    int taps = 0;
    QObject target;
    std::unique_ptr<platform::ui::BarButtonItem> item(style().createBarButtonItemWithTitle(
        "Edit", &target, [&](platform::ui::Control*) { ++taps; }));
    auto* custom = qobject_cast<ThemeButton*>(item->customView());
    ASSERT_NE(custom, nullptr);
    custom->tap();
    EXPECT_EQ(taps, 1);

    std::unique_ptr<ThemeSegmentedButton> segments(style().createSegmentedControlWithItems(
        { "Tiles", "Table" }, &target, [&](platform::ui::Control*) { ++taps; }));
    EXPECT_TRUE(segments->isMomentary());
    segments->tapSegment(1);
    EXPECT_EQ(taps, 2);
    EXPECT_EQ(
        segments->titleTextAttributes().foregroundColor, style().buttonTitleColor().toQColor());
    // Button borders always read as off: no rounded background behind the segments.
    EXPECT_TRUE(segments->backgroundImage().isNull());
    EXPECT_EQ(segments->tintColor(), style().buttonTitleColor().toQColor());
}

namespace {
struct Screen : platform::ui::ViewController, BaseViewControllerProtocol {
    int restyled = 0;
    void refreshView() override { }
    void hideHud() override { }
    void setBackGround() override { }
    void ShowToolBar() override { ++restyled; }
    void showTopBar() override { }
};
} // namespace

TEST_F(Styled, ReloadRestylesEveryScreenOnTheStackAndTheWindowShows)
{
    delegate.currentPreferences()->setStatusbar(true);
    platform::ui::NavigationController navigation;
    auto* below = new Screen();
    auto* top = new Screen();
    top->setTitle("Kivotab");
    navigation.setViewControllers({ below, top });
    auto& app = platform::ui::Application::shared();
    app.setRootViewController(&navigation);
    app.makeKeyAndVisible();

    delegate.currentPreferences()->setBartheme("Green");
    Theme::reloadStyle();
    EXPECT_EQ(below->restyled, 1);
    EXPECT_EQ(top->restyled, 1);
    EXPECT_EQ(navigation.navigationBar()->barTintColor(), style().toolbarColor().toQColor());
    EXPECT_NE(style().toolbarColor(), *UIColor_Expanded::themeColor("Blue"));

    app.reset();
}

TEST_F(Styled, TheShellShowsAnEmptyStackInTheStylesColours)
{
    // As the application starts: an empty navigation stack under the styled bars.
    platform::ui::NavigationController navigation;
    navigation.setTitle("Kivotab");
    style().applyStyleToNavigatioBar(navigation.navigationBar());
    style().applyiOS7StyleForToolbar(navigation.toolbar());
    navigation.view()->setBackgroundPattern(
        platform::ui::Image(style().BackColor().patternImage(), 2.0));
    auto& app = platform::ui::Application::shared();
    app.setRootViewController(&navigation);
    app.makeKeyAndVisible();
    testsupport::processEvents(30);
    const QImage shot = app.keyWindow()->snapshot();
    shot.save(testsupport::outputPath("window.png"));
    EXPECT_EQ(shot.size(), QSize(1024, 768)); // a tablet on its side
    EXPECT_EQ(shot.pixelColor(500, 40), style().toolbarColor().toQColor());
    EXPECT_NE(shot.pixelColor(500, 400), QColor(Qt::white)); // the pattern background
    EXPECT_EQ(navigation.navigationBar()->titleLabel()->text(), "Kivotab");
    app.reset();
}

namespace {
// A grid screen as the style sees one: a search bar above its cells.
struct Grid : platform::ui::ViewController, MainCollectionViewControllerProtocol {
    platform::ui::SearchBar* bar = nullptr;
    platform::ui::View* searchBar() const override { return bar; }
    void changeRowViewController() override { }
};
} // namespace

TEST_F(Styled, AGridsSearchBarAndTheControlsMadeAfterwardsTakeTheStyle)
{
    // A dark green bar (white titles) and a red image colour: three colours apart.
    delegate.bar = rgb(20, 60, 20);
    delegate.image = rgb(150, 20, 20);
    style().loadStyle();
    const QColor bar = style().toolbarColor().toQColor();
    const QColor titles = style().buttonTitleColor().toQColor();
    const QColor image = style().imageColor().toQColor();
    ASSERT_NE(titles, image);

    platform::ui::NavigationController navigation;
    auto* grid = new Grid();
    grid->bar = new platform::ui::SearchBar(grid->view());
    navigation.setViewControllers({ grid });
    style().applyStyle(grid);
    EXPECT_EQ(grid->bar->barTintColor(), bar);
    EXPECT_EQ(grid->bar->tintColor(), titles);
    EXPECT_EQ(grid->bar->searchFieldBackgroundColor(), QColor(Qt::white));
    EXPECT_EQ(
        grid->bar->cancelButton()->titleColorForState(platform::ui::ControlStateNormal), titles);
    EXPECT_EQ(grid->bar->cancelButton()->titleFont(), style().buttonTitleFont());

    // Controls made from now on start in the style.
    platform::ui::SearchBar later;
    EXPECT_EQ(later.barTintColor(), bar);
    EXPECT_EQ(later.tintColor(), titles);
    EXPECT_EQ(later.searchFieldBackgroundColor(), QColor(Qt::white));
    EXPECT_EQ(platform::ui::TextField().tintColor(), image);
    EXPECT_EQ(platform::ui::TextView().tintColor(), image);
    EXPECT_EQ(platform::ui::Switch().onTintColor(), titles);
    EXPECT_EQ(platform::ui::DatePicker().preferredDatePickerStyle(),
        platform::ui::DatePicker::Style::Wheels);
}

TEST_F(Styled, DatePickersAskForWheelsFromSystem13Point4On)
{
    auto& device = platform::ui::Device::current();
    const QString version = device.systemVersion();
    const double foundation = device.foundationVersion();
    platform::ui::DatePicker::appearance() = {};
    device.setSystemVersion("13.3", 1675.0);
    style().loadStyle();
    EXPECT_EQ(platform::ui::DatePicker().preferredDatePickerStyle(),
        platform::ui::DatePicker::Style::Automatic);
    device.setSystemVersion("13.4", 1675.0);
    style().loadStyle();
    EXPECT_EQ(platform::ui::DatePicker().preferredDatePickerStyle(),
        platform::ui::DatePicker::Style::Wheels);
    device.setSystemVersion(version, foundation);
}

TEST_F(Styled, IconsOnTheHighlightTakeTheLabelColourOnlyWhereTheirOwnWouldNotShow)
{
    // Purple bar and icons: the highlight is the purple made lighter, which purple icons
    // hardly stand out on; the label colour is kept readable there.
    delegate.bar = rgb(107, 33, 120);
    delegate.image = rgb(107, 33, 120);
    style().loadStyle();
    EXPECT_FALSE(Theme::standsOut(style().imageColor(), style().RowHighLightColor()));
    ASSERT_TRUE(style().selectedIconColor().has_value());
    EXPECT_EQ(style().selectedIconColor()->toQColor(), style().MetroRowLabelForeColor().toQColor());
    EXPECT_TRUE(Theme::standsOut(style().MetroRowLabelForeColor(), style().RowHighLightColor()));
    // White icons on a blue bar's highlight show as they are.
    delegate.bar = rgb(0, 144, 223);
    delegate.image = rgb(255, 255, 255);
    style().loadStyle();
    EXPECT_FALSE(style().selectedIconColor().has_value());
}
