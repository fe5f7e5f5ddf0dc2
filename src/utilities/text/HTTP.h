#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// Percent-encoding of texts for URLs, and splitting of web addresses.
class HTTP {
public:
    // Every UTF-8 byte of a character outside letters, digits and "-._~'" as %XX (upper case).
    static QString urlEncodedString(const QString& text);
    // Percent escapes replaced; nullopt when the bytes are not UTF-8.
    [[nodiscard]] static std::optional<QString> urlDecodedString(const QString& text);
    // "protocol", "user", "password", "host", "port", "path" of an http(s) address, each
    // where present; empty when the text holds no such address.
    static QVariantMap SplitURL(const QString& text);
};
