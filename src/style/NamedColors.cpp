#include "style/NamedColors.h"

#include "style/UIColor_Expanded.h"

#include <QHash>

#include <array>

namespace UIColor_Expanded {

namespace {

constexpr double kByteScale = 255.0;
const QString kThemePrefix = QStringLiteral("Theme");

Color byteColor(double r, double g, double b)
{
    return Color::colorWithRed(r / kByteScale, g / kByteScale, b / kByteScale, 1.0);
}

} // namespace

// Each colour is made on first use and the same object is handed out afterwards.
#define KIVO_DEFINE_COLOR(name, r, g, b)                                                           \
    const Color& name()                                                                            \
    {                                                                                              \
        static const Color color = byteColor(r, g, b);                                             \
        return color;                                                                              \
    }
KIVO_NAMED_COLORS(KIVO_DEFINE_COLOR)
KIVO_PALETTE_COLORS(KIVO_DEFINE_COLOR)
#undef KIVO_DEFINE_COLOR

namespace {

using ColorFunction = const Color& (*)();

// Palette operations by name, so a theme name from the settings finds its colour at run time.
const QHash<QString, ColorFunction>& paletteByName()
{
    static const QHash<QString, ColorFunction> table = [] {
        QHash<QString, ColorFunction> t;
#define KIVO_REGISTER_COLOR(name, r, g, b) t.insert(QStringLiteral(#name), &name);
        KIVO_PALETTE_COLORS(KIVO_REGISTER_COLOR)
#undef KIVO_REGISTER_COLOR
        return t;
    }();
    return table;
}

} // namespace

const QStringList& themeColorNames()
{
    static const QStringList names = [] {
        QStringList list;
#define KIVO_THEME_NAME(name, r, g, b)                                                             \
    if (QStringLiteral(#name).startsWith(kThemePrefix))                                            \
        list << QStringLiteral(#name).mid(kThemePrefix.size());
        KIVO_PALETTE_COLORS(KIVO_THEME_NAME)
#undef KIVO_THEME_NAME
        return list;
    }();
    return names;
}

std::optional<Color> themeColor(const QString& name)
{
    if (name.isEmpty())
        return std::nullopt;
    const ColorFunction function = paletteByName().value(kThemePrefix + name);
    if (!function)
        return std::nullopt;
    return function();
}

QString themeRGBString(const QString& name)
{
    const auto color = themeColor(name);
    return color ? stringValue(*color) : QString();
}

const Color& GetRandomColor(quint64 index)
{
    static const std::array<ColorFunction, 8> charts
        = { &Excel1, &Excel2, &Excel3, &Excel4, &Excel5, &Excel6, &Excel7, &Excel8 };
    return charts[index % charts.size()]();
}

} // namespace UIColor_Expanded
