#pragma once

#include "platform/xls/ExtendedFormat.h"

class XlsFont;
class XlsFormat;

// A cell format of a workbook (owned by the workbook). Enumerated options (alignment,
// orientation, colours, fill, border sides and styles, number formats) are the writer's
// own codes passed as integers; getters return them as 8-bit codes.
class XlsExtendedFormat {
public:
    explicit XlsExtendedFormat(platform::xls::ExtendedFormat* format);

    platform::xls::ExtendedFormat* extFormat() const { return aExtFormat; }

    // A new format of the same workbook, a copy of the given one.
    static XlsExtendedFormat formatWithFormat(const XlsExtendedFormat& format);

    void setFont(const XlsFont& font);
    XlsFont font() const;
    void setFormatBuiltin(int format);
    void setFormat(const XlsFormat& format);

    void setHAlign(int align);
    quint8 hAlign() const;
    void setVAlign(int align);
    quint8 vAlign() const;
    void setIndent(quint8 indent);
    quint8 indent() const;
    void setTxtOrientation(int orientation);
    quint8 txtOrientation() const;
    void setFillFGColor(int color);
    quint8 fillFGColor() const;
    void setFillBGColor(int color);
    quint8 fillBGColor() const;
    void setFillStyle(int style);
    quint8 fillStyle() const;
    void setLocked(bool on);
    bool locked() const;
    void setHidden(bool on);
    bool hidden() const;
    void setWrap(bool on);
    bool wrap() const;
    void setBorderStyle(int side, int style);
    void setBorderColor(int side, int color);
    quint8 borderStyle(int side) const;

private:
    platform::xls::ExtendedFormat* aExtFormat;
};
