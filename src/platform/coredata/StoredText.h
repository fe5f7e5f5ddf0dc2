#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace platform::coredata {

// A long text read from the store stays in its stored UTF-8 bytes (a QByteArray in the
// value) until someone reads it as text: a table's row texts are most of what it holds,
// and UTF-16 would double them. Readers of the values (value(), values(), comparisons,
// change logs) see the text; the model's row reader takes the bytes as they are.
namespace StoredText {

// Texts from this many bytes on are kept as bytes; shorter ones (ids, names) are shared
// texts, as often the same one for many rows.
constexpr qsizetype LongTextBytes = 256;

inline bool isBytes(const QVariant& value)
{
    return value.metaType().id() == QMetaType::QByteArray;
}

// The value as a reader of the attribute sees it: bytes read as UTF-8 text.
inline QVariant readable(const QVariant& value)
{
    if (!isBytes(value))
        return value;
    const QByteArray& bytes = *static_cast<const QByteArray*>(value.constData());
    return QString::fromUtf8(bytes);
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
