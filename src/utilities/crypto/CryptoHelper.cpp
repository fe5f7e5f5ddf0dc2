#include "utilities/crypto/CryptoHelper.h"

#include "utilities/crypto/KivoDecryptor.h"
#include "utilities/crypto/KivoEncryptor.h"
#include "utilities/text/KivoUtf8.h"

namespace {

// Protects texts the application stores for itself, such as the bridge server password.
const char kBuiltInPassword[] = "Wq7LtVr2mKx9PbZ";

} // namespace

std::optional<QString> CryptoHelper::encrypt(const QString& text, const QString& secret)
{
    if (secret.isNull())
        return std::nullopt;
    return KivoEncryptor::encryptString(text.toUtf8(), KivoCryptorAES256Settings, secret, nullptr);
}

std::optional<QString> CryptoHelper::decrypt(const QString& text, const QString& secret)
{
    if (secret.isNull())
        return std::nullopt;
    const auto plaintext = KivoDecryptor::decryptString(text, secret, nullptr);
    if (!plaintext)
        return std::nullopt;
    return KivoUtf8::stringWithUTF8Data(*plaintext);
}

std::optional<QString> CryptoHelper::encrypt(const QString& text)
{
    return encrypt(text, QString::fromLatin1(kBuiltInPassword));
}

std::optional<QString> CryptoHelper::decrypt(const QString& text)
{
    return decrypt(text, QString::fromLatin1(kBuiltInPassword));
}
