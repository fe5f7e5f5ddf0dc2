#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <cstring>

namespace platform::xls {

// Builds a BIFF stream: records of a 2-byte type, a 2-byte length and at most
// MaxRecordData bytes of little-endian data.
class RecordWriter {
public:
    static constexpr qsizetype MaxRecordData = 8224;

    explicit RecordWriter(qsizetype reserve = 0);

    // Offset of the next byte in the stream.
    qsizetype size() const { return m_size; }

    // Starts a record; end() fills in its length.
    void begin(quint16 type);
    void end();
    // Bytes written into the open record so far.
    qsizetype recordLength() const { return m_size - m_recordStart - 4; }
    qsizetype recordStart() const { return m_recordStart; }

    void u8(quint8 value) { *grow(1) = char(value); }
    void u16(quint16 value) { qToLittleEndian(value, grow(2)); }
    void u32(quint32 value) { qToLittleEndian(value, grow(4)); }
    void f64(double value);
    void bytes(const char* data, qsizetype length)
    {
        std::memcpy(grow(length), data, size_t(length));
    }
    void zeros(qsizetype count) { std::memset(grow(count), 0, size_t(count)); }
    // Characters of a text, one byte each when `compressed`, else UTF-16.
    void characters(const QChar* text, qsizetype count, bool compressed);

    // A text with a 1-byte (short) or 2-byte length, an option byte and its characters.
    void shortString(const QString& text);
    void longString(const QString& text);

    // The records that open and close a substream (the globals or one sheet).
    static constexpr quint16 GlobalsStream = 0x0005;
    static constexpr quint16 SheetStream = 0x0010;
    void bof(quint16 kind);
    void eof();

    void patchU32(qsizetype offset, quint32 value);

    // Room for `count` more bytes, returned for the caller to fill.
    char* grow(qsizetype count)
    {
        if (m_size + count > m_data.size())
            reallocate(m_size + count);
        char* out = m_data.data() + m_size;
        m_size += count;
        return out;
    }

    // Pads the stream with zeros to at least `length` bytes.
    void padTo(qsizetype length);

    // The stream; the writer is empty afterwards.
    QByteArray take();

    // Whether every character of the text fits in one byte.
    static bool fitsInBytes(const QChar* text, qsizetype count);

private:
    void reallocate(qsizetype needed);

    QByteArray m_data;
    qsizetype m_size = 0;
    qsizetype m_recordStart = 0;
};

} // namespace platform::xls
