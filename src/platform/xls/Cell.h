#pragma once

#include "platform/xls/Options.h"

#include <QString>

namespace platform::xls {

class ExtendedFormat;
class Font;
class Worksheet;

// A handle on one cell of a sheet. The setters change only this cell's format: the cell
// gets a format equal to its old one but for the change, shared with every other cell
// whose format is equal.
class Cell {
public:
    Cell(Worksheet* sheet, quint16 row, quint16 col);

    Worksheet* sheet() const { return m_sheet; }
    quint16 row() const { return m_row; }
    quint16 col() const { return m_col; }

    ExtendedFormat* xf() const;
    // A null format gives the cell the workbook's default one.
    void setXF(ExtendedFormat* format);

    void setFont(Font* font);
    void setHAlign(HAlign align);
    void setVAlign(VAlign align);
    void setIndent(quint8 indent);
    void setOrientation(TextOrientation orientation);
    void setFillFGColor(quint8 color);
    void setFillBGColor(quint8 color);
    void setFillStyle(FillPattern pattern);
    void setLocked(bool on);
    void setHidden(bool on);
    void setWrap(bool on);
    void setBorderStyle(BorderSide side, BorderStyle style);
    void setBorderColor(BorderSide side, quint8 color);

    void setFontName(const QString& name);
    void setFontHeight(quint16 height);
    void setFontBold(Boldness boldness);
    void setFontUnderline(Underline underline);
    void setFontScript(Script script);
    void setFontColor(quint16 color);
    void setFontItalic(bool on);
    void setFontStrikeout(bool on);
    void setFontOutline(bool on);
    void setFontShadow(bool on);

private:
    template<typename Change> void changeFormat(Change change);
    template<typename Change> void changeFont(Change change);

    Worksheet* m_sheet;
    quint16 m_row;
    quint16 m_col;
};

} // namespace platform::xls
