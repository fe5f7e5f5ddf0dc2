#pragma once

#include "reports/StringEncoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringEncoder>
#include <QStringView>

#include <memory>
#include <optional>

struct UConverter;

// One text encoding, through ICU's converters, used in one direction: decoding a byte
// stream piece by piece, or encoding one string after another.
class TextCodec {
public:
    // Null when there is no converter for the encoding.
    static std::unique_ptr<TextCodec> codecForEncoding(StringEncoding encoding);
    ~TextCodec();
    TextCodec(const TextCodec&) = delete;
    TextCodec& operator=(const TextCodec&) = delete;

    // Appends the text of the next bytes of a stream. A character split between two calls
    // waits inside the codec for the rest of its bytes; `last` says no more bytes follow.
    // False once the bytes hold something that is no text in the encoding (a character cut
    // off at the end included): the text before it has been appended, and from then on the
    // codec decodes nothing.
    bool decode(QByteArrayView bytes, QString& text, bool last);

    // Bytes of room `encode` may need for a text of `length` UTF-16 code units.
    qsizetype maxEncodedSize(qsizetype length) const;
    // Writes the text, encoded on its own, to `out`, which has maxEncodedSize bytes of room,
    // less `markToDrop` where the encoding writes that mark in front. The end of what was
    // written, or null when a character has no form in the encoding.
    char* encode(QStringView text, char* out, QByteArrayView markToDrop = {});
    // The same, appended to `out`; false, with `out` as it was, for a character with no
    // form in the encoding.
    bool encode(QStringView text, QByteArray& out, QByteArrayView markToDrop = {});

    // The name people know the encoding by ("UTF-8", "Mac OS Roman", ...).
    static QString name(StringEncoding encoding);

    // True when the bytes are UTF-8 whose last character may be cut off.
    static bool isUTF8Prefix(QByteArrayView bytes);

private:
    TextCodec(StringEncoding encoding, UConverter* converter);

    StringEncoding m_encoding;
    UConverter* m_converter;
    // UTF-8 is what nearly every export writes: Qt's encoder needs no converter state.
    std::optional<QStringEncoder> m_utf8Encoder;
    bool m_failed = false;
};
