#include "utilities/shell/KivoAppDelegate.h"
#include "common/TestSupport.h"
#include "platform/Exception.h"
#include "platform/Folders.h"
#include "platform/UserDefaults.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/NavigationController.h"
#include "utilities/shell/SelectiveBorder.h"
#include "utilities/shell/SelectiveBordersLayer.h"
#include "utilities/shell/StyleServices.h"
#include "utilities/shell/UIImageButton.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Palette and style answers of a fixed kind, in place of the style layer.
struct FakeStyle : StyleServices {
    QColor title = QColor(0, 144, 223);
    QVariant themeColor(const QString& name) const override { return "palette:" + name; }
    QColor buttonTitleColor() const override { return title; }
    QFont buttonTitleFont() const override { return QFont(); }
};

} // namespace

TEST(KivoAppDelegate, BaseDelegateHasNoStoreScreensOrCloud)
{
    KivoAppDelegate delegate;
    EXPECT_EQ(KivoAppDelegate::ApplicationDelegate(), &delegate);
    EXPECT_TRUE(delegate.saveContext()); // no context: nothing to save
    EXPECT_NO_THROW(delegate.rollbackContext());
    EXPECT_EQ(delegate.GetScreen("SCREEN_HOME", nullptr), nullptr);
    EXPECT_FALSE(delegate.cloudAvailable());
    EXPECT_NO_THROW(delegate.showShareMenu(nullptr));
    ASSERT_NE(delegate.currentPreferences(), nullptr);
    EXPECT_EQ(delegate.currentStyle(), nullptr);
}

TEST(KivoAppDelegate, WebAddressesUseHttpsAndTheSecureFormsAreTheSame)
{
    EXPECT_EQ(KivoAppDelegate::getUrl("Products/Kivotab/Kivotab.aspx"),
        "https://" + KivoAppDelegate::WebSiteHost + "/main/Products/Kivotab/Kivotab.aspx");
    EXPECT_EQ(KivoAppDelegate::getSecureUrl("x"), KivoAppDelegate::getUrl("x"));
    EXPECT_EQ(KivoAppDelegate::getProcessUrl("api/link/templates"),
        "https://" + KivoAppDelegate::WebSiteHost + "/process/api/link/templates");
    EXPECT_EQ(KivoAppDelegate::getProcessSecureUrl("y"), KivoAppDelegate::getProcessUrl("y"));
}

TEST(KivoAppDelegate, HiddenDocumentsAreMadeOnceAndAFileInTheWayRaises)
{
    KivoAppDelegate delegate;
    const QUrl first = delegate.applicationHiddenDocumentsDirectory();
    EXPECT_TRUE(QDir(first.toLocalFile()).exists());
    EXPECT_TRUE(first.toLocalFile().endsWith("/Library/Private Documents"));
    EXPECT_EQ(delegate.applicationHiddenDocumentsDirectory(), first);

    QDir(first.toLocalFile()).removeRecursively();
    QFile blocker(first.toLocalFile());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        delegate.applicationHiddenDocumentsDirectory();
        FAIL() << "no exception";
    } catch (const platform::Exception& exception) {
        EXPECT_EQ(exception.name(), "'Private Documents' exists, and is a file");
        EXPECT_EQ(exception.reason(), "Path: " + first.toLocalFile());
    }
}

TEST(KivoAppDelegate, PaletteColoursFollowTheSettingsButTilesStayGrey)
{
    StyleServices::install(std::make_unique<FakeStyle>());
    KivoAppDelegate delegate;
    delegate.currentPreferences()->setBartheme("Default");
    delegate.currentPreferences()->setImagetheme("Green");
    delegate.currentPreferences()->setTilestheme("Red");
    EXPECT_EQ(delegate.barColor().toString(), "palette:Green");
    EXPECT_EQ(delegate.imageColor().toString(), "palette:Green");
    EXPECT_EQ(delegate.tilesColor().toString(), "palette:Grey");
    StyleServices::install(nullptr);
    EXPECT_FALSE(delegate.barColor().isValid());
}

TEST(KivoAppDelegate, TemporaryFoldersAreNewAndEmptyAndVersionGoesToTheSettings)
{
    const QUrl a = KivoAppDelegate::URLForTemporaryFolder();
    const QUrl b = KivoAppDelegate::URLForTemporaryFolder();
    ASSERT_FALSE(a.isEmpty());
    EXPECT_NE(a, b);
    EXPECT_TRUE(QDir(a.toLocalFile()).isEmpty());
    KivoAppDelegate delegate;
    delegate.setVestionInSettings();
    EXPECT_EQ(platform::UserDefaults::standard().stringForKey("product"), "Kivotab");
    EXPECT_FALSE(platform::UserDefaults::standard().stringForKey("version").isEmpty());
}

