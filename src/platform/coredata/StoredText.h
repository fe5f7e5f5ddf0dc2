#pragma once

#include <QByteArray>
#include <QString>
#include <QUuid>
#include <QVariant>

#include <array>
#include <optional>

namespace platform::coredata {

// A text read from the store may be held in a smaller form than a QString until someone
// reads it as text: a table's row texts are most of what it holds, and UTF-16 would
// double them; every row's id is a text of its own. A long text stays in its stored UTF-8
// bytes (a QByteArray in the value), an id made as the application makes them (an
// upper-case UUID) in its 16 bytes (a QUuid, inside the value). Readers of the values
// (value(), values(), comparisons, change logs) see the text; the model's row reader
// takes the bytes as they are.
namespace StoredText {

// Texts from this many bytes on are kept as bytes; shorter ones (ids, names) are shared
// texts, as often the same one for many rows.
constexpr qsizetype LongTextBytes = 256;
// An id's text: 8-4-4-4-12 upper-case hexadecimal digits.
constexpr qsizetype IdBytes = 36;

inline bool isBytes(const QVariant& value)
{
    return value.metaType().id() == QMetaType::QByteArray;
}

inline bool isId(const QVariant& value)
{
    return value.metaType().id() == QMetaType::QUuid;
}

// Held in a form other than the text it reads as.
inline bool isHeld(const QVariant& value)
{
    return isBytes(value) || isId(value);
}

// The text of an id held as a QUuid: exactly the text it was read from.
inline QString idText(const QUuid& id)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    const uchar bytes[16] = { uchar(id.data1 >> 24), uchar(id.data1 >> 16), uchar(id.data1 >> 8),
        uchar(id.data1), uchar(id.data2 >> 8), uchar(id.data2), uchar(id.data3 >> 8),
        uchar(id.data3), id.data4[0], id.data4[1], id.data4[2], id.data4[3], id.data4[4],
        id.data4[5], id.data4[6], id.data4[7] };
    QString text(IdBytes, Qt::Uninitialized);
    QChar* out = text.data();
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            *out++ = u'-';
        *out++ = QLatin1Char(Digits[bytes[i] >> 4]);
        *out++ = QLatin1Char(Digits[bytes[i] & 0xF]);
    }
    return text;
}

// The value as a reader of the attribute sees it: bytes read as UTF-8 text, an id as its
// text.
inline QVariant readable(const QVariant& value)
{
    if (isBytes(value))
        return QString::fromUtf8(*static_cast<const QByteArray*>(value.constData()));
    if (isId(value))
        return idText(*static_cast<const QUuid*>(value.constData()));
    return value;
}

// The id these bytes spell in the one form idText gives back exactly; nullopt for any
// other text. Read for every row fetched: a table, not a test per character.
inline std::optional<QUuid> idOf(const char* bytes, qsizetype size)
{
    static constexpr auto Hex = [] {
        std::array<signed char, 256> values {};
        values.fill(-1);
        for (int c = '0'; c <= '9'; ++c)
            values[size_t(c)] = static_cast<signed char>(c - '0');
        for (int c = 'A'; c <= 'F'; ++c)
            values[size_t(c)] = static_cast<signed char>(c - 'A' + 10);
        return values;
    }();
    // Where each byte's two digits start.
    static constexpr std::array<qsizetype, 16> Digits { 0, 2, 4, 6, 9, 11, 14, 16, 19, 21, 24, 26,
        28, 30, 32, 34 };
    if (size != IdBytes || bytes[8] != '-' || bytes[13] != '-' || bytes[18] != '-'
        || bytes[23] != '-')
        return std::nullopt;
    uchar raw[16];
    int invalid = 0;
    for (size_t i = 0; i < Digits.size(); ++i) {
        const int high = Hex[static_cast<uchar>(bytes[Digits[i]])];
        const int low = Hex[static_cast<uchar>(bytes[Digits[i] + 1])];
        invalid |= high | low;
        raw[i] = uchar((high & 0xF) << 4 | (low & 0xF));
    }
    if (invalid < 0)
        return std::nullopt;
    return QUuid(uint(raw[0]) << 24 | uint(raw[1]) << 16 | uint(raw[2]) << 8 | raw[3],
        ushort(raw[4] << 8 | raw[5]), ushort(raw[6] << 8 | raw[7]), raw[8], raw[9], raw[10],
        raw[11], raw[12], raw[13], raw[14], raw[15]);
}

// What a text attribute holds for these UTF-8 bytes: the bytes when they are long and read
// back exactly as they are, else the text.
inline QVariant held(const QByteArray& utf8)
{
    if (utf8.size() >= LongTextBytes && utf8.isValidUtf8())
        return utf8;
    return QString::fromUtf8(utf8);
}

} // namespace StoredText

} // namespace platform::coredata
