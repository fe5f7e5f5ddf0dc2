#include "platform/xls/Cell.h"

#include "platform/xls/ExtendedFormat.h"
#include "platform/xls/Font.h"
#include "platform/xls/Workbook.h"
#include "platform/xls/Worksheet.h"

namespace platform::xls {

Cell::Cell(Worksheet* sheet, quint16 row, quint16 col)
    : m_sheet(sheet)
    , m_row(row)
    , m_col(col)
{
}

ExtendedFormat* Cell::xf() const
{
    return m_sheet->cellFormat(m_row, m_col);
}

void Cell::setXF(ExtendedFormat* format)
{
    m_sheet->setCellFormat(m_row, m_col, format);
}

template<typename Change> void Cell::changeFormat(Change change)
{
    ExtendedFormat changed = *xf();
    change(changed);
    setXF(m_sheet->workbook()->shared(changed));
}

template<typename Change> void Cell::changeFont(Change change)
{
    changeFormat([this, &change](ExtendedFormat& format) {
        Font font = *format.font();
        change(font);
        format.setFont(m_sheet->workbook()->shared(font));
    });
}

void Cell::setFont(Font* font)
{
    changeFormat([font](ExtendedFormat& f) { f.setFont(font); });
}

void Cell::setHAlign(HAlign align)
{
    changeFormat([align](ExtendedFormat& f) { f.setHAlign(align); });
}

void Cell::setVAlign(VAlign align)
{
    changeFormat([align](ExtendedFormat& f) { f.setVAlign(align); });
}

void Cell::setIndent(quint8 indent)
{
    changeFormat([indent](ExtendedFormat& f) { f.setIndent(indent); });
}

void Cell::setOrientation(TextOrientation orientation)
{
    changeFormat([orientation](ExtendedFormat& f) { f.setTxtOrientation(orientation); });
}

void Cell::setFillFGColor(quint8 color)
{
    changeFormat([color](ExtendedFormat& f) { f.setFillFGColor(color); });
}

void Cell::setFillBGColor(quint8 color)
{
    changeFormat([color](ExtendedFormat& f) { f.setFillBGColor(color); });
}

void Cell::setFillStyle(FillPattern pattern)
{
    changeFormat([pattern](ExtendedFormat& f) { f.setFillStyle(pattern); });
}

void Cell::setLocked(bool on)
{
    changeFormat([on](ExtendedFormat& f) { f.setLocked(on); });
}

void Cell::setHidden(bool on)
{
    changeFormat([on](ExtendedFormat& f) { f.setHidden(on); });
}

void Cell::setWrap(bool on)
{
    changeFormat([on](ExtendedFormat& f) { f.setWrap(on); });
}

void Cell::setBorderStyle(BorderSide side, BorderStyle style)
{
    changeFormat([side, style](ExtendedFormat& f) { f.setBorderStyle(side, style); });
}

void Cell::setBorderColor(BorderSide side, quint8 color)
{
    changeFormat([side, color](ExtendedFormat& f) { f.setBorderColor(side, color); });
}

void Cell::setFontName(const QString& name)
{
    changeFont([&name](Font& f) { f.setName(name); });
}

void Cell::setFontHeight(quint16 height)
{
    changeFont([height](Font& f) { f.setHeight(height); });
}

void Cell::setFontBold(Boldness boldness)
{
    changeFont([boldness](Font& f) { f.setBoldStyle(boldness); });
}

void Cell::setFontUnderline(Underline underline)
{
    changeFont([underline](Font& f) { f.setUnderlineStyle(underline); });
}

void Cell::setFontScript(Script script)
{
    changeFont([script](Font& f) { f.setScriptStyle(script); });
}

void Cell::setFontColor(quint16 color)
{
    changeFont([color](Font& f) { f.setColorIndex(color); });
}

void Cell::setFontItalic(bool on)
{
    changeFont([on](Font& f) { f.setItalic(on); });
}

void Cell::setFontStrikeout(bool on)
{
    changeFont([on](Font& f) { f.setStrikeout(on); });
}

void Cell::setFontOutline(bool on)
{
    changeFont([on](Font& f) { f.setOutline(on); });
}

void Cell::setFontShadow(bool on)
{
    changeFont([on](Font& f) { f.setShadow(on); });
}

} // namespace platform::xls
