#pragma once

#include "platform/xls/Options.h"

#include <array>
#include <cstddef>

namespace platform::xls {

class Font;
class Format;
class Workbook;

// A cell format (font, number format, alignment, borders, fill, protection). Formats
// belong to their workbook; cells refer to them, and cells with equal formats share one
// format record in the file.
class ExtendedFormat {
public:
    ExtendedFormat(Workbook* workbook, Font* font);

    Workbook* workbook() const { return m_workbook; }
    // Position in the workbook's list of formats; 0 is the default format.
    quint32 id() const { return m_id; }
    // A new format of the same workbook with this one's settings.
    ExtendedFormat* xfDup() const;

    Font* font() const { return m_font; }
    // A null font leaves the font as it is.
    void setFont(Font* font);

    // The number format: a built-in one, or a custom one that overrides it when set.
    NumberFormat builtinFormat() const { return m_builtin; }
    Format* format() const { return m_format; }
    void setFormat(NumberFormat format);
    void setFormat(Format* format);

    HAlign hAlign() const { return m_hAlign; }
    void setHAlign(HAlign align);
    VAlign vAlign() const { return m_vAlign; }
    void setVAlign(VAlign align);
    // Indent level, 0 to 15.
    quint8 indent() const { return m_indent; }
    void setIndent(quint8 indent);
    TextOrientation txtOrientation() const { return m_orientation; }
    void setTxtOrientation(TextOrientation orientation);

    // Fill colours are palette indices.
    quint8 fillFGColor() const { return m_fillForeground; }
    void setFillFGColor(quint8 color);
    quint8 fillBGColor() const { return m_fillBackground; }
    void setFillBGColor(quint8 color);
    FillPattern fillStyle() const { return m_fillPattern; }
    void setFillStyle(FillPattern pattern);

    bool locked() const { return m_locked; }
    void setLocked(bool on) { m_locked = on; }
    bool hidden() const { return m_hidden; }
    void setHidden(bool on) { m_hidden = on; }
    bool wrap() const { return m_wrap; }
    void setWrap(bool on) { m_wrap = on; }

    BorderStyle borderStyle(BorderSide side) const;
    void setBorderStyle(BorderSide side, BorderStyle style);
    quint8 borderColor(BorderSide side) const;
    void setBorderColor(BorderSide side, quint8 color);

    // Same settings, the font compared by identity (fonts made by cell setters are
    // themselves shared, so equal fonts there are one object).
    bool operator==(const ExtendedFormat& other) const;

    // The 20 bytes of this format's XF record as a cell format under the Normal style.
    std::array<char, 20> record(quint16 fontIndex, quint16 formatIndex) const;

private:
    friend class Workbook;
    friend size_t qHash(const ExtendedFormat& format, size_t seed);

    Workbook* m_workbook;
    quint32 m_id = 0; // position in the workbook's list of formats
    Font* m_font;
    Format* m_format = nullptr;
    NumberFormat m_builtin = NumberFormat::General;
    HAlign m_hAlign = HAlign::General;
    VAlign m_vAlign = VAlign::Bottom;
    TextOrientation m_orientation = TextOrientation::Horizontal;
    FillPattern m_fillPattern = FillPattern::None;
    quint8 m_indent = 0;
    quint8 m_fillForeground = quint8(ColorName::Automatic);
    quint8 m_fillBackground = quint8(ColorName::Automatic) + 1;
    bool m_locked = true;
    bool m_hidden = false;
    bool m_wrap = false;
    std::array<BorderStyle, 4> m_borderStyles {};
    std::array<quint8, 4> m_borderColors {};
};

size_t qHash(const ExtendedFormat& format, size_t seed = 0);

} // namespace platform::xls
