#include "utilities/crypto/KivoCryptor.h"

#include "platform/Exception.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cerrno>
#include <climits>
#include <future>
#include <system_error>

namespace {

const char kInvalidParameter[] = "Invalid parameter not satisfying: %1";
const char kKeyDerivationFailed[] = "Unable to create AES key for password: %1";
const char kRandomFailed[] = "Unable to generate random bytes: %1";

[[noreturn]] void internalFailure(const QString& reason)
{
    throw platform::Exception(platform::Exception::InternalInconsistency, reason);
}

} // namespace

KivoCryptor::KivoCryptor(Handler handler, const QString& queueLabel)
    : m_queue(platform::dispatch::SerialQueue::create(queueLabel))
    , m_handler(std::move(handler))
{
    requireParameter(bool(m_handler), "handler");
    // Output goes back to whoever made the cryptor: its serial queue, the main queue, or,
    // from a pool thread, straight from the work queue.
    if (auto* current = platform::dispatch::SerialQueue::current())
        m_responseQueue = current->shared_from_this();
    else
        m_responseOnMain = platform::dispatch::isMainThread();
}

KivoCryptor::~KivoCryptor() = default;

void KivoCryptor::requireParameter(bool condition, const char* description)
{
    if (!condition)
        internalFailure(QString::fromLatin1(kInvalidParameter).arg(QLatin1String(description)));
}

void KivoCryptor::addData(const QByteArray&)
{
}

void KivoCryptor::finish()
{
}

platform::Error KivoCryptor::error() const
{
    std::lock_guard lock(m_errorMutex);
    return m_error;
}

void KivoCryptor::setResponseQueue(std::shared_ptr<platform::dispatch::SerialQueue> queue)
{
    m_responseQueue = std::move(queue);
    m_responseOnMain = !m_responseQueue;
}

bool KivoCryptor::markFinishRequested()
{
    return !m_finishRequested.exchange(true);
}

void KivoCryptor::perform(platform::dispatch::Block block)
{
    if (m_synchronous)
        block();
    else
        m_queue->async(std::move(block));
}

void KivoCryptor::callHandler(const QByteArray& data)
{
    auto call = [this, &data] {
        if (m_handler)
            m_handler(*this, data);
    };
    if (m_synchronous)
        call();
    else if (m_responseQueue)
        m_responseQueue->sync(call); // runs at once when already on that queue
    else if (m_responseOnMain)
        platform::dispatch::syncMain(call);
    else
        call();
}

void KivoCryptor::deliverOutData()
{
    callHandler(m_outData);
    m_outData.clear();
}

void KivoCryptor::cleanupAndNotifyWithError(const platform::Error& error)
{
    if (m_finished.load())
        return;
    {
        std::lock_guard lock(m_errorMutex);
        m_error = error;
    }
    m_finishRequested = true;
    m_finished = true;
    callHandler(m_outData);
    m_outData.clear();
    m_handler = nullptr;
}

std::optional<QByteArray> KivoCryptor::synchronousResultForCryptor(
    const std::shared_ptr<KivoCryptor>& cryptor, const QByteArray& data, platform::Error* error)
{
    requireParameter(bool(cryptor), "cryptor");
    // The caller waits anyway, so the cryptor runs on the caller's thread: a run started
    // from a pool thread then never waits for another pool thread to come free.
    QByteArray result;
    platform::Error kept;
    cryptor->m_synchronous = true;
    cryptor->m_handler = [&result, &kept](KivoCryptor& c, const QByteArray& piece) {
        result.append(piece);
        if (c.isFinished())
            kept = c.error();
    };
    cryptor->addData(data);
    cryptor->finish();
    if (!cryptor->isFinished())
        kept = KivoCryptorEngine::errorForStatus(KivoCryptorEngine::ParamError);
    if (kept) {
        if (error)
            *error = kept;
        return std::nullopt;
    }
    if (error)
        *error = platform::Error();
    return result;
}

QByteArray KivoCryptor::keyForPassword(const QString& password, const QByteArray& salt,
    const KivoCryptorKeyDerivationSettings& settings)
{
    QByteArray passwordBytes = password.toUtf8();
    passwordBytes.truncate(password.size());
    QByteArray key(qsizetype(settings.keySize), '\0');
    int status = KivoCryptorEngine::ParamError;
    if (settings.derivationAlgorithm == KivoCryptorDerivationPBKDF2
        && settings.pseudoRandomFunction == KivoCryptorPRFHmacSHA1 && settings.keySize > 0
        && settings.keySize <= INT_MAX && settings.rounds > 0 && settings.rounds <= INT_MAX) {
        if (PKCS5_PBKDF2_HMAC(passwordBytes.constData(), int(passwordBytes.size()),
                reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()),
                int(settings.rounds), EVP_sha1(), int(key.size()),
                reinterpret_cast<unsigned char*>(key.data()))
            == 1)
            status = KivoCryptorEngine::Success;
    }
    // The password's bytes are not kept longer than needed.
    passwordBytes.fill('\0');
    if (status != KivoCryptorEngine::Success)
        internalFailure(QString::fromLatin1(kKeyDerivationFailed).arg(status));
    return key;
}

std::pair<QByteArray, QByteArray> KivoCryptor::keysForPassword(const QString& password,
    const QByteArray& encryptionSalt, const KivoCryptorKeyDerivationSettings& encryption,
    const QByteArray& HMACSalt, const KivoCryptorKeyDerivationSettings& HMAC)
{
    // Each derivation takes thousands of rounds: the two run side by side.
    std::future<QByteArray> HMACKey;
    try {
        HMACKey = std::async(std::launch::async,
            [&password, &HMACSalt, &HMAC] { return keyForPassword(password, HMACSalt, HMAC); });
    } catch (const std::system_error&) {
        QByteArray encryptionKey = keyForPassword(password, encryptionSalt, encryption);
        return { encryptionKey, keyForPassword(password, HMACSalt, HMAC) };
    }
    QByteArray encryptionKey;
    try {
        encryptionKey = keyForPassword(password, encryptionSalt, encryption);
    } catch (...) {
        HMACKey.wait();
        throw;
    }
    return { encryptionKey, HMACKey.get() };
}

QByteArray KivoCryptor::randomDataOfLength(qsizetype length)
{
    QByteArray data(length, Qt::Uninitialized);
    if (length > 0 && RAND_bytes(reinterpret_cast<unsigned char*>(data.data()), int(length)) != 1)
        internalFailure(QString::fromLatin1(kRandomFailed).arg(errno));
    return data;
}
