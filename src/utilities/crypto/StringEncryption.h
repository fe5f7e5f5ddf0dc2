#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// The bridge login's password re-encryption, a raw AES-128 routine and a digest.
class StringEncryption {
public:
    // CryptoHelper::encrypt with the key's first 16 characters as the password.
    [[nodiscard]] static std::optional<QString> EncryptString(
        const QString& text, const QString& key);
    // Raw AES-128 decryption of the text's own UTF-8 bytes under the key's first 16
    // characters; not the inverse of EncryptString.
    [[nodiscard]] static std::optional<QString> DecryptString(
        const QString& text, const QString& key);

    // `padding` holds cipher options (1 PKCS7, 2 ECB); encryption sets it to PKCS7 or none
    // by the input length, unless it asks for ECB.
    [[nodiscard]] std::optional<QByteArray> encrypt(
        const QByteArray& data, const QByteArray& key, uint32_t* padding);
    [[nodiscard]] std::optional<QByteArray> decrypt(
        const QByteArray& data, const QByteArray& key, uint32_t* padding);
    // Operation 0 encrypts, 1 decrypts; AES-128 with the key's first 16 bytes, zero IV.
    [[nodiscard]] std::optional<QByteArray> doCipher(
        const QByteArray& data, const QByteArray& key, int context, uint32_t* padding);
    // The MD5 digest as 32 upper-case hexadecimal digits, as bytes.
    QByteArray md5data(const QString& text);
};
