#include "utilities/crypto/StringEncryption.h"

#include "utilities/crypto/CryptoHelper.h"
#include "utilities/crypto/KivoCryptorEngine.h"
#include "utilities/crypto/KivoMD5.h"
#include "utilities/text/KivoString.h"
#include "utilities/text/KivoUtf8.h"

namespace {

constexpr qsizetype kKeyLength = 16;
constexpr qsizetype kBlockSize = 16;
constexpr uint32_t kNoPadding = 0;

} // namespace

std::optional<QString> StringEncryption::EncryptString(const QString& text, const QString& key)
{
    return CryptoHelper::encrypt(text, KivoString::Left(key, kKeyLength));
}

std::optional<QString> StringEncryption::DecryptString(const QString& text, const QString& key)
{
    // Each call starts from PKCS7 padding; no padding value is shared between calls.
    uint32_t padding = KivoCryptorOptionPKCS7Padding;
    StringEncryption encryption;
    const auto plaintext
        = encryption.decrypt(text.toUtf8(), KivoString::Left(key, kKeyLength).toUtf8(), &padding);
    if (!plaintext)
        return std::nullopt;
    return KivoUtf8::stringWithUTF8Data(*plaintext);
}

std::optional<QByteArray> StringEncryption::encrypt(
    const QByteArray& data, const QByteArray& key, uint32_t* padding)
{
    return doCipher(data, key, KivoCryptorEngine::Encrypt, padding);
}

std::optional<QByteArray> StringEncryption::decrypt(
    const QByteArray& data, const QByteArray& key, uint32_t* padding)
{
    return doCipher(data, key, KivoCryptorEngine::Decrypt, padding);
}

std::optional<QByteArray> StringEncryption::doCipher(
    const QByteArray& data, const QByteArray& key, int context, uint32_t* padding)
{
    // Neither the input nor the key is logged.
    if (!padding || key.size() < kKeyLength
        || (context != KivoCryptorEngine::Encrypt && context != KivoCryptorEngine::Decrypt))
        return std::nullopt;
    const auto operation = KivoCryptorEngine::Operation(context);
    if (operation == KivoCryptorEngine::Encrypt && *padding != KivoCryptorOptionECBMode)
        *padding = data.size() % kBlockSize ? KivoCryptorOptionPKCS7Padding : kNoPadding;
    KivoCryptorSettings settings = KivoCryptorAES256Settings;
    settings.cipherOptions = *padding;
    auto engine = KivoCryptorEngine::initWithOperation(
        operation, settings, key.first(kKeyLength), QByteArray(kBlockSize, '\0'), nullptr);
    if (!engine)
        return std::nullopt;
    QByteArray out;
    if (!engine->addData(data, out, nullptr) || !engine->finishWithError(out, nullptr))
        return std::nullopt;
    return out;
}

QByteArray StringEncryption::md5data(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return KivoMD5::digest(bytes).toHex().toUpper();
}
