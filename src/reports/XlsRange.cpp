#include "reports/XlsRange.h"

XlsRange::XlsRange(const platform::xls::Range& range)
    : aRange(range)
{
}

void XlsRange::cellColor(int color)
{
    if (color >= 0 && color <= 0xFF)
        aRange.cellcolor(quint8(color));
}
