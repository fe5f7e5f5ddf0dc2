#include "platform/xls/ExtendedFormat.h"

#include "platform/xls/Workbook.h"

#include <QHashFunctions>
#include <QtEndian>

namespace platform::xls {

namespace {
// The palette has 56 colours from index 8, then the system's foreground and background.
constexpr quint8 MaxColor = 65;
constexpr quint8 MaxIndent = 15;
} // namespace

ExtendedFormat::ExtendedFormat(Workbook* workbook, Font* font)
    : m_workbook(workbook)
    , m_font(font)
{
    m_borderColors.fill(quint8(ColorName::Automatic));
}

ExtendedFormat* ExtendedFormat::xfDup() const
{
    return m_workbook->duplicate(*this);
}

void ExtendedFormat::setFont(Font* font)
{
    if (font)
        m_font = font;
}

void ExtendedFormat::setFormat(NumberFormat format)
{
    m_builtin = format;
    m_format = nullptr;
}

void ExtendedFormat::setFormat(Format* format)
{
    m_format = format;
}

void ExtendedFormat::setHAlign(HAlign align)
{
    if (quint8(align) <= quint8(HAlign::Distributed))
        m_hAlign = align;
}

void ExtendedFormat::setVAlign(VAlign align)
{
    if (quint8(align) <= quint8(VAlign::Distributed))
        m_vAlign = align;
}

void ExtendedFormat::setIndent(quint8 indent)
{
    m_indent = qMin(indent, MaxIndent);
}

void ExtendedFormat::setTxtOrientation(TextOrientation orientation)
{
    if (quint8(orientation) <= quint8(TextOrientation::Downwards))
        m_orientation = orientation;
}

void ExtendedFormat::setFillFGColor(quint8 color)
{
    if (color <= MaxColor)
        m_fillForeground = color;
}

void ExtendedFormat::setFillBGColor(quint8 color)
{
    if (color <= MaxColor)
        m_fillBackground = color;
}

void ExtendedFormat::setFillStyle(FillPattern pattern)
{
    if (quint8(pattern) <= quint8(FillPattern::Gray6))
        m_fillPattern = pattern;
}

BorderStyle ExtendedFormat::borderStyle(BorderSide side) const
{
    return quint8(side) < m_borderStyles.size() ? m_borderStyles[quint8(side)] : BorderStyle::None;
}

void ExtendedFormat::setBorderStyle(BorderSide side, BorderStyle style)
{
    if (quint8(side) < m_borderStyles.size()
        && quint8(style) <= quint8(BorderStyle::SlantedDashDot))
        m_borderStyles[quint8(side)] = style;
}

quint8 ExtendedFormat::borderColor(BorderSide side) const
{
    return quint8(side) < m_borderColors.size() ? m_borderColors[quint8(side)] : 0;
}

void ExtendedFormat::setBorderColor(BorderSide side, quint8 color)
{
    if (quint8(side) < m_borderColors.size() && color <= MaxColor)
        m_borderColors[quint8(side)] = color;
}

bool ExtendedFormat::operator==(const ExtendedFormat& other) const
{
    return m_font == other.m_font && m_format == other.m_format && m_builtin == other.m_builtin
        && m_hAlign == other.m_hAlign && m_vAlign == other.m_vAlign
        && m_orientation == other.m_orientation && m_fillPattern == other.m_fillPattern
        && m_indent == other.m_indent && m_fillForeground == other.m_fillForeground
        && m_fillBackground == other.m_fillBackground && m_locked == other.m_locked
        && m_hidden == other.m_hidden && m_wrap == other.m_wrap
        && m_borderStyles == other.m_borderStyles && m_borderColors == other.m_borderColors;
}

std::array<char, 20> ExtendedFormat::record(quint16 fontIndex, quint16 formatIndex) const
{
    quint8 rotation = 0;
    switch (m_orientation) {
    case TextOrientation::Horizontal:
        break;
    case TextOrientation::Stacked:
        rotation = 255;
        break;
    case TextOrientation::Upwards:
        rotation = 90;
        break;
    case TextOrientation::Downwards:
        rotation = 180;
        break;
    }
    const auto style = [this](BorderSide side) { return quint32(borderStyle(side)); };
    const auto color = [this](BorderSide side) { return quint32(borderColor(side)); };
    // Protection bits, parent style 0 (Normal).
    const quint16 protection = quint16((m_locked ? 0x0001 : 0) | (m_hidden ? 0x0002 : 0));
    const quint8 alignment = quint8(quint8(m_hAlign) | (m_wrap ? 0x08 : 0) | quint8(m_vAlign) << 4);
    // Every attribute group is this format's own rather than the style's.
    const quint8 used = 0xFC;
    const quint16 lines = quint16(style(BorderSide::Left) | style(BorderSide::Right) << 4
        | style(BorderSide::Top) << 8 | style(BorderSide::Bottom) << 12);
    const quint16 sideColors = quint16(color(BorderSide::Left) | color(BorderSide::Right) << 7);
    const quint32 moreColors
        = color(BorderSide::Top) | color(BorderSide::Bottom) << 7 | quint32(m_fillPattern) << 26;
    const quint16 fillColors = quint16(m_fillForeground | quint16(m_fillBackground) << 7);

    std::array<char, 20> out {};
    char* p = out.data();
    qToLittleEndian<quint16>(fontIndex, p);
    qToLittleEndian<quint16>(formatIndex, p + 2);
    qToLittleEndian<quint16>(protection, p + 4);
    p[6] = char(alignment);
    p[7] = char(rotation);
    p[8] = char(m_indent);
    p[9] = char(used);
    qToLittleEndian<quint16>(lines, p + 10);
    qToLittleEndian<quint16>(sideColors, p + 12);
    qToLittleEndian<quint32>(moreColors, p + 14);
    qToLittleEndian<quint16>(fillColors, p + 18);
    return out;
}

size_t qHash(const ExtendedFormat& f, size_t seed)
{
    quint64 packed = quint64(f.m_builtin) | quint64(f.m_hAlign) << 16 | quint64(f.m_vAlign) << 20
        | quint64(f.m_orientation) << 24 | quint64(f.m_fillPattern) << 28
        | quint64(f.m_indent) << 36 | quint64(f.m_locked) << 40 | quint64(f.m_hidden) << 41
        | quint64(f.m_wrap) << 42 | quint64(f.m_fillForeground) << 48
        | quint64(f.m_fillBackground) << 56;
    quint64 borders = 0;
    for (size_t i = 0; i < f.m_borderStyles.size(); ++i)
        borders = borders << 16 | quint64(f.m_borderStyles[i]) << 8 | f.m_borderColors[i];
    return qHashMulti(seed, f.m_font, f.m_format, packed, borders);
}

} // namespace platform::xls
