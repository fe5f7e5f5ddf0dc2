#include "reports/XlsWorkSheet.h"

#include "platform/xls/Worksheet.h"
#include "reports/XlsExtendedFormat.h"

#include <cmath>
#include <limits>

using namespace platform::xls;

namespace {
ExtendedFormat* formatOf(const XlsExtendedFormat* format)
{
    return format ? format->extFormat() : nullptr;
}

// A coordinate of a rectangle, truncated; one that no sheet holds becomes -1, which the
// sheet refuses.
int toIndex(double value)
{
    if (!(value > -1.0 && value < double(std::numeric_limits<int>::max())))
        return -1;
    return int(value);
}
} // namespace

XlsWorkSheet::XlsWorkSheet(Worksheet* workSheet)
    : aWorkSheet(workSheet)
{
}

void XlsWorkSheet::makeActive()
{
    aWorkSheet->makeActive();
}

std::optional<XlsCell> XlsWorkSheet::cell(int row, int col) const
{
    if (auto found = aWorkSheet->findCell(row, col))
        return XlsCell(*found);
    return std::nullopt;
}

XlsCell XlsWorkSheet::blank(const QString&, int row, int col, const XlsExtendedFormat* format)
{
    return XlsCell(aWorkSheet->blank(row, col, formatOf(format)));
}

XlsCell XlsWorkSheet::label(const QString& text, int row, int col, const XlsExtendedFormat* format)
{
    return XlsCell(aWorkSheet->label(row, col, text, formatOf(format)));
}

XlsCell XlsWorkSheet::cLabel(const char* text, int row, int col, const XlsExtendedFormat* format)
{
    return XlsCell(aWorkSheet->label(row, col, QString::fromLatin1(text), formatOf(format)));
}

XlsCell XlsWorkSheet::number(double value, int row, int col, const XlsExtendedFormat* format)
{
    return XlsCell(aWorkSheet->number(row, col, value, formatOf(format)));
}

XlsCell XlsWorkSheet::number(double value, int row, int col, int numberFormat)
{
    const auto format = numberFormat >= 0 && numberFormat <= 0xFFFF ? NumberFormat(numberFormat)
                                                                    : NumberFormat::General;
    return XlsCell(aWorkSheet->number(row, col, value, format));
}

void XlsWorkSheet::height(quint16 height, int row, const XlsExtendedFormat* format)
{
    aWorkSheet->rowheight(row, height, formatOf(format));
}

void XlsWorkSheet::width(quint16 width, int col, const XlsExtendedFormat* format)
{
    aWorkSheet->colwidth(col, width, formatOf(format));
}

bool XlsWorkSheet::merge(const QRectF& rect)
{
    return aWorkSheet->merge(toIndex(rect.y()), toIndex(rect.x()),
        toIndex(rect.y() + rect.height()), toIndex(rect.x() + rect.width()));
}
