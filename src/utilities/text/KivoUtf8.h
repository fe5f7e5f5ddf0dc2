#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace KivoUtf8 {

// The bytes read as UTF-8; nullopt when they are not valid UTF-8.
[[nodiscard]] std::optional<QString> stringWithUTF8Data(const QByteArray& data);

} // namespace KivoUtf8
