#include "reports/XlsFont.h"

using namespace platform::xls;

namespace {
// Options are small codes; anything else is ignored rather than wrapped into another.
bool isFontOption(int value)
{
    return value >= 0 && value <= 0xFF;
}
} // namespace

XlsFont::XlsFont(Font* font)
    : aFont(font)
{
}

void XlsFont::setName(const QString& name)
{
    aFont->setName(name);
}

QString XlsFont::name() const
{
    return aFont->name();
}

void XlsFont::setHeight(quint16 height)
{
    aFont->setHeight(height);
}

quint16 XlsFont::height() const
{
    return aFont->height();
}

void XlsFont::setBoldStyle(int style)
{
    if (isFontOption(style))
        aFont->setBoldStyle(Boldness(style));
}

int XlsFont::boldStyle() const
{
    return int(aFont->boldStyle());
}

void XlsFont::setUnderlineStyle(int style)
{
    if (isFontOption(style))
        aFont->setUnderlineStyle(Underline(style));
}

int XlsFont::underlineStyle() const
{
    return int(aFont->underlineStyle());
}

void XlsFont::SetScriptStyle(int style)
{
    if (isFontOption(style))
        aFont->setScriptStyle(Script(style));
}

int XlsFont::scriptStyle() const
{
    return int(aFont->scriptStyle());
}

void XlsFont::setColorName(int color)
{
    if (isFontOption(color))
        aFont->setColorName(ColorName(color));
}

void XlsFont::setColorIndex(quint8 color)
{
    aFont->setColorIndex(color);
}

quint16 XlsFont::colorIndex() const
{
    return aFont->colorIndex();
}

void XlsFont::setItalic(bool on)
{
    aFont->setItalic(on);
}

bool XlsFont::italic() const
{
    return aFont->italic();
}

void XlsFont::setStrikeout(bool on)
{
    aFont->setStrikeout(on);
}

bool XlsFont::strikeOut() const
{
    return aFont->strikeout();
}

void XlsFont::setOutline(bool on)
{
    aFont->setOutline(on);
}

bool XlsFont::outline() const
{
    return aFont->outline();
}

void XlsFont::setShadow(bool on)
{
    aFont->setShadow(on);
}

bool XlsFont::shadow() const
{
    return aFont->shadow();
}

void XlsFont::setFamily(quint8 family)
{
    aFont->setFamily(family);
}

quint8 XlsFont::family() const
{
    return aFont->family();
}

void XlsFont::setCharset(quint8 charset)
{
    aFont->setCharset(charset);
}

quint8 XlsFont::charset() const
{
    return aFont->charset();
}
