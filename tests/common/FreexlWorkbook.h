#pragma once

// Reads a workbook back with freexl, an outside reader, cell by cell. Header-only: only
// the test binaries that check workbooks link freexl.

#include <QString>

#include <freexl.h>

#include <vector>

namespace testsupport {

struct FreexlCell {
    int type = FREEXL_CELL_NULL;
    double number = 0;
    QString text;

    bool isNull() const { return type == FREEXL_CELL_NULL; }
    bool isText() const { return type == FREEXL_CELL_TEXT || type == FREEXL_CELL_SST_TEXT; }
    bool isNumber() const { return type == FREEXL_CELL_DOUBLE || type == FREEXL_CELL_INT; }
};

struct FreexlSheet {
    QString name;
    unsigned rows = 0;
    unsigned short columns = 0;
    std::vector<FreexlCell> cells; // row by row

    const FreexlCell& at(unsigned row, unsigned col) const
    {
        static const FreexlCell outside;
        return row < rows && col < columns ? cells[size_t(row) * columns + col] : outside;
    }
};

struct FreexlWorkbook {
    int status = FREEXL_OK; // of the first call that failed
    unsigned biffVersion = 0;
    unsigned codePage = 0;
    unsigned fatCount = 0;
    unsigned stringCount = 0;
    unsigned formatCount = 0;
    unsigned xfCount = 0;
    std::vector<FreexlSheet> sheets;

    bool ok() const { return status == FREEXL_OK; }
};

inline FreexlWorkbook readWithFreexl(const QString& path)
{
    FreexlWorkbook book;
    const void* handle = nullptr;
    book.status = freexl_open(path.toUtf8().constData(), &handle);
    if (book.status != FREEXL_OK) {
        freexl_close(handle);
        return book;
    }
    freexl_get_info(handle, FREEXL_BIFF_VERSION, &book.biffVersion);
    freexl_get_info(handle, FREEXL_BIFF_CODEPAGE, &book.codePage);
    freexl_get_info(handle, FREEXL_CFBF_FAT_COUNT, &book.fatCount);
    freexl_get_info(handle, FREEXL_BIFF_STRING_COUNT, &book.stringCount);
    freexl_get_info(handle, FREEXL_BIFF_FORMAT_COUNT, &book.formatCount);
    freexl_get_info(handle, FREEXL_BIFF_XF_COUNT, &book.xfCount);
    unsigned count = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count);
    for (unsigned s = 0; s < count && book.ok(); ++s) {
        FreexlSheet sheet;
        const char* name = nullptr;
        book.status = freexl_get_worksheet_name(handle, quint16(s), &name);
        if (book.status == FREEXL_OK)
            sheet.name = QString::fromUtf8(name);
        if (book.status == FREEXL_OK)
            book.status = freexl_select_active_worksheet(handle, quint16(s));
        if (book.status == FREEXL_OK)
            book.status = freexl_worksheet_dimensions(handle, &sheet.rows, &sheet.columns);
        sheet.cells.resize(size_t(sheet.rows) * sheet.columns);
        for (unsigned r = 0; r < sheet.rows && book.ok(); ++r) {
            for (unsigned short c = 0; c < sheet.columns && book.ok(); ++c) {
                FreeXL_CellValue value;
                book.status = freexl_get_cell_value(handle, r, c, &value);
                FreexlCell& cell = sheet.cells[size_t(r) * sheet.columns + c];
                cell.type = value.type;
                if (value.type == FREEXL_CELL_INT)
                    cell.number = value.value.int_value;
                else if (value.type == FREEXL_CELL_DOUBLE)
                    cell.number = value.value.double_value;
                else if (value.type != FREEXL_CELL_NULL)
                    cell.text = QString::fromUtf8(value.value.text_value);
            }
        }
        book.sheets.push_back(std::move(sheet));
    }
    freexl_close(handle);
    return book;
}

} // namespace testsupport
