#include "reports/XlsExtendedFormat.h"

#include "reports/XlsFont.h"
#include "reports/XlsFormat.h"

using namespace platform::xls;

namespace {
// Options are small codes; anything else is ignored rather than wrapped into another.
bool isFormatOption(int value)
{
    return value >= 0 && value <= 0xFF;
}
} // namespace

XlsExtendedFormat::XlsExtendedFormat(ExtendedFormat* format)
    : aExtFormat(format)
{
}

XlsExtendedFormat XlsExtendedFormat::formatWithFormat(const XlsExtendedFormat& format)
{
    return XlsExtendedFormat(format.aExtFormat->xfDup());
}

void XlsExtendedFormat::setFont(const XlsFont& font)
{
    aExtFormat->setFont(font.font());
}

XlsFont XlsExtendedFormat::font() const
{
    return XlsFont(aExtFormat->font());
}

void XlsExtendedFormat::setFormatBuiltin(int format)
{
    if (format >= 0 && format <= 0xFFFF)
        aExtFormat->setFormat(NumberFormat(format));
}

void XlsExtendedFormat::setFormat(const XlsFormat& format)
{
    aExtFormat->setFormat(format.format());
}

void XlsExtendedFormat::setHAlign(int align)
{
    if (isFormatOption(align))
        aExtFormat->setHAlign(HAlign(align));
}

quint8 XlsExtendedFormat::hAlign() const
{
    return quint8(aExtFormat->hAlign());
}

void XlsExtendedFormat::setVAlign(int align)
{
    if (isFormatOption(align))
        aExtFormat->setVAlign(VAlign(align));
}

quint8 XlsExtendedFormat::vAlign() const
{
    return quint8(aExtFormat->vAlign());
}

void XlsExtendedFormat::setIndent(quint8 indent)
{
    aExtFormat->setIndent(indent);
}

quint8 XlsExtendedFormat::indent() const
{
    return aExtFormat->indent();
}

void XlsExtendedFormat::setTxtOrientation(int orientation)
{
    if (isFormatOption(orientation))
        aExtFormat->setTxtOrientation(TextOrientation(orientation));
}

quint8 XlsExtendedFormat::txtOrientation() const
{
    return quint8(aExtFormat->txtOrientation());
}

void XlsExtendedFormat::setFillFGColor(int color)
{
    if (isFormatOption(color))
        aExtFormat->setFillFGColor(quint8(color));
}

quint8 XlsExtendedFormat::fillFGColor() const
{
    return aExtFormat->fillFGColor();
}

void XlsExtendedFormat::setFillBGColor(int color)
{
    if (isFormatOption(color))
        aExtFormat->setFillBGColor(quint8(color));
}

quint8 XlsExtendedFormat::fillBGColor() const
{
    return aExtFormat->fillBGColor();
}

void XlsExtendedFormat::setFillStyle(int style)
{
    if (isFormatOption(style))
        aExtFormat->setFillStyle(FillPattern(style));
}

quint8 XlsExtendedFormat::fillStyle() const
{
    return quint8(aExtFormat->fillStyle());
}

void XlsExtendedFormat::setLocked(bool on)
{
    aExtFormat->setLocked(on);
}

bool XlsExtendedFormat::locked() const
{
    return aExtFormat->locked();
}

void XlsExtendedFormat::setHidden(bool on)
{
    aExtFormat->setHidden(on);
}

bool XlsExtendedFormat::hidden() const
{
    return aExtFormat->hidden();
}

void XlsExtendedFormat::setWrap(bool on)
{
    aExtFormat->setWrap(on);
}

bool XlsExtendedFormat::wrap() const
{
    return aExtFormat->wrap();
}

void XlsExtendedFormat::setBorderStyle(int side, int style)
{
    if (isFormatOption(side) && isFormatOption(style))
        aExtFormat->setBorderStyle(BorderSide(side), BorderStyle(style));
}

void XlsExtendedFormat::setBorderColor(int side, int color)
{
    if (isFormatOption(side) && isFormatOption(color))
        aExtFormat->setBorderColor(BorderSide(side), quint8(color));
}

quint8 XlsExtendedFormat::borderStyle(int side) const
{
    return isFormatOption(side) ? quint8(aExtFormat->borderStyle(BorderSide(side))) : 0;
}
