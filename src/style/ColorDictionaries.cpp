#include "style/ColorDictionaries.h"

#include "platform/Exception.h"
#include "style/ColorDictionaryData.h"
#include "style/UIColor_Expanded.h"

#include <QDebug>
#include <QHash>

#include <cfloat>
#include <memory>

namespace UIColor_Expanded {

namespace {

const QString kInvalidDictionaryName = QStringLiteral("Error: invalid dictionary name");
const QString kInvalidColorOrDictionaryName
    = QStringLiteral("Error: invalid color or dictionary name");
const QString kInvalidColorName = QStringLiteral("Error: invalid color name");
const QString kMissingDictionaryName
    = QStringLiteral("Error: Must suply dictionary name to look up color");
const QString kClosestNeedsRGB = QStringLiteral("Must be a RGB color to use closestColorName");
constexpr float kDullColorfulness = 0.45f;

void logError(const QString& message)
{
    qWarning().noquote() << message;
}

struct MasterTable {
    QStringList names;
    QHash<QString, ColorDictionary> dictionaries;
};

MasterTable buildMasterTable()
{
    MasterTable table;
    for (int d = 0; d < colordata::kDictionaryCount; ++d) {
        const colordata::DictionaryText& text = colordata::kDictionaries[d];
        QList<ColorDictionary::Entry> entries;
        entries.reserve(text.expectedCount);
        const QString all = QString::fromUtf8(text.entries);
        for (QStringView line : QStringView(all).split(u'\n', Qt::SkipEmptyParts)) {
            const qsizetype tab = line.indexOf(u'\t');
            if (tab <= 0)
                continue;
            entries.append({ line.left(tab).toString(), line.mid(tab + 1).trimmed().toString() });
        }
        const QString name = QString::fromUtf8(text.name);
        table.names << name;
        table.dictionaries.insert(name, ColorDictionary(name, entries));
    }
    return table;
}

// Built once, on the first call of any dictionary operation, and kept to the end.
std::unique_ptr<MasterTable>& masterTableSlot()
{
    static std::unique_ptr<MasterTable> slot;
    return slot;
}

const MasterTable& masterTable()
{
    initializeColorDictionaries();
    return *masterTableSlot();
}

} // namespace

void initializeColorDictionaries()
{
    auto& slot = masterTableSlot();
    if (!slot)
        slot = std::make_unique<MasterTable>(buildMasterTable());
}

QStringList availableColorDictionaries()
{
    return masterTable().names;
}

const ColorDictionary* colorDictionaryNamed(const QString& name)
{
    const MasterTable& table = masterTable();
    if (name.isNull()) {
        logError(kInvalidDictionaryName);
        return nullptr;
    }
    const auto it = table.dictionaries.constFind(name);
    return it == table.dictionaries.cend() ? nullptr : &*it;
}

std::optional<Color> colorWithName(const QString& colorName, const QString& inDictionary)
{
    initializeColorDictionaries();
    if (colorName.isNull() || inDictionary.isNull()) {
        logError(kInvalidColorOrDictionaryName);
        return std::nullopt;
    }
    const ColorDictionary* dictionary = colorDictionaryNamed(inDictionary);
    if (!dictionary) {
        logError(kInvalidDictionaryName);
        return std::nullopt;
    }
    const QString value = dictionary->valueForKey(colorName);
    if (value.isNull())
        return std::nullopt;
    return colorWithHexString(value);
}

std::optional<Color> colorWithName(const QString& colorName)
{
    const MasterTable& table = masterTable();
    if (colorName.isNull()) {
        logError(kInvalidColorName);
        return std::nullopt;
    }
    for (const QString& dictionary : table.names) {
        if (auto color = colorWithName(colorName, dictionary))
            return color;
    }
    return std::nullopt;
}

QString closestColorNameUsingDictionary(const Color& color, const QString& dictionaryName)
{
    initializeColorDictionaries();
    if (!canProvideRGBComponents(color))
        throw platform::Exception(platform::Exception::InternalInconsistency, kClosestNeedsRGB);
    if (dictionaryName.isNull()) {
        logError(kMissingDictionaryName);
        return QString();
    }
    const ColorDictionary* dictionary = colorDictionaryNamed(dictionaryName);
    if (!dictionary) {
        logError(kInvalidDictionaryName);
        return QString();
    }
    float best = FLT_MAX;
    QString bestName;
    for (qsizetype i = 0; i < dictionary->count(); ++i) {
        const std::optional<Color>& candidate = dictionary->colorAt(i);
        if (!candidate)
            continue;
        const double distance = distanceFrom(color, *candidate);
        if (distance < best) {
            best = float(distance);
            bestName = dictionary->entries().at(i).name;
        }
    }
    return bestName;
}

QString closestColorName(const Color& color)
{
    const MasterTable& table = masterTable();
    float best = FLT_MAX;
    QString bestName;
    for (const QString& dictionary : table.names) {
        if (dictionary == PseudoPantoneDictionary)
            continue;
        const QString name = closestColorNameUsingDictionary(color, dictionary);
        if (name.isNull())
            continue;
        const auto candidate = colorWithName(name, dictionary);
        if (!candidate)
            continue;
        const double distance = distanceFrom(color, *candidate);
        if (distance < best) {
            best = float(distance);
            bestName = name;
        }
    }
    return bestName;
}

QString closestCrayonName(const Color& color)
{
    return closestColorNameUsingDictionary(color, CrayonDictionary);
}

QString closestCSSName(const Color& color)
{
    return closestColorNameUsingDictionary(color, CSSDictionary);
}

QString closestBaseName(const Color& color)
{
    return closestColorNameUsingDictionary(color, BaseDictionary);
}

QString closestSystemColorName(const Color& color)
{
    return closestColorNameUsingDictionary(color, SystemDictionary);
}

QString closestWikipediaColorName(const Color& color)
{
    return closestColorNameUsingDictionary(color, WikipediaDictionary);
}

QString closestPseudoPantoneName(const Color& color)
{
    return closestColorNameUsingDictionary(color, PseudoPantoneDictionary);
}

QMap<QString, QString> closestColors(const Color& color)
{
    QMap<QString, QString> result;
    for (const QString& dictionary : availableColorDictionaries()) {
        const QString name = closestColorNameUsingDictionary(color, dictionary);
        if (!name.isNull())
            result.insert(dictionary, name);
    }
    return result;
}

Color closestMensColor(const Color& color)
{
    const bool dull = colorfulness(color) < double(kDullColorfulness);
    const QList<Color> candidates = dull
        ? QList<Color> { Color::blackColor(), Color::lightGrayColor(), Color::grayColor(),
              Color::darkGrayColor() }
        : QList<Color> { Color::redColor(), Color::greenColor(), Color::blueColor(),
              Color::cyanColor(), Color::yellowColor(), Color::magentaColor(), Color::orangeColor(),
              Color::purpleColor(), Color::brownColor() };
    float best = FLT_MAX;
    Color closest = candidates.first();
    for (const Color& candidate : candidates) {
        const double distance
            = dull ? distanceFrom(color, candidate) : hueDistanceFrom(color, candidate);
        if (distance < best) {
            best = float(distance);
            closest = candidate;
        }
    }
    return closest;
}

} // namespace UIColor_Expanded
