#include "utilities/text/KivoUtf8.h"

#include <QStringDecoder>

namespace KivoUtf8 {

std::optional<QString> stringWithUTF8Data(const QByteArray& data)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(data);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace KivoUtf8
