#pragma once

#include "reports/XlsCell.h"

#include <QRectF>
#include <QString>

#include <optional>

namespace platform::xls {
class Worksheet;
}
class XlsExtendedFormat;

// One sheet of a workbook (owned by the workbook). Rows run from 0 to 65535 and columns
// from 0 to 255; a cell asked for outside raises platform::Exception (a range error)
// rather than landing at a wrapped-around place. A null format is the default one.
class XlsWorkSheet {
public:
    explicit XlsWorkSheet(platform::xls::Worksheet* workSheet);

    void makeActive();
    // The cell written at that place, or none.
    std::optional<XlsCell> cell(int row, int col) const;

    XlsCell blank(
        const QString& unused, int row, int col, const XlsExtendedFormat* format = nullptr);
    // Texts longer than 32767 characters are cut there.
    XlsCell label(const QString& text, int row, int col, const XlsExtendedFormat* format = nullptr);
    // An 8-bit text, each byte one character.
    XlsCell cLabel(const char* text, int row, int col, const XlsExtendedFormat* format = nullptr);
    XlsCell number(double value, int row, int col, const XlsExtendedFormat* format = nullptr);
    // A number shown in one of the built-in number formats.
    XlsCell number(double value, int row, int col, int numberFormat);

    // Height in twentieths of a point; width in 1/256 of a character.
    void height(quint16 height, int row, const XlsExtendedFormat* format);
    void width(quint16 width, int col, const XlsExtendedFormat* format);
    // Merges rows y to y + height and columns x to x + width. False when the area is a
    // single cell or overlaps one merged before.
    bool merge(const QRectF& rect);

private:
    platform::xls::Worksheet* aWorkSheet;
};
