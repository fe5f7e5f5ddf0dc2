#pragma once

#include "platform/xls/Cell.h"
#include "platform/xls/Options.h"
#include "platform/xls/Range.h"

#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace platform::xls {

class ExtendedFormat;
class RecordWriter;
class Workbook;

// One sheet of a workbook: its cells, column widths, row heights and merged areas.
// Rows run from 0 to MaxRow and columns from 0 to MaxColumn; a position outside raises
// platform::Exception, so nothing is ever written at a wrapped-around position.
class Worksheet {
public:
    Worksheet(Workbook* workbook, QString name);

    Workbook* workbook() const { return m_workbook; }
    const QString& name() const { return m_name; }

    // Each writes a cell, replacing one at the same place. A null format is the
    // workbook's default. Texts longer than MaxTextLength are cut there; an empty text
    // makes a blank cell.
    Cell label(int row, int col, const QString& text, ExtendedFormat* format = nullptr);
    Cell blank(int row, int col, ExtendedFormat* format = nullptr);
    Cell number(int row, int col, double value, ExtendedFormat* format = nullptr);
    Cell number(int row, int col, double value, NumberFormat format);

    std::optional<Cell> findCell(int row, int col);

    // Width in 1/256 of a character; height in twentieths of a point.
    void colwidth(int col, quint16 width, ExtendedFormat* format = nullptr);
    void rowheight(int row, quint16 height, ExtendedFormat* format = nullptr);

    // Merges the rectangle (corners in any order). A single cell needs no merging, and an
    // area overlapping one already merged is refused: both return false.
    bool merge(int firstRow, int firstCol, int lastRow, int lastCol);
    Range range(int firstRow, int firstCol, int lastRow, int lastCol);

    // Makes this the sheet shown when the file opens.
    void makeActive();

    // For cells: the format of the cell at a place that has one.
    ExtendedFormat* cellFormat(quint16 row, quint16 col) const;
    void setCellFormat(quint16 row, quint16 col, ExtendedFormat* format);

    // For the workbook's writer: marks the formats this sheet uses and counts its texts,
    // then writes the sheet's records given the record index of every format.
    void collectFormats(std::vector<bool>& used, quint32& textCells) const;
    void write(RecordWriter& out, const std::vector<quint16>& xfRecords, bool active) const;

private:
    enum class Kind : quint8 { Blank, Number, Text };
    struct CellData {
        quint16 col;
        Kind kind;
        quint32 xf;
        union {
            double number;
            quint32 text;
        };
    };
    struct Row {
        std::vector<CellData> cells; // by column
        quint32 xf = 0;
        quint16 height = 0;
        bool hasHeight = false;
        bool hasFormat = false;
    };
    struct Column {
        quint16 width;
        quint32 xf;
        bool hasFormat;
    };
    struct Merge {
        quint16 firstRow;
        quint16 lastRow;
        quint16 firstCol;
        quint16 lastCol;
    };

    static void checkPosition(int row, int col);
    CellData& place(int row, int col, Kind kind, ExtendedFormat* format);
    const CellData* find(quint16 row, quint16 col) const;
    CellData* find(quint16 row, quint16 col);
    quint32 formatId(ExtendedFormat* format) const;
    void writeRowBlock(
        RecordWriter& out, const std::vector<quint16>& xfRecords, int first, int last) const;

    Workbook* m_workbook;
    QString m_name;
    std::vector<Row> m_rows; // by row number, as far as the last row used
    std::map<quint16, Column> m_columns;
    std::vector<Merge> m_merges;
};

} // namespace platform::xls
