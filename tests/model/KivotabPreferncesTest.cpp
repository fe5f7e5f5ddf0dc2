#include "model/KivotabPrefernces.h"
#include "model/DefaultContent.h"
#include "platform/UserDefaults.h"

#include <gtest/gtest.h>

using platform::UserDefaults;

TEST(KivotabPrefernces, DefaultsAddTheProductKeys)
{
    const QVariantMap defaults = KivotabPrefernces::defaultValues();
    EXPECT_EQ(defaults.size(), 21);
    EXPECT_FALSE(defaults.value("ioslanguage").toBool());
    EXPECT_EQ(defaults.value("defaultdatabase").toString(), "0A839837-0816-4DEE-9490-3F22311F4F9E");
    EXPECT_FALSE(defaults.value("defaultTemplatesLoaded").toBool());
    EXPECT_FALSE(defaults.value("resetReminders").toBool());
    const QString key = DefaultContent::ColorValueColumnId;
    // Blue of the palette for bar and image, its grey for the tiles.
    EXPECT_EQ(defaults.value("barthemeColor").toMap(),
        (QVariantMap { { key, "{0.0000, 0.5647, 0.8745, 1.0000}" } }));
    EXPECT_EQ(defaults.value("imagethemeColor").toMap(), defaults.value("barthemeColor").toMap());
    EXPECT_EQ(defaults.value("tilesthemeColor").toMap(),
        (QVariantMap { { key, "{0.7255, 0.7294, 0.7333, 1.0000}" } }));
}

TEST(KivotabPrefernces, GettersReadTheStoreAndRegisteredDefaults)
{
    KivotabPrefernces preferences;
    EXPECT_FALSE(preferences.defaultTemplatesLoaded());
    EXPECT_FALSE(preferences.barthemeColor().isValid());
    KivotabPrefernces::registerDefaults();
    EXPECT_EQ(preferences.defaultDatabase().toString(), DefaultContent::SystemDatabaseId);
    EXPECT_FALSE(preferences.ioslanguage());
    EXPECT_EQ(preferences.tilesthemeColor().toMap().size(), 1);

    preferences.setDefaultTemplatesLoaded(true);
    EXPECT_TRUE(KivotabPrefernces().defaultTemplatesLoaded());
    const QVariantMap picked { { DefaultContent::ColorNameColumnId, "Red" },
        { DefaultContent::ColorValueColumnId, "{0.8627, 0.1529, 0.0863, 1.0000}" } };
    preferences.setBarthemeColor(picked);
    UserDefaults::standard().reload();
    EXPECT_EQ(KivotabPrefernces().barthemeColor().toMap(), picked);
    // Something that is not a dictionary reads as none.
    preferences.setImagethemeColor("red");
    EXPECT_FALSE(preferences.imagethemeColor().isValid());
}

TEST(KivotabPrefernces, ResetRestoresTheProductDefaultsButKeepsFirstLaunchAndDatabase)
{
    KivotabPrefernces::registerDefaults();
    KivotabPrefernces preferences;
    preferences.setFirstlaunch(false);
    preferences.setDefaultTemplatesLoaded(true);
    preferences.setResetReminders(true);
    preferences.setDefaultDatabase("MINE");
    preferences.setTilesthemeColor(QVariantMap { { "k", "v" } });
    preferences.setIoslanguage(true);

    preferences.resetPreferences();
    EXPECT_FALSE(preferences.firstlaunch());
    EXPECT_FALSE(preferences.defaultTemplatesLoaded());
    EXPECT_TRUE(UserDefaults::standard().hasStoredValue("defaultTemplatesLoaded"));
    EXPECT_FALSE(preferences.resetReminders());
    EXPECT_FALSE(preferences.ioslanguage());
    EXPECT_EQ(preferences.defaultDatabase().toString(), "MINE");
    EXPECT_EQ(preferences.tilesthemeColor().toMap(),
        KivotabPrefernces::defaultValues().value("tilesthemeColor").toMap());
}
