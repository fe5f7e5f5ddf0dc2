#pragma once

#include <QString>

#include <optional>

// Texts encrypted with a password into the version-1 container, kept as one line of Base64.
class CryptoHelper {
public:
    // nullopt when the text cannot be encrypted.
    [[nodiscard]] static std::optional<QString> encrypt(const QString& text, const QString& secret);
    // nullopt for a wrong password, altered or non-container text, or plaintext that is not
    // UTF-8; errors are not reported further.
    [[nodiscard]] static std::optional<QString> decrypt(const QString& text, const QString& secret);
    // The same with the built-in password.
    [[nodiscard]] static std::optional<QString> encrypt(const QString& text);
    [[nodiscard]] static std::optional<QString> decrypt(const QString& text);
};
