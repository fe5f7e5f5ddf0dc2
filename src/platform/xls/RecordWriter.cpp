#include "platform/xls/RecordWriter.h"

#include <bit>

namespace platform::xls {

RecordWriter::RecordWriter(qsizetype reserve)
{
    if (reserve > 0)
        m_data.resize(reserve);
}

void RecordWriter::begin(quint16 type)
{
    m_recordStart = m_size;
    char* header = grow(4);
    qToLittleEndian(type, header);
    qToLittleEndian(quint16(0), header + 2);
}

void RecordWriter::end()
{
    const qsizetype length = recordLength();
    Q_ASSERT(length >= 0 && length <= MaxRecordData);
    qToLittleEndian(quint16(length), m_data.data() + m_recordStart + 2);
}

void RecordWriter::f64(double value)
{
    qToLittleEndian(std::bit_cast<quint64>(value), grow(8));
}

bool RecordWriter::fitsInBytes(const QChar* text, qsizetype count)
{
    const auto* units = reinterpret_cast<const char16_t*>(text);
    char16_t high = 0;
    for (qsizetype i = 0; i < count; ++i)
        high |= units[i];
    return high < 0x100;
}

void RecordWriter::characters(const QChar* text, qsizetype count, bool compressed)
{
    const auto* units = reinterpret_cast<const char16_t*>(text);
    if (compressed) {
        char* out = grow(count);
        for (qsizetype i = 0; i < count; ++i)
            out[i] = char(units[i]);
    } else {
        char* out = grow(count * 2);
        if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
            std::memcpy(out, units, size_t(count) * 2);
        } else {
            for (qsizetype i = 0; i < count; ++i)
                qToLittleEndian(quint16(units[i]), out + 2 * i);
        }
    }
}

void RecordWriter::shortString(const QString& text)
{
    const qsizetype count = qMin<qsizetype>(text.size(), 255);
    const bool compressed = fitsInBytes(text.constData(), count);
    u8(quint8(count));
    u8(compressed ? 0 : 1);
    characters(text.constData(), count, compressed);
}

void RecordWriter::longString(const QString& text)
{
    const qsizetype count = qMin<qsizetype>(text.size(), 65535);
    const bool compressed = fitsInBytes(text.constData(), count);
    u16(quint16(count));
    u8(compressed ? 0 : 1);
    characters(text.constData(), count, compressed);
}

void RecordWriter::bof(quint16 kind)
{
    begin(0x0809);
    u16(0x0600); // BIFF8
    u16(kind);
    u16(0x0DBB); // build and year of the application that wrote the file
    u16(0x07CC);
    u32(0); // file history
    u32(0x0006); // lowest version that reads every record
    end();
}

void RecordWriter::eof()
{
    begin(0x000A);
    end();
}

void RecordWriter::patchU32(qsizetype offset, quint32 value)
{
    qToLittleEndian(value, m_data.data() + offset);
}

void RecordWriter::padTo(qsizetype length)
{
    if (m_size < length)
        zeros(length - m_size);
}

QByteArray RecordWriter::take()
{
    m_data.resize(m_size);
    m_size = 0;
    m_recordStart = 0;
    return std::exchange(m_data, {});
}

void RecordWriter::reallocate(qsizetype needed)
{
    m_data.resize(qMax(needed, qMax<qsizetype>(4096, m_data.size() * 2)));
}

} // namespace platform::xls
