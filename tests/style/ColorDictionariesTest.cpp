#include "style/ColorDictionaries.h"
#include "platform/Exception.h"
#include "style/UIColor_Expanded.h"

#include <gtest/gtest.h>

#include <QtGlobal>

using namespace UIColor_Expanded;

namespace {

QString hexOf(const QString& name, const QString& dictionary)
{
    const auto color = colorWithName(name, dictionary);
    return color ? hexStringValue(*color) : QStringLiteral("nil");
}

// Counts the warnings written while it lives.
class WarningCounter {
public:
    WarningCounter() { s_count = 0, s_previous = qInstallMessageHandler(&count); }
    ~WarningCounter() { qInstallMessageHandler(s_previous); }
    int count() const { return s_count; }
    QString last() const { return s_last; }

private:
    static void count(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtWarningMsg)
            ++s_count, s_last = message;
    }
    static inline int s_count = 0;
    static inline QString s_last;
    static inline QtMessageHandler s_previous = nullptr;
};

} // namespace

TEST(ColorDictionaries, EightDictionariesOfTheListedSizes)
{
    EXPECT_EQ(availableColorDictionaries(),
        (QStringList {
            "Crayon", "CSS", "Base", "System", "Wikipedia", "Dorvask", "xkcd", "PseudoPantone" }));
    const QList<std::pair<QString, int>> sizes = {
        { "Crayon", 122 },
        { "CSS", 138 },
        { "Base", 141 },
        { "System", 14 },
        { "Wikipedia", 1017 },
        { "Dorvask", 210 },
        { "xkcd", 900 },
        { "PseudoPantone", 907 },
    };
    int total = 0;
    for (const auto& [name, size] : sizes) {
        const ColorDictionary* dictionary = colorDictionaryNamed(name);
        ASSERT_NE(dictionary, nullptr) << qPrintable(name);
        EXPECT_EQ(dictionary->count(), size) << qPrintable(name);
        // Every value parses, in the form its dictionary uses.
        for (qsizetype i = 0; i < dictionary->count(); ++i)
            EXPECT_TRUE(dictionary->colorAt(i).has_value())
                << qPrintable(name) << " " << qPrintable(dictionary->entries().at(i).name);
        total += size;
    }
    EXPECT_EQ(total, 3449);
    const ColorDictionary* system = colorDictionaryNamed("System");
    EXPECT_EQ(system->allKeys().first(), "Black");
    EXPECT_EQ(system->allKeys().last(), "Brown");
    EXPECT_EQ(colorDictionaryNamed("Wikipedia")->allKeys().last(), "Zomp");
    EXPECT_EQ(colorDictionaryNamed("PseudoPantone")->allKeys().at(95), "196C"); // 195 is absent
}

TEST(ColorDictionaries, SampleEntriesOfEachDictionary)
{
    EXPECT_EQ(hexOf("Almond", "Crayon"), "EED9C4");
    EXPECT_EQ(hexOf("Red", "Crayon"), "ED0A3F");
    EXPECT_EQ(hexOf("Yellow Orange", "Crayon"), "FFAE42");
    EXPECT_EQ(colorDictionaryNamed("CSS")->valueForKey("lightseagreen"), "20b2aa");
    EXPECT_EQ(hexOf("dark blue", "CSS"), "00008B");
    EXPECT_EQ(hexOf("seashell", "CSS"), "FFF5EE");
    EXPECT_EQ(hexOf("red", "CSS"), "FF0000");
    EXPECT_EQ(hexOf("Alice Blue", "Base"), "F0F8FF");
    EXPECT_EQ(hexOf("Aqua", "Base"), "00FFFF");
    EXPECT_EQ(hexOf("Yellow Green", "Base"), "9ACD32");
    EXPECT_EQ(hexOf("Dark Gray", "System"), "555555");
    EXPECT_EQ(hexOf("Brown", "System"), "996633");
    EXPECT_EQ(hexOf("Aero", "Wikipedia"), "7CB9E8");
    EXPECT_EQ(hexOf(QString::fromUtf8("Big Dip O\u2019ruby"), "Wikipedia"), "9C2542");
    EXPECT_EQ(hexOf("Zomp", "Wikipedia"), "39A78E");
    EXPECT_EQ(hexOf("Red", "Wikipedia"), "FF0000");
    EXPECT_EQ(colorDictionaryNamed("Dorvask")->valueForKey("Apple Green"), "58e24a");
    EXPECT_EQ(hexOf("Black", "Dorvask"), "1E1E20");
    EXPECT_EQ(hexOf("White", "Dorvask"), "F9FDF3");
    EXPECT_EQ(hexOf("Red", "Dorvask"), "D8232C");
    EXPECT_EQ(hexOf("Acid Green", "xkcd"), "8FFE09");
    EXPECT_EQ(hexOf("Blue", "xkcd"), "0343DF");
    EXPECT_EQ(hexOf("Yellowy Green", "xkcd"), "BFF128");
    EXPECT_EQ(hexOf("Red", "xkcd"), "E50000");
    EXPECT_EQ(colorDictionaryNamed("PseudoPantone")->valueForKey("100C"), "#F3ED86");
    EXPECT_EQ(hexOf("102C", "PseudoPantone"), "FAE600");
    EXPECT_EQ(hexOf("814C", "PseudoPantone"), "7E60CE");
    EXPECT_EQ(colorDictionaryNamed("PseudoPantone")->valueForKey("277C"), "A9C7EC");
    EXPECT_EQ(hexOf("277C", "PseudoPantone"), "A9C7EC");
}

