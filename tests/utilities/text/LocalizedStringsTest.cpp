#include "utilities/text/LocalizedStrings.h"
#include "utilities/text/FormatLocale.h"
#include "utilities/text/StringsLanguage.h"

#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <thread>

TEST(LocalizedStrings, EnglishTextsAreTheirKeys)
{
    EXPECT_EQ(LocalizedStrings::OK(), "Ok");
    EXPECT_EQ(LocalizedStrings::Language(), "*Device Language");
    EXPECT_EQ(LocalizedStrings::ListValuesSeparatedByComma(), "List values separated by ,");
    EXPECT_EQ(LocalizedStrings::LenghtOfTheColumn(), "Length of the column");
    EXPECT_EQ(LocalizedStrings::NewPassword(), "New Password\n");
    EXPECT_EQ(LocalizedStrings::ProjectIsNotOpen(), "Project is  not open.");
    EXPECT_EQ(LocalizedStrings::Delete(), "Delete");
    EXPECT_EQ(LocalizedStrings::Delete("Row"), "Delete Row?");
    EXPECT_EQ(LocalizedStrings::SelectedItem("Undo"), "Undo the selected item?");
    EXPECT_EQ(LocalizedStrings::iOS7Style(), "iOS7 Style");
    EXPECT_EQ(LocalizedStrings::getLocalizedString("Not in any table"), "Not in any table");
}

TEST(LocalizedStrings, TheSettingChoosesTheTableOnceAndFormatsKeepTheSystemLocale)
{
    QTemporaryDir resources;
    QDir().mkpath(resources.path() + "/strings");
    QFile table(resources.path() + "/strings/de.json");
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write(R"({"Delete %@?": "%@ l\u00f6schen?", "Cancel": "Abbrechen", "Style": "Stil"})");
    table.close();
    qputenv("KIVOTAB_RESOURCES", resources.path().toUtf8());
    auto& defaults = platform::UserDefaults::standard();

    // The platform's form of the language ("de-DE") picks the language's table.
    defaults.setObject(StringsLanguage::AppleLanguagesKey, QStringList { "de-DE", "en" });
    EXPECT_EQ(LocalizedStrings::Cancel(), "Cancel") << "the setting is read at start only";
    StringsLanguage::load();
    EXPECT_EQ(StringsLanguage::current(), "de_DE");
    EXPECT_EQ(LocalizedStrings::Cancel(), "Abbrechen");
    EXPECT_EQ(LocalizedStrings::Delete("Zeile"), QString::fromUtf8("Zeile l\u00f6schen?"));
    EXPECT_EQ(LocalizedStrings::iOS7Style(), "iOS7 Stil") << "the frame is not translated";
    EXPECT_EQ(LocalizedStrings::OK(), "Ok") << "a missing entry answers the key";
    EXPECT_EQ(QLocale().toString(1234.5), "1,234.5") << "numbers keep the system's format";

    // Another thread sees the same choice.
    QString elsewhere;
    std::thread([&] { elsewhere = LocalizedStrings::Cancel(); }).join();
    EXPECT_EQ(elsewhere, "Abbrechen");

    // Without the setting the system's language answers, from the next start on.
    defaults.removeObject(StringsLanguage::AppleLanguagesKey);
    FormatLocale::setDefault(QLocale(QLocale::German, QLocale::Switzerland));
    EXPECT_EQ(LocalizedStrings::Cancel(), "Abbrechen");
    StringsLanguage::load();
    EXPECT_EQ(StringsLanguage::current(), "de_CH");
    EXPECT_EQ(LocalizedStrings::Cancel(), "Abbrechen") << "de_CH falls back to de";
    FormatLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    StringsLanguage::load();
    EXPECT_EQ(LocalizedStrings::Cancel(), "Cancel");
    qunsetenv("KIVOTAB_RESOURCES");
}
