#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// AES-256 in CBC mode with PKCS7 padding and a zero IV, keyed by the key text's UTF-8 bytes
// padded with zeros to 32. Row texts of protected tables are stored this way.
namespace KivoAES256 {

// nullopt when the cipher fails (a wrong key usually fails the padding check) or when the
// key text needs more than 32 UTF-8 bytes.
[[nodiscard]] std::optional<QByteArray> AES256EncryptWithKey(
    const QByteArray& data, const QString& key);
[[nodiscard]] std::optional<QByteArray> AES256DecryptWithKey(
    const QByteArray& data, const QString& key);

// The text's UTF-8 bytes encrypted, as one line of Base64.
[[nodiscard]] std::optional<QString> AES256EncryptWithKey(const QString& text, const QString& key);
// Base64 text decoded, decrypted and read as UTF-8: empty text when it does not decrypt,
// nullopt when the bytes are not UTF-8.
[[nodiscard]] std::optional<QString> AES256DecryptWithKey(const QString& text, const QString& key);

} // namespace KivoAES256
