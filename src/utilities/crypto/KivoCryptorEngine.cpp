#include "utilities/crypto/KivoCryptorEngine.h"

#include <openssl/evp.h>

#include <array>
#include <climits>

namespace {

// Fetched once and kept for the life of the process: looking a cipher up again for every
// row text costs more than encrypting the row.
const EVP_CIPHER* cipherFor(qsizetype keyLength, bool ecb)
{
    static const std::array<EVP_CIPHER*, 6> ciphers = [] {
        const char* names[] = { "AES-128-CBC", "AES-192-CBC", "AES-256-CBC", "AES-128-ECB",
            "AES-192-ECB", "AES-256-ECB" };
        std::array<EVP_CIPHER*, 6> fetched {};
        for (size_t i = 0; i < fetched.size(); ++i)
            fetched[i] = EVP_CIPHER_fetch(nullptr, names[i], nullptr);
        return fetched;
    }();
    const int size = keyLength == 16 ? 0 : keyLength == 24 ? 1 : keyLength == 32 ? 2 : -1;
    if (size < 0)
        return nullptr;
    return ciphers[size_t(size + (ecb ? 3 : 0))];
}

constexpr int kAESBlockSize = 16;

} // namespace

platform::Error KivoCryptorEngine::errorForStatus(Status status)
{
    return platform::Error(QString::fromLatin1(KivoCryptorErrorDomain), status);
}

std::unique_ptr<KivoCryptorEngine> KivoCryptorEngine::initWithOperation(Operation operation,
    const KivoCryptorSettings& settings, const QByteArray& key, const QByteArray& IV,
    platform::Error* error)
{
    auto fail = [error](Status status) {
        if (error)
            *error = errorForStatus(status);
        return std::unique_ptr<KivoCryptorEngine>();
    };
    if (settings.cipherAlgorithm != KivoCryptorAlgorithmAES
        || (settings.cipherOptions & ~(KivoCryptorOptionPKCS7Padding | KivoCryptorOptionECBMode)))
        return fail(Unimplemented);
    const bool ecb = settings.cipherOptions & KivoCryptorOptionECBMode;
    const EVP_CIPHER* cipher = cipherFor(key.size(), ecb);
    if (!cipher)
        return fail(KeySizeError);
    if (!ecb && IV.size() != kAESBlockSize)
        return fail(ParamError);
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    if (!context)
        return fail(MemoryFailure);
    if (EVP_CipherInit_ex(context, cipher, nullptr,
            reinterpret_cast<const unsigned char*>(key.constData()),
            ecb ? nullptr : reinterpret_cast<const unsigned char*>(IV.constData()),
            operation == Encrypt ? 1 : 0)
        != 1) {
        EVP_CIPHER_CTX_free(context);
        return fail(ParamError);
    }
    const bool padding = settings.cipherOptions & KivoCryptorOptionPKCS7Padding;
    EVP_CIPHER_CTX_set_padding(context, padding ? 1 : 0);
    std::unique_ptr<KivoCryptorEngine> engine(new KivoCryptorEngine(operation, context));
    engine->m_padding = padding;
    engine->m_ecb = ecb;
    return engine;
}

bool KivoCryptorEngine::restart(const QByteArray& IV)
{
    if (!m_ecb && IV.size() != kAESBlockSize)
        return false;
    // No cipher and no key: the context keeps both and starts over from the IV.
    if (EVP_CipherInit_ex(m_cryptor, nullptr, nullptr, nullptr,
            m_ecb ? nullptr : reinterpret_cast<const unsigned char*>(IV.constData()),
            m_operation == Encrypt ? 1 : 0)
        != 1)
        return false;
    EVP_CIPHER_CTX_set_padding(m_cryptor, m_padding ? 1 : 0);
    m_bytesIn = 0;
    return true;
}

KivoCryptorEngine::KivoCryptorEngine(Operation operation, evp_cipher_ctx_st* context)
    : m_operation(operation)
    , m_cryptor(context)
{
}

KivoCryptorEngine::~KivoCryptorEngine()
{
    EVP_CIPHER_CTX_free(m_cryptor);
}

bool KivoCryptorEngine::addData(QByteArrayView data, QByteArray& output, platform::Error* error)
{
    // The cipher takes int lengths; feed very large pieces in parts.
    constexpr qsizetype kMaxStep = INT_MAX / 2;
    for (qsizetype offset = 0; offset < data.size(); offset += kMaxStep) {
        const qsizetype length = std::min(kMaxStep, data.size() - offset);
        const qsizetype start = output.size();
        output.resize(start + length + kAESBlockSize);
        int produced = 0;
        if (EVP_CipherUpdate(m_cryptor, reinterpret_cast<unsigned char*>(output.data() + start),
                &produced, reinterpret_cast<const unsigned char*>(data.data() + offset),
                int(length))
            != 1) {
            output.resize(start);
            if (error)
                *error = errorForStatus(ParamError);
            return false;
        }
        output.resize(start + produced);
        m_bytesIn += length;
    }
    return true;
}

bool KivoCryptorEngine::finishWithError(QByteArray& output, platform::Error* error)
{
    const qsizetype start = output.size();
    output.resize(start + kAESBlockSize);
    int produced = 0;
    if (EVP_CipherFinal_ex(
            m_cryptor, reinterpret_cast<unsigned char*>(output.data() + start), &produced)
        != 1) {
        output.resize(start);
        if (error) {
            // A decryption that stops inside a block is misaligned; one whose last block
            // does not end in valid padding cannot be decoded (the usual wrong-key case).
            const bool misaligned = m_operation == Decrypt && m_bytesIn % kAESBlockSize != 0;
            const bool unpaddedTail = m_operation == Encrypt && m_bytesIn % kAESBlockSize != 0;
            *error = errorForStatus(misaligned || unpaddedTail ? AlignmentError : DecodeError);
        }
        return false;
    }
    output.resize(start + produced);
    return true;
}