TEST(ColorDictionaries, LookupByNameIsExactAndReportsMissingArguments)
{
    EXPECT_EQ(hexOf("red", "Base"), "nil"); // names are case-sensitive
    EXPECT_EQ(hexStringValue(*colorWithName("aliceblue")), "F0F8FF");
    EXPECT_EQ(hexStringValue(*colorWithName("Red")), "ED0A3F"); // Crayon is searched first
    EXPECT_EQ(hexStringValue(*colorWithName("Zomp")), "39A78E");
    EXPECT_FALSE(colorWithName("No Such Colour").has_value());

    WarningCounter warnings;
    EXPECT_EQ(colorDictionaryNamed("Nope"), nullptr);
    EXPECT_EQ(colorDictionaryNamed(""), nullptr);
    EXPECT_EQ(warnings.count(), 0);
    EXPECT_EQ(colorDictionaryNamed(QString()), nullptr);
    EXPECT_EQ(warnings.count(), 1);
    EXPECT_EQ(warnings.last(), "Error: invalid dictionary name");
    EXPECT_FALSE(colorWithName(QString(), "CSS").has_value());
    EXPECT_EQ(warnings.last(), "Error: invalid color or dictionary name");
    EXPECT_FALSE(colorWithName("red", "Nope").has_value());
    EXPECT_EQ(warnings.last(), "Error: invalid dictionary name");
    EXPECT_FALSE(colorWithName(QString()).has_value());
    EXPECT_EQ(warnings.last(), "Error: invalid color name");
    const int before = warnings.count();
    EXPECT_FALSE(colorWithName("Nope", "CSS").has_value()); // a missing name is silent
    EXPECT_EQ(warnings.count(), before);
    EXPECT_TRUE(closestColorNameUsingDictionary(Color::redColor(), QString()).isNull());
    EXPECT_EQ(warnings.last(), "Error: Must suply dictionary name to look up color");
    EXPECT_TRUE(closestColorNameUsingDictionary(Color::redColor(), "Nope").isNull());
    EXPECT_EQ(warnings.last(), "Error: invalid dictionary name");
}

TEST(ColorDictionaries, ClosestNames)
{
    EXPECT_EQ(closestSystemColorName(Color::colorWithRed(1, 0, 0)), "Red");
    EXPECT_EQ(closestSystemColorName(Color::colorWithRed(0.98, 0.05, 0.02)), "Red");
    EXPECT_EQ(closestSystemColorName(Color::colorWithWhite(0.35)), "Dark Gray");
    EXPECT_EQ(closestCSSName(*colorWithHexString("20B2AB")), "lightseagreen");
    EXPECT_EQ(closestCrayonName(*colorWithHexString("ED0A3F")), "Red");
    EXPECT_EQ(closestPseudoPantoneName(*colorWithHexString("7E60CE")), "814C");
    // Of two names at the same distance the one met first wins: Aqua comes before Cyan.
    EXPECT_EQ(closestBaseName(Color::colorWithRed(0, 1, 1)), "Aqua");
    EXPECT_EQ(closestWikipediaColorName(*colorWithHexString("39A78E")), "Zomp");

    // A colour equal only to a PseudoPantone value is still named from another dictionary.
    const Color pantoneOnly = *colorWithHexString("7E60CE");
    const QString name = closestColorName(pantoneOnly);
    EXPECT_FALSE(name.isEmpty());
    EXPECT_NE(name, "814C");

    const QMap<QString, QString> all = closestColors(Color::colorWithRed(1, 0, 0));
    EXPECT_EQ(all.size(), 8);
    EXPECT_EQ(all.value("System"), "Red");
    EXPECT_EQ(all.value("CSS"), "red");

    EXPECT_THROW(closestColorName(Color::colorWithPatternImage(QImage(1, 1, QImage::Format_RGB32))),
        platform::Exception);
}

TEST(ColorDictionaries, ClosestSystemColourOfDullAndVividColours)
{
    EXPECT_EQ(closestMensColor(Color::colorWithWhite(0.62)), Color::lightGrayColor());
    EXPECT_EQ(closestMensColor(Color::colorWithRed(0.1, 0.12, 0.1)), Color::blackColor());
    EXPECT_EQ(closestMensColor(Color::colorWithRed(0.1, 0.2, 0.9)), Color::blueColor());
    EXPECT_EQ(closestMensColor(Color::colorWithRed(0.9, 0.85, 0.1)), Color::yellowColor());
    // Brown itself is dull (colorfulness 0.4), so it is matched among the greys.
    EXPECT_EQ(closestMensColor(Color::brownColor()), Color::darkGrayColor());
}
