#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Base64 of bytes and of texts (their UTF-8 bytes). Decoding is lenient: every character
// outside the alphabet, "=" included, is skipped wherever it stands.
namespace KivoBase64 {

// nullopt when no bytes decode.
[[nodiscard]] std::optional<QByteArray> dataWithBase64EncodedString(const QString& text);
// The same for the UTF-8 bytes of a text, decoded as the text would be.
[[nodiscard]] std::optional<QByteArray> dataWithBase64EncodedUtf8(QByteArrayView utf8);
// Lines of `width` rounded down to a multiple of 4, joined by CR LF; width below 4 never
// breaks. nullopt for empty data.
[[nodiscard]] std::optional<QString> base64EncodedStringWithWrapWidth(
    const QByteArray& data, qsizetype width);
[[nodiscard]] std::optional<QString> base64EncodedString(const QByteArray& data);

// The decoded bytes read as UTF-8; nullopt when nothing decodes or the bytes are not UTF-8.
[[nodiscard]] std::optional<QString> stringWithBase64EncodedString(const QString& text);
[[nodiscard]] std::optional<QString> base64EncodedStringWithWrapWidth(
    const QString& text, qsizetype width);
[[nodiscard]] std::optional<QString> base64EncodedString(const QString& text);
[[nodiscard]] std::optional<QString> base64DecodedString(const QString& text);
[[nodiscard]] std::optional<QByteArray> base64DecodedData(const QString& text);

} // namespace KivoBase64
