#include "utilities/crypto/KivoMD5.h"

#include <openssl/evp.h>

namespace KivoMD5 {

QByteArray digest(const QByteArray& data)
{
    QByteArray out(EVP_MAX_MD_SIZE, '\0');
    unsigned int length = 0;
    if (EVP_Digest(data.constData(), size_t(data.size()),
            reinterpret_cast<unsigned char*>(out.data()), &length, EVP_md5(), nullptr)
        != 1)
        return {};
    out.truncate(length);
    return out;
}

QString MD5(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return QString::fromLatin1(digest(bytes).toHex());
}

} // namespace KivoMD5
