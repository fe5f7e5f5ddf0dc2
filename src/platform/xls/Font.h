#pragma once

#include "platform/xls/Options.h"

#include <QString>

namespace platform::xls {

// One font of a workbook. Fonts are compared by value when the file is written, so two
// equal fonts become one font record.
class Font {
public:
    // A font of the workbook's default look (10 points, regular, automatic colour).
    explicit Font(QString name = QStringLiteral("Arial"));

    const QString& name() const { return m_name; }
    // An empty name keeps the current one; names are cut to the 255 characters a font
    // record holds.
    void setName(const QString& name);

    // Height in twentieths of a point.
    quint16 height() const { return m_height; }
    void setHeight(quint16 height) { m_height = height; }

    Boldness boldStyle() const { return m_boldness; }
    void setBoldStyle(Boldness boldness);
    // The weight the file records for the bold style (400 regular, 700 bold).
    quint16 weight() const;

    Underline underlineStyle() const { return m_underline; }
    void setUnderlineStyle(Underline underline);

    Script scriptStyle() const { return m_script; }
    void setScriptStyle(Script script);

    // A palette index; 0x7FFF is the automatic colour.
    quint16 colorIndex() const { return m_color; }
    void setColorIndex(quint16 index) { m_color = index; }
    void setColorName(ColorName color) { m_color = quint16(color); }

    bool italic() const { return m_italic; }
    void setItalic(bool on) { m_italic = on; }
    bool strikeout() const { return m_strikeout; }
    void setStrikeout(bool on) { m_strikeout = on; }
    bool outline() const { return m_outline; }
    void setOutline(bool on) { m_outline = on; }
    bool shadow() const { return m_shadow; }
    void setShadow(bool on) { m_shadow = on; }

    quint8 family() const { return m_family; }
    void setFamily(quint8 family) { m_family = family; }
    quint8 charset() const { return m_charset; }
    void setCharset(quint8 charset) { m_charset = charset; }

    bool operator==(const Font& other) const;

    static constexpr quint16 AutomaticColor = 0x7FFF;

private:
    QString m_name;
    quint16 m_height = 200;
    quint16 m_color = AutomaticColor;
    Boldness m_boldness = Boldness::Normal;
    Underline m_underline = Underline::None;
    Script m_script = Script::None;
    quint8 m_family = 0;
    quint8 m_charset = 0;
    bool m_italic = false;
    bool m_strikeout = false;
    bool m_outline = false;
    bool m_shadow = false;
};

size_t qHash(const Font& font, size_t seed = 0);

} // namespace platform::xls
