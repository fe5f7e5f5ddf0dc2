#pragma once

#include "style/Color.h"
#include "style/ColorDictionary.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// The eight built-in named-colour dictionaries, the lookup of colours by name and the
// closest name of a colour. Built on first use, never changed. A null QString stands for
// a missing name and is reported in the log; an unknown name simply finds nothing.
namespace UIColor_Expanded {

inline const QString CrayonDictionary = QStringLiteral("Crayon");
inline const QString CSSDictionary = QStringLiteral("CSS");
inline const QString BaseDictionary = QStringLiteral("Base");
inline const QString SystemDictionary = QStringLiteral("System");
inline const QString WikipediaDictionary = QStringLiteral("Wikipedia");
inline const QString DorvaskDictionary = QStringLiteral("Dorvask");
inline const QString XkcdDictionary = QStringLiteral("xkcd");
inline const QString PseudoPantoneDictionary = QStringLiteral("PseudoPantone");

void initializeColorDictionaries();
// The eight names in the fixed order every search walks them: Crayon, CSS, Base, System,
// Wikipedia, Dorvask, xkcd, PseudoPantone.
QStringList availableColorDictionaries();
// Null for an unknown name.
const ColorDictionary* colorDictionaryNamed(const QString& name);
[[nodiscard]] std::optional<Color> colorWithName(
    const QString& colorName, const QString& inDictionary);
// The first dictionary (in the order above) that has the name wins.
[[nodiscard]] std::optional<Color> colorWithName(const QString& colorName);

// Closest names; a null string when nothing is found.
QString closestColorNameUsingDictionary(const Color& color, const QString& dictionaryName);
// Over every dictionary but PseudoPantone.
QString closestColorName(const Color& color);
QString closestCrayonName(const Color& color);
QString closestCSSName(const Color& color);
QString closestBaseName(const Color& color);
QString closestSystemColorName(const Color& color);
QString closestWikipediaColorName(const Color& color);
QString closestPseudoPantoneName(const Color& color);
// Dictionary name to the closest name in it.
QMap<QString, QString> closestColors(const Color& color);
// The nearest of the platform's system colours: greys for dull colours, hues otherwise.
Color closestMensColor(const Color& color);

} // namespace UIColor_Expanded
