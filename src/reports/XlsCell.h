#pragma once

#include "platform/xls/Cell.h"

#include <QString>

class XlsExtendedFormat;
class XlsFont;

// One cell of a sheet. Every setter changes this cell's format alone (copy on write);
// cells whose formats end up equal share one. Options are the writer's codes as integers.
class XlsCell {
public:
    explicit XlsCell(const platform::xls::Cell& cell);

    const platform::xls::Cell& cell() const { return aCell; }

    void font(const XlsFont& font);
    void horzAlign(int align);
    void vertAlign(int align);
    void indent(quint8 indent);
    void orientation(int orientation);
    void fillFGcolor(int color);
    void fillBGcolor(int color);
    void fillStyle(int style);
    void locked(bool on);
    void hidden(bool on);
    void wrap(bool on);
    void borderStyle(int side, int style);
    void borderColor(int side, int color);
    void fontName(const QString& name);
    void fontHeight(quint16 height);
    void fontBold(int style);
    void fontUnderline(int style);
    void fontScript(int script);
    void fontColor(int color);
    void fontItalic(bool on);
    void fontStrikeout(bool on);
    void fontOutline(bool on);
    void fontShadow(bool on);

    quint16 row() const;
    quint16 col() const;
    void setExtendedFormat(const XlsExtendedFormat& format);
    XlsExtendedFormat extendedFormat() const;

private:
    platform::xls::Cell aCell;
};
