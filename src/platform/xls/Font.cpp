#include "platform/xls/Font.h"

#include <QHashFunctions>

namespace platform::xls {

namespace {
constexpr int MaxNameLength = 255;
}

Font::Font(QString name)
    : m_name(std::move(name))
{
}

void Font::setName(const QString& name)
{
    if (!name.isEmpty())
        m_name = name.left(MaxNameLength);
}

void Font::setBoldStyle(Boldness boldness)
{
    if (quint8(boldness) <= quint8(Boldness::Double))
        m_boldness = boldness;
}

quint16 Font::weight() const
{
    switch (m_boldness) {
    case Boldness::Bold:
        return 700;
    case Boldness::Half:
        return 600;
    case Boldness::Double:
        return 900;
    case Boldness::Normal:
        break;
    }
    return 400;
}

void Font::setUnderlineStyle(Underline underline)
{
    switch (underline) {
    case Underline::None:
    case Underline::Single:
    case Underline::Double:
    case Underline::SingleAccounting:
    case Underline::DoubleAccounting:
        m_underline = underline;
        break;
    }
}

void Font::setScriptStyle(Script script)
{
    if (quint8(script) <= quint8(Script::Subscript))
        m_script = script;
}

bool Font::operator==(const Font& other) const
{
    return m_height == other.m_height && m_color == other.m_color && m_boldness == other.m_boldness
        && m_underline == other.m_underline && m_script == other.m_script
        && m_family == other.m_family && m_charset == other.m_charset && m_italic == other.m_italic
        && m_strikeout == other.m_strikeout && m_outline == other.m_outline
        && m_shadow == other.m_shadow && m_name == other.m_name;
}

size_t qHash(const Font& font, size_t seed)
{
    return qHashMulti(seed, font.name(), font.height(), font.colorIndex(), quint8(font.boldStyle()),
        quint8(font.underlineStyle()), quint8(font.scriptStyle()), font.family(), font.charset(),
        font.italic(), font.strikeout(), font.outline(), font.shadow());
}

} // namespace platform::xls
