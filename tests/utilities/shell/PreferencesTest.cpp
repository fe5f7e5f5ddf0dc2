#include "utilities/shell/Preferences.h"

#include "platform/UserDefaults.h"
#include "platform/ui/Device.h"

#include <gtest/gtest.h>

using platform::UserDefaults;
using platform::ui::Device;
using platform::ui::Orientation;

namespace {

// Page sizes are computed from the screen, so each case picks its device first.
void switchDevice(const char* model, Orientation orientation)
{
    Device::current().setMainWindow(nullptr);
    ASSERT_TRUE(Device::current().selectModel(model));
    Device::current().setOrientation(orientation);
}

} // namespace

TEST(Preferences, PageSizesFollowTheScreenHeight)
{
    struct Case {
        const char* model;
        Orientation orientation;
        int tiles, rows;
    };
    const Case cases[] = {
        { "phone", Orientation::Portrait, 22, 22 },
        { "phone-se", Orientation::Portrait, 18, 18 },
        { "phone-xsmax", Orientation::Portrait, 29, 29 },
        { "tablet", Orientation::Portrait, 31, 34 },
        { "tablet-pro", Orientation::Portrait, 42, 45 },
        { "tablet", Orientation::LandscapeLeft, 23, 25 },
    };
    for (const auto& c : cases) {
        switchDevice(c.model, c.orientation);
        const QVariantMap defaults = Preferences::defaultValues();
        EXPECT_EQ(defaults.value("tiles").toInt(), c.tiles) << c.model;
        EXPECT_EQ(defaults.value("rows").toInt(), c.rows) << c.model;
    }
}

TEST(Preferences, GettersBeforeAndAfterRegisteringDefaults)
{
    Preferences preferences;
    EXPECT_FALSE(preferences.tiles().isValid());
    EXPECT_FALSE(preferences.imagetheme().isValid());
    EXPECT_FALSE(preferences.sslvalidation());
    EXPECT_TRUE(preferences.disablebuttonborder());

    Preferences::registerDefaults();
    EXPECT_EQ(preferences.listenerPort().toInt(), 12345);
    EXPECT_EQ(preferences.imagetheme().toString(), "Blue");
    EXPECT_EQ(preferences.tilestheme().toString(), "Grey");
    EXPECT_EQ(preferences.background().toString(), "TinyGrid");
    EXPECT_TRUE(preferences.sslvalidation());
    EXPECT_TRUE(preferences.firstlaunch());
    EXPECT_TRUE(preferences.ioslanguage());
    EXPECT_FALSE(preferences.debug());
    EXPECT_FALSE(UserDefaults::standard().hasStoredValue("imagetheme"));
}

TEST(Preferences, TwoObjectsAlwaysAgreeAndStoredValuesWinOverDefaults)
{
    Preferences::registerDefaults();
    Preferences a, b;
    a.setTilestheme("Green");
    a.setDebug(true);
    a.setTiles(7);
    EXPECT_EQ(b.tilestheme().toString(), "Green");
    EXPECT_TRUE(b.debug());
    EXPECT_EQ(b.tiles().toInt(), 7);
    a.setTiles(QVariant());
    EXPECT_EQ(b.tiles(), Preferences::defaultValues().value("tiles"));
}

TEST(Preferences, BarThemeDefaultStandsForTheImageTheme)
{
    Preferences preferences;
    preferences.setImagetheme("Green");
    preferences.setBartheme("Default");
    EXPECT_EQ(preferences.bartheme().toString(), "Green");
    preferences.setBartheme("default");
    EXPECT_EQ(preferences.bartheme().toString(), "default");
}

TEST(Preferences, ButtonBorderAndListenerPortSetters)
{
    Preferences::registerDefaults();
    Preferences preferences;
    preferences.setDisablebuttonborder(false);
    EXPECT_TRUE(preferences.disablebuttonborder());
    EXPECT_FALSE(UserDefaults::standard().boolForKey("disablebuttonborder"));

    preferences.setListenerPort(8080);
    EXPECT_EQ(preferences.listenerPort().toInt(), 12345);
    preferences.setlistenerPort(8080);
    EXPECT_EQ(preferences.listenerPort().toInt(), 8080);
}

TEST(Preferences, ResetWritesEveryDefaultButKeepsFirstLaunchAndTheStoredPort)
{
    Preferences::registerDefaults();
    Preferences preferences;
    preferences.setFirstlaunch(false);
    preferences.setlistenerPort(9000);
    preferences.setImagetheme("Red");
    preferences.setGradient(true);

    preferences.resetPreferences();

    EXPECT_FALSE(preferences.firstlaunch());
    EXPECT_EQ(preferences.listenerPort().toInt(), 9000);
    EXPECT_EQ(preferences.listenerPortField().toInt(), 12345);
    auto& store = UserDefaults::standard();
    for (const QString& key : QStringList { "tiles", "rows", "imagetheme", "bartheme", "gradient",
             "debug", "background", "tilestheme", "statusbar", "autofitfont" })
        EXPECT_TRUE(store.hasStoredValue(key)) << key.toStdString();
    EXPECT_EQ(preferences.imagetheme().toString(), "Blue");
    EXPECT_FALSE(preferences.gradient());
}

TEST(Preferences, DefaultValuesAreAFreshDictionaryEachTime)
{
    QVariantMap first = Preferences::defaultValues();
    first.insert("imagetheme", "Changed");
    first.insert("extra", 1);
    const QVariantMap second = Preferences::defaultValues();
    EXPECT_EQ(second.value("imagetheme").toString(), "Blue");
    EXPECT_FALSE(second.contains("extra"));
    EXPECT_EQ(second.size(), 15);
}