TEST(KivoAppDelegate, CurrentViewControllerIsTheTopOfTheWindowsStack)
{
    platform::ui::Animation::setInstant(true);
    KivoAppDelegate delegate;
    platform::ui::NavigationController navigation;
    auto* top = new platform::ui::ViewController();
    navigation.setViewControllers({ new platform::ui::ViewController(), top });
    auto& app = platform::ui::Application::shared();
    app.setRootViewController(&navigation);
    EXPECT_EQ(delegate.currentViewController(), top);
    app.reset();
}

TEST(UIImageButton, TintsWithTheStyleOfTheMomentAndKeepsItsExtraData)
{
    auto style = std::make_unique<FakeStyle>();
    FakeStyle* fake = style.get();
    StyleServices::install(std::move(style));
    QDir().mkpath(testsupport::homePath() + "/res/images");
    qputenv("KIVOTAB_RESOURCES", (testsupport::homePath() + "/res").toUtf8());
    QImage icon(8, 8, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    icon.setPixelColor(3, 3, Qt::black);
    ASSERT_TRUE(icon.save(testsupport::homePath() + "/res/images/star.png"));
    platform::ui::Image::clearCache();

    int taps = 0;
    QObject target;
    UIImageButton button(
        "star", [&](platform::ui::Control*) { ++taps; }, &target, 42, QRectF(0, 0, 30, 30));
    fake->title = Qt::red; // a later style change does not re-tint the button
    const QImage image = button.imageForState(platform::ui::ControlStateNormal).image();
    EXPECT_EQ(image.pixelColor(3, 3), QColor(0, 144, 223));
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(button.tag(), 42);
    button.setExtraData(QStringLiteral("row-7"));
    EXPECT_EQ(button.extraData().toString(), "row-7");
    button.tap();
    EXPECT_EQ(taps, 1);
    StyleServices::install(nullptr);
    qunsetenv("KIVOTAB_RESOURCES");
    platform::ui::Image::clearCache();
}

TEST(SelectiveBorder, DefaultsUntilSetThenStrokesInsideTheChosenEdges)
{
    platform::ui::View view(QRectF(0, 0, 40, 20));
    EXPECT_EQ(SelectiveBorder::selectiveBorderFlag(&view), 15u);
    EXPECT_EQ(SelectiveBorder::selectiveBordersColor(&view), QColor(Qt::black));
    EXPECT_EQ(SelectiveBorder::selectiveBordersWidth(&view), 0.0f);
    view.layer()->setCornerRadius(3);

    SelectiveBorder::setSelectiveBordersWidth(&view, 2);
    SelectiveBorder::setSelectiveBordersColor(&view, Qt::red);
    SelectiveBorder::setSelectiveBorderFlag(&view, 8);
    auto* layer = dynamic_cast<SelectiveBordersLayer*>(view.layer());
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->cornerRadius(), 3.0); // carried over from the plain layer
    const QPainterPath bottom = layer->borderPath(view.bounds());
    ASSERT_EQ(bottom.elementCount(), 2);
    EXPECT_EQ(QPointF(bottom.elementAt(0)), QPointF(0, 19));
    EXPECT_EQ(QPointF(bottom.elementAt(1)), QPointF(40, 19));

    SelectiveBorder::setSelectiveBorderFlag(&view, 15);
    EXPECT_EQ(layer->borderPath(view.bounds()).elementCount(), 8);
    view.setBackgroundColor(Qt::white);
    const QImage shot = view.snapshot();
    EXPECT_EQ(shot.pixelColor(20, 19), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(0, 10), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(20, 10), QColor(Qt::white));

    // A view class with a layer of its own ignores the border setters.
    struct OwnLayer : platform::ui::Layer { };
    struct Special : platform::ui::View {
        std::unique_ptr<platform::ui::Layer> makeLayer() const override
        {
            return std::make_unique<OwnLayer>();
        }
    } special;
    SelectiveBorder::setSelectiveBorderFlag(&special, 8);
    EXPECT_EQ(dynamic_cast<SelectiveBordersLayer*>(special.layer()), nullptr);
}
