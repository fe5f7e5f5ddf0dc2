#include "reports/XlsFormat.h"

XlsFormat::XlsFormat(platform::xls::Format* format)
    : aFormat(format)
{
}
