#pragma once

#include "platform/xls/Format.h"

// A custom number format of a workbook (owned by the workbook), for
// XlsExtendedFormat::setFormat.
class XlsFormat {
public:
    explicit XlsFormat(platform::xls::Format* format);

    platform::xls::Format* format() const { return aFormat; }

private:
    platform::xls::Format* aFormat;
};
