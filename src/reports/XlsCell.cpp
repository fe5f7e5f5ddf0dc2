#include "reports/XlsCell.h"

#include "reports/XlsExtendedFormat.h"
#include "reports/XlsFont.h"

using namespace platform::xls;

namespace {
// Options are small codes; anything else is ignored rather than wrapped into another.
bool isOption(int value)
{
    return value >= 0 && value <= 0xFF;
}
} // namespace

XlsCell::XlsCell(const Cell& cell)
    : aCell(cell)
{
}

void XlsCell::font(const XlsFont& font)
{
    aCell.setFont(font.font());
}

void XlsCell::horzAlign(int align)
{
    if (isOption(align))
        aCell.setHAlign(HAlign(align));
}

void XlsCell::vertAlign(int align)
{
    if (isOption(align))
        aCell.setVAlign(VAlign(align));
}

void XlsCell::indent(quint8 indent)
{
    aCell.setIndent(indent);
}

void XlsCell::orientation(int orientation)
{
    if (isOption(orientation))
        aCell.setOrientation(TextOrientation(orientation));
}

void XlsCell::fillFGcolor(int color)
{
    if (isOption(color))
        aCell.setFillFGColor(quint8(color));
}

void XlsCell::fillBGcolor(int color)
{
    if (isOption(color))
        aCell.setFillBGColor(quint8(color));
}

void XlsCell::fillStyle(int style)
{
    if (isOption(style))
        aCell.setFillStyle(FillPattern(style));
}

void XlsCell::locked(bool on)
{
    aCell.setLocked(on);
}

void XlsCell::hidden(bool on)
{
    aCell.setHidden(on);
}

void XlsCell::wrap(bool on)
{
    aCell.setWrap(on);
}

void XlsCell::borderStyle(int side, int style)
{
    if (isOption(side) && isOption(style))
        aCell.setBorderStyle(BorderSide(side), BorderStyle(style));
}

void XlsCell::borderColor(int side, int color)
{
    if (isOption(side) && isOption(color))
        aCell.setBorderColor(BorderSide(side), quint8(color));
}

void XlsCell::fontName(const QString& name)
{
    aCell.setFontName(name);
}

void XlsCell::fontHeight(quint16 height)
{
    aCell.setFontHeight(height);
}

void XlsCell::fontBold(int style)
{
    if (isOption(style))
        aCell.setFontBold(Boldness(style));
}

void XlsCell::fontUnderline(int style)
{
    if (isOption(style))
        aCell.setFontUnderline(Underline(style));
}

void XlsCell::fontScript(int script)
{
    if (isOption(script))
        aCell.setFontScript(Script(script));
}

void XlsCell::fontColor(int color)
{
    if (color >= 0 && color <= 0xFFFF)
        aCell.setFontColor(quint16(color));
}

void XlsCell::fontItalic(bool on)
{
    aCell.setFontItalic(on);
}

void XlsCell::fontStrikeout(bool on)
{
    aCell.setFontStrikeout(on);
}

void XlsCell::fontOutline(bool on)
{
    aCell.setFontOutline(on);
}

void XlsCell::fontShadow(bool on)
{
    aCell.setFontShadow(on);
}

quint16 XlsCell::row() const
{
    return aCell.row();
}

quint16 XlsCell::col() const
{
    return aCell.col();
}

void XlsCell::setExtendedFormat(const XlsExtendedFormat& format)
{
    aCell.setXF(format.extFormat());
}

XlsExtendedFormat XlsCell::extendedFormat() const
{
    return XlsExtendedFormat(aCell.xf());
}
