#include "platform/xls/Worksheet.h"

#include "platform/Exception.h"
#include "platform/xls/ExtendedFormat.h"
#include "platform/xls/RecordWriter.h"
#include "platform/xls/Workbook.h"

#include <QtEndian>

#include <algorithm>
#include <bit>

namespace platform::xls {

namespace {
constexpr quint16 DimensionsRecord = 0x0200;
constexpr quint16 ColInfoRecord = 0x007D;
constexpr quint16 RowRecord = 0x0208;
constexpr quint16 LabelSstRecord = 0x00FD;
constexpr quint16 NumberRecord = 0x0203;
constexpr quint16 BlankRecord = 0x0201;
constexpr quint16 Window2Record = 0x023E;
constexpr quint16 MergeCellsRecord = 0x00E5;

// Readers expect the rows in blocks of 32: the block's row records, then its cells.
constexpr int RowsPerBlock = 32;
constexpr quint16 DefaultRowHeight = 0x00FF;
constexpr quint16 MaxRowHeight = 8192;
constexpr quint16 DefaultCellXf = 15;
constexpr int MergesPerRecord = 1027;

// Grid lines, headers, zeros, outline symbols and the default grid colour shown; the
// active sheet is also selected and on display.
constexpr quint16 WindowOptions = 0x00B6;
constexpr quint16 WindowActive = 0x0600;

QString positionError(int row, int col)
{
    if (row < 0 || row > MaxRow)
        return QStringLiteral("A sheet has rows 0 to %1 only; row %2 cannot be written.")
            .arg(MaxRow)
            .arg(row);
    return QStringLiteral("A sheet has columns 0 to %1 only; column %2 cannot be written.")
        .arg(MaxColumn)
        .arg(col);
}
} // namespace

Worksheet::Worksheet(Workbook* workbook, QString name)
    : m_workbook(workbook)
    , m_name(std::move(name))
{
}

void Worksheet::checkPosition(int row, int col)
{
    if (row < 0 || row > MaxRow || col < 0 || col > MaxColumn)
        throw Exception(Exception::RangeError, positionError(row, col));
}

quint32 Worksheet::formatId(ExtendedFormat* format) const
{
    return format ? format->id() : 0;
}

Worksheet::CellData& Worksheet::place(int row, int col, Kind kind, ExtendedFormat* format)
{
    checkPosition(row, col);
    if (size_t(row) >= m_rows.size())
        m_rows.resize(size_t(row) + 1);
    auto& cells = m_rows[size_t(row)].cells;
    CellData* cell;
    if (cells.empty() || cells.back().col < col) {
        cell = &cells.emplace_back();
    } else {
        auto it = std::lower_bound(cells.begin(), cells.end(), col,
            [](const CellData& c, int value) { return c.col < value; });
        if (it == cells.end() || it->col != col)
            it = cells.insert(it, CellData {});
        cell = &*it;
    }
    cell->col = quint16(col);
    cell->kind = kind;
    cell->xf = formatId(format);
    return *cell;
}

const Worksheet::CellData* Worksheet::find(quint16 row, quint16 col) const
{
    if (row >= m_rows.size())
        return nullptr;
    const auto& cells = m_rows[row].cells;
    auto it = std::lower_bound(cells.begin(), cells.end(), col,
        [](const CellData& c, quint16 value) { return c.col < value; });
    return it != cells.end() && it->col == col ? &*it : nullptr;
}

Worksheet::CellData* Worksheet::find(quint16 row, quint16 col)
{
    return const_cast<CellData*>(std::as_const(*this).find(row, col));
}

Cell Worksheet::label(int row, int col, const QString& text, ExtendedFormat* format)
{
    // An empty shared string trips some readers; a blank cell shows the same.
    if (text.isEmpty())
        return blank(row, col, format);
    qsizetype length = text.size();
    if (length > MaxTextLength) {
        // Never leave half of a surrogate pair at the cut.
        length = MaxTextLength;
        if (text.at(length - 1).isHighSurrogate())
            --length;
    }
    const quint32 index
        = m_workbook->strings().add(length == text.size() ? text : text.left(length));
    place(row, col, Kind::Text, format).text = index;
    return Cell(this, quint16(row), quint16(col));
}

Cell Worksheet::blank(int row, int col, ExtendedFormat* format)
{
    place(row, col, Kind::Blank, format).number = 0;
    return Cell(this, quint16(row), quint16(col));
}

Cell Worksheet::number(int row, int col, double value, ExtendedFormat* format)
{
    place(row, col, Kind::Number, format).number = value;
    return Cell(this, quint16(row), quint16(col));
}

Cell Worksheet::number(int row, int col, double value, NumberFormat format)
{
    Cell cell = number(row, col, value);
    ExtendedFormat changed = *cell.xf();
    changed.setFormat(format);
    cell.setXF(m_workbook->shared(changed));
    return cell;
}

std::optional<Cell> Worksheet::findCell(int row, int col)
{
    if (row < 0 || row > MaxRow || col < 0 || col > MaxColumn || !find(quint16(row), quint16(col)))
        return std::nullopt;
    return Cell(this, quint16(row), quint16(col));
}

ExtendedFormat* Worksheet::cellFormat(quint16 row, quint16 col) const
{
    const CellData* cell = find(row, col);
    return m_workbook->formatById(cell ? cell->xf : 0);
}

void Worksheet::setCellFormat(quint16 row, quint16 col, ExtendedFormat* format)
{
    if (CellData* cell = find(row, col))
        cell->xf = formatId(format);
}

void Worksheet::colwidth(int col, quint16 width, ExtendedFormat* format)
{
    checkPosition(0, col);
    m_columns[quint16(col)] = Column { width, formatId(format), format != nullptr };
}

void Worksheet::rowheight(int row, quint16 height, ExtendedFormat* format)
{
    checkPosition(row, 0);
    if (size_t(row) >= m_rows.size())
        m_rows.resize(size_t(row) + 1);
    Row& info = m_rows[size_t(row)];
    info.height = qMin(height, MaxRowHeight);
    info.hasHeight = true;
    info.xf = formatId(format);
    info.hasFormat = format != nullptr;
}

bool Worksheet::merge(int firstRow, int firstCol, int lastRow, int lastCol)
{
    checkPosition(firstRow, firstCol);
    checkPosition(lastRow, lastCol);
    const Merge area { quint16(qMin(firstRow, lastRow)), quint16(qMax(firstRow, lastRow)),
        quint16(qMin(firstCol, lastCol)), quint16(qMax(firstCol, lastCol)) };
    if (area.firstRow == area.lastRow && area.firstCol == area.lastCol)
        return false;
    for (const Merge& other : m_merges) {
        if (area.firstRow <= other.lastRow && other.firstRow <= area.lastRow
            && area.firstCol <= other.lastCol && other.firstCol <= area.lastCol)
            return false;
    }
    m_merges.push_back(area);
    return true;
}

Range Worksheet::range(int firstRow, int firstCol, int lastRow, int lastCol)
{
    checkPosition(firstRow, firstCol);
    checkPosition(lastRow, lastCol);
    return Range(this, quint16(firstRow), quint16(firstCol), quint16(lastRow), quint16(lastCol));
}

void Worksheet::makeActive()
{
    m_workbook->setActiveSheet(this);
}

void Worksheet::collectFormats(std::vector<bool>& used, quint32& textCells) const
{
    for (const Row& row : m_rows) {
        if (row.hasFormat)
            used[row.xf] = true;
        for (const CellData& cell : row.cells) {
            used[cell.xf] = true;
            textCells += cell.kind == Kind::Text;
        }
    }
    for (const auto& [col, column] : m_columns) {
        if (column.hasFormat)
            used[column.xf] = true;
    }
}

void Worksheet::write(RecordWriter& out, const std::vector<quint16>& xfRecords, bool active) const
{
    out.bof(RecordWriter::SheetStream);

    for (const auto& [col, column] : m_columns) {
        out.begin(ColInfoRecord);
        out.u16(col);
        out.u16(col);
        out.u16(column.width);
        out.u16(column.hasFormat ? xfRecords[column.xf] : DefaultCellXf);
        out.u16(0);
        out.u16(0);
        out.end();
    }

    // The used area: readers size their cell table from it.
    quint32 firstRow = 0, lastRow = 0;
    quint16 firstCol = 0, lastCol = 0;
    bool any = false;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        const auto& cells = m_rows[r].cells;
        if (cells.empty())
            continue;
        if (!any) {
            firstRow = quint32(r);
            firstCol = cells.front().col;
            lastCol = cells.back().col;
            any = true;
        }
        lastRow = quint32(r);
        firstCol = qMin(firstCol, cells.front().col);
        lastCol = qMax(lastCol, cells.back().col);
    }
    out.begin(DimensionsRecord);
    out.u32(firstRow);
    out.u32(any ? lastRow + 1 : 0);
    out.u16(firstCol);
    out.u16(any ? lastCol + 1 : 0);
    out.u16(0);
    out.end();

