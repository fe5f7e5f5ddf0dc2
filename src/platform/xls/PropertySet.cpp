#include "platform/xls/PropertySet.h"

#include "platform/xls/RecordWriter.h"

namespace platform::xls {

namespace {
constexpr quint32 CodePageProperty = 1;
constexpr quint16 ShortType = 0x0002;
constexpr quint16 TextType = 0x001E;
constexpr quint16 Utf16CodePage = 1200;
constexpr quint32 SectionOffset = 48;

QByteArray guid(const char (&bytes)[17])
{
    return QByteArray(bytes, 16);
}
} // namespace

PropertySet::PropertySet(QByteArray formatId)
    : m_formatId(std::move(formatId))
{
}

PropertySet PropertySet::summaryInformation()
{
    // F29F85E0-4FF9-1068-AB91-08002B27B3D9
    return PropertySet(guid("\xE0\x85\x9F\xF2\xF9\x4F\x68\x10\xAB\x91\x08\x00\x2B\x27\xB3\xD9"));
}

PropertySet PropertySet::documentSummaryInformation()
{
    // D5CDD502-2E9C-101B-9397-08002B2CF9AE
    return PropertySet(guid("\x02\xD5\xCD\xD5\x9C\x2E\x1B\x10\x93\x97\x08\x00\x2B\x2C\xF9\xAE"));
}

void PropertySet::set(quint32 id, const QString& value)
{
    m_values[id] = value;
}

QByteArray PropertySet::stream() const
{
    // Values first, to learn their offsets within the section.
    const quint32 count = quint32(m_values.size()) + 1;
    const quint32 tableEnd = 8 + count * 8;
    RecordWriter values;
    std::vector<std::pair<quint32, quint32>> offsets;
    offsets.emplace_back(CodePageProperty, tableEnd);
    values.u16(ShortType);
    values.u16(0);
    values.u16(Utf16CodePage);
    values.u16(0);
    for (const auto& [id, text] : m_values) {
        offsets.emplace_back(id, tableEnd + quint32(values.size()));
        values.u16(TextType);
        values.u16(0);
        values.u32(quint32(text.size() + 1) * 2);
        values.characters(text.constData(), text.size(), false);
        values.u16(0);
        values.padTo((values.size() + 3) / 4 * 4);
    }

    RecordWriter out;
    out.u16(0xFFFE);
    out.u16(0);
    out.u32(0x00020006); // written on Windows NT
    out.zeros(16);
    out.u32(1);
    out.bytes(m_formatId.constData(), 16);
    out.u32(SectionOffset);
    out.u32(tableEnd + quint32(values.size()));
    out.u32(count);
    for (const auto& [id, offset] : offsets) {
        out.u32(id);
        out.u32(offset);
    }
    const QByteArray tail = values.take();
    out.bytes(tail.constData(), tail.size());
    return out.take();
}

} // namespace platform::xls
