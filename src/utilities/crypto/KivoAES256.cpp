#include "utilities/crypto/KivoAES256.h"

#include "utilities/crypto/KivoBase64.h"
#include "utilities/crypto/KivoCryptorEngine.h"
#include "utilities/text/KivoUtf8.h"

namespace KivoAES256 {

namespace {

constexpr qsizetype kKeySize = 32;
constexpr qsizetype kBlockSize = 16;

// The key text's UTF-8 bytes, zero-padded to 32; nullopt when they do not fit.
std::optional<QByteArray> keyBytes(const QString& key)
{
    QByteArray bytes = key.toUtf8();
    // A C string stops at its first zero byte.
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    if (bytes.size() > kKeySize)
        return std::nullopt;
    bytes.append(QByteArray(kKeySize - bytes.size(), '\0'));
    return bytes;
}

std::optional<QByteArray> run(
    KivoCryptorEngine::Operation operation, const QByteArray& data, const QString& key)
{
    auto keyData = keyBytes(key);
    if (!keyData)
        return std::nullopt;
    KivoCryptorSettings settings = KivoCryptorAES256Settings;
    settings.cipherOptions = KivoCryptorOptionPKCS7Padding;
    auto engine = KivoCryptorEngine::initWithOperation(
        operation, settings, *keyData, QByteArray(kBlockSize, '\0'), nullptr);
    keyData->fill('\0');
    if (!engine)
        return std::nullopt;
    QByteArray out;
    out.reserve(data.size() + kBlockSize);
    if (!engine->addData(data, out, nullptr) || !engine->finishWithError(out, nullptr))
        return std::nullopt;
    return out;
}

} // namespace

std::optional<QByteArray> AES256EncryptWithKey(const QByteArray& data, const QString& key)
{
    return run(KivoCryptorEngine::Encrypt, data, key);
}

std::optional<QByteArray> AES256DecryptWithKey(const QByteArray& data, const QString& key)
{
    return run(KivoCryptorEngine::Decrypt, data, key);
}

std::optional<QString> AES256EncryptWithKey(const QString& text, const QString& key)
{
    const auto encrypted = AES256EncryptWithKey(text.toUtf8(), key);
    if (!encrypted)
        return std::nullopt;
    return KivoBase64::base64EncodedStringWithWrapWidth(*encrypted, 0);
}

std::optional<QString> AES256DecryptWithKey(const QString& text, const QString& key)
{
    const auto data = KivoBase64::dataWithBase64EncodedString(text);
    const auto decrypted = data ? AES256DecryptWithKey(*data, key) : std::nullopt;
    if (!decrypted)
        return QString(QLatin1String(""));
    return KivoUtf8::stringWithUTF8Data(*decrypted);
}

} // namespace KivoAES256
