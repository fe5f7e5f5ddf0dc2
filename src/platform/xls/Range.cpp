#include "platform/xls/Range.h"

#include "platform/xls/Cell.h"
#include "platform/xls/Worksheet.h"

#include <utility>

namespace platform::xls {

Range::Range(Worksheet* sheet, quint16 firstRow, quint16 firstCol, quint16 lastRow, quint16 lastCol)
    : m_sheet(sheet)
    , m_firstRow(qMin(firstRow, lastRow))
    , m_firstCol(qMin(firstCol, lastCol))
    , m_lastRow(qMax(firstRow, lastRow))
    , m_lastCol(qMax(firstCol, lastCol))
{
}

void Range::cellcolor(quint8 color)
{
    for (int row = m_firstRow; row <= m_lastRow; ++row) {
        for (int col = m_firstCol; col <= m_lastCol; ++col) {
            auto cell = m_sheet->findCell(row, col);
            if (!cell)
                cell = m_sheet->blank(row, col);
            cell->setFillFGColor(color);
            cell->setFillStyle(FillPattern::Solid);
        }
    }
}

} // namespace platform::xls
