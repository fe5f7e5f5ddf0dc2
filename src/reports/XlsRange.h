#pragma once

#include "platform/xls/Range.h"

// A rectangle of cells of one sheet.
class XlsRange {
public:
    explicit XlsRange(const platform::xls::Range& range);

    const platform::xls::Range& range() const { return aRange; }

    // Fills the range with a solid colour (a palette colour code).
    void cellColor(int color);

private:
    platform::xls::Range aRange;
};