    for (int first = 0; first < int(m_rows.size()); first += RowsPerBlock)
        writeRowBlock(out, xfRecords, first, qMin(first + RowsPerBlock, int(m_rows.size())));

    out.begin(Window2Record);
    out.u16(WindowOptions | (active ? WindowActive : 0));
    out.u16(0); // top row shown
    out.u16(0); // left column shown
    out.u16(0x0040);
    out.u16(0);
    out.u16(0);
    out.u16(0);
    out.u32(0);
    out.end();

    for (size_t first = 0; first < m_merges.size(); first += MergesPerRecord) {
        const size_t count = qMin(m_merges.size() - first, size_t(MergesPerRecord));
        out.begin(MergeCellsRecord);
        out.u16(quint16(count));
        for (size_t i = first; i < first + count; ++i) {
            out.u16(m_merges[i].firstRow);
            out.u16(m_merges[i].lastRow);
            out.u16(m_merges[i].firstCol);
            out.u16(m_merges[i].lastCol);
        }
        out.end();
    }

    out.eof();
}

void Worksheet::writeRowBlock(
    RecordWriter& out, const std::vector<quint16>& xfRecords, int first, int last) const
{
    for (int r = first; r < last; ++r) {
        const Row& row = m_rows[size_t(r)];
        if (row.cells.empty() && !row.hasHeight && !row.hasFormat)
            continue;
        char* p = out.grow(20);
        qToLittleEndian<quint16>(RowRecord, p);
        qToLittleEndian<quint16>(16, p + 2);
        qToLittleEndian<quint16>(quint16(r), p + 4);
        qToLittleEndian<quint16>(row.cells.empty() ? 0 : row.cells.front().col, p + 6);
        qToLittleEndian<quint16>(row.cells.empty() ? 0 : row.cells.back().col + 1, p + 8);
        qToLittleEndian<quint16>(row.hasHeight ? row.height : DefaultRowHeight, p + 10);
        qToLittleEndian<quint32>(0, p + 12);
        // Always-set bit, height set by hand, row formatted.
        const quint16 options
            = quint16(0x0100 | (row.hasHeight ? 0x0040 : 0) | (row.hasFormat ? 0x0080 : 0));
        qToLittleEndian<quint16>(options, p + 16);
        qToLittleEndian<quint16>(row.hasFormat ? xfRecords[row.xf] : DefaultCellXf, p + 18);
    }
    for (int r = first; r < last; ++r) {
        for (const CellData& cell : m_rows[size_t(r)].cells) {
            char* p;
            switch (cell.kind) {
            case Kind::Text:
                p = out.grow(14);
                qToLittleEndian<quint16>(LabelSstRecord, p);
                qToLittleEndian<quint16>(10, p + 2);
                qToLittleEndian<quint32>(cell.text, p + 10);
                break;
            case Kind::Number:
                p = out.grow(18);
                qToLittleEndian<quint16>(NumberRecord, p);
                qToLittleEndian<quint16>(14, p + 2);
                qToLittleEndian<quint64>(std::bit_cast<quint64>(cell.number), p + 10);
                break;
            case Kind::Blank:
            default:
                p = out.grow(10);
                qToLittleEndian<quint16>(BlankRecord, p);
                qToLittleEndian<quint16>(6, p + 2);
                break;
            }
            qToLittleEndian<quint16>(quint16(r), p + 4);
            qToLittleEndian<quint16>(cell.col, p + 6);
            qToLittleEndian<quint16>(xfRecords[cell.xf], p + 8);
        }
    }
}

} // namespace platform::xls
