#include "utilities/crypto/KivoAES256.h"

#include "utilities/crypto/KivoBase64.h"
#include "utilities/crypto/KivoCryptorEngine.h"
#include "utilities/text/KivoUtf8.h"

#include <array>
#include <memory>

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

// The engine of a thread's last key for one direction: a table's rows are read one
// after another with one key, and setting a key up costs about as much as a row.
struct ThreadEngine {
    QString key;
    std::unique_ptr<KivoCryptorEngine> engine;

    ~ThreadEngine() { forget(); }
    void forget()
    {
        engine.reset();
        key.fill(QChar(0));
        key.clear();
    }
};

ThreadEngine& threadEngine(KivoCryptorEngine::Operation operation)
{
    thread_local std::array<ThreadEngine, 2> engines;
    return engines[operation == KivoCryptorEngine::Encrypt ? 0 : 1];
}

std::optional<QByteArray> run(
    KivoCryptorEngine::Operation operation, const QByteArray& data, const QString& key)
{
    const QByteArray zeroIV(kBlockSize, '\0');
    ThreadEngine& kept = threadEngine(operation);
    if (!kept.engine || kept.key != key || !kept.engine->restart(zeroIV)) {
        kept.forget();
        auto keyData = keyBytes(key);
        if (!keyData)
            return std::nullopt;
        KivoCryptorSettings settings = KivoCryptorAES256Settings;
        settings.cipherOptions = KivoCryptorOptionPKCS7Padding;
        kept.engine
            = KivoCryptorEngine::initWithOperation(operation, settings, *keyData, zeroIV, nullptr);
        keyData->fill('\0');
        if (!kept.engine)
            return std::nullopt;
        kept.key = key;
    }
    QByteArray out;
    out.reserve(data.size() + kBlockSize);
    if (!kept.engine->addData(data, out, nullptr) || !kept.engine->finishWithError(out, nullptr)) {
        // A failed message leaves the context midway: the next one sets up afresh.
        kept.forget();
        return std::nullopt;
    }
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
