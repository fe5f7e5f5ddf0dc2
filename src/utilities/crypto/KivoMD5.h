#pragma once

#include <QByteArray>
#include <QString>

namespace KivoMD5 {

// The MD5 digest of the text's UTF-8 bytes (up to a first zero byte), as 32 lower-case
// hexadecimal digits.
QString MD5(const QString& text);

// The raw 16-byte digest of the bytes.
QByteArray digest(const QByteArray& data);

} // namespace KivoMD5
