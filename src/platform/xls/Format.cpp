#include "platform/xls/Format.h"

namespace platform::xls {

namespace {
// A format record's text holds at most 255 characters.
constexpr int MaxFormatLength = 255;
} // namespace

Format::Format(const QString& text)
    : m_text(text.left(MaxFormatLength))
{
}

} // namespace platform::xls
