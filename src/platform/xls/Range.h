#pragma once

#include <QtGlobal>

namespace platform::xls {

class Worksheet;

// A rectangle of cells of one sheet, first and last rows and columns included.
class Range {
public:
    Range(Worksheet* sheet, quint16 firstRow, quint16 firstCol, quint16 lastRow, quint16 lastCol);

    Worksheet* sheet() const { return m_sheet; }
    quint16 firstRow() const { return m_firstRow; }
    quint16 firstCol() const { return m_firstCol; }
    quint16 lastRow() const { return m_lastRow; }
    quint16 lastCol() const { return m_lastCol; }

    // Fills every cell of the range with a solid colour (a palette index); cells not yet
    // written become blank cells.
    void cellcolor(quint8 color);

private:
    Worksheet* m_sheet;
    quint16 m_firstRow;
    quint16 m_firstCol;
    quint16 m_lastRow;
    quint16 m_lastCol;
};

} // namespace platform::xls
