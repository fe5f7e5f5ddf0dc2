#include "utilities/text/LocalizedStrings.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

TEST(LocalizedStrings, TranslationsAreLookedUpAtEveryCallAndMayMovePlaceholders)
{
    QTemporaryDir resources;
    QDir().mkpath(resources.path() + "/strings");
    QFile table(resources.path() + "/strings/de.json");
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write(R"({"Delete %@?": "%@ l\u00f6schen?", "Cancel": "Abbrechen", "Style": "Stil"})");
    table.close();
    qputenv("KIVOTAB_RESOURCES", resources.path().toUtf8());

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(LocalizedStrings::Cancel(), "Abbrechen");
    EXPECT_EQ(LocalizedStrings::Delete("Zeile"), QString::fromUtf8("Zeile l\u00f6schen?"));
    EXPECT_EQ(LocalizedStrings::iOS7Style(), "iOS7 Stil") << "the frame is not translated";
    EXPECT_EQ(LocalizedStrings::OK(), "Ok") << "a missing entry answers the key";

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(LocalizedStrings::Cancel(), "Cancel");
    qunsetenv("KIVOTAB_RESOURCES");
}
