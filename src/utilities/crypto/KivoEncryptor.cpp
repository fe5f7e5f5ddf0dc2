#include "utilities/crypto/KivoEncryptor.h"

#include "utilities/crypto/KivoBase64.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

const char kEncryptorQueueLabel[] = "net.solvane.KivoEncryptor";
// Big pieces are enciphered a part at a time while another thread feeds the parts already
// made to the HMAC: cipher and HMAC then each run over bytes still in the cache.
constexpr qsizetype kPart = qsizetype(256) << 10;
constexpr qsizetype kCipherBlock = 16;

} // namespace

KivoEncryptor::KivoEncryptor(Handler handler)
    : KivoCryptor(std::move(handler), QString::fromLatin1(kEncryptorQueueLabel))
{
}

KivoEncryptor::~KivoEncryptor() = default;

std::shared_ptr<KivoEncryptor> KivoEncryptor::initWithSettings(
    const KivoCryptorSettings& settings, const QString& password, Handler handler)
{
    requireParameter(!password.isNull(), "aPassword != nil");
    std::shared_ptr<KivoEncryptor> encryptor(new KivoEncryptor(std::move(handler)));
    encryptor->m_encryptionSalt
        = randomDataOfLength(qsizetype(settings.encryptionKeyDerivation.saltSize));
    encryptor->m_HMACSalt = randomDataOfLength(qsizetype(settings.HMACKeyDerivation.saltSize));
    auto [encryptionKey, HMACKey] = keysForPassword(password, encryptor->m_encryptionSalt,
        settings.encryptionKeyDerivation, encryptor->m_HMACSalt, settings.HMACKeyDerivation);
    const bool ready = encryptor->setUp(settings, encryptionKey, HMACKey);
    encryptionKey.fill('\0');
    HMACKey.fill('\0');
    if (!ready)
        return nullptr;
    encryptor->m_options |= kPasswordOption;
    return encryptor;
}

std::shared_ptr<KivoEncryptor> KivoEncryptor::initWithSettings(const KivoCryptorSettings& settings,
    const QByteArray& encryptionKey, const QByteArray& HMACKey, Handler handler)
{
    std::shared_ptr<KivoEncryptor> encryptor(new KivoEncryptor(std::move(handler)));
    if (!encryptor->setUp(settings, encryptionKey, HMACKey))
        return nullptr;
    return encryptor;
}

bool KivoEncryptor::setUp(
    const KivoCryptorSettings& settings, const QByteArray& encryptionKey, const QByteArray& HMACKey)
{
    m_IV = randomDataOfLength(qsizetype(settings.IVSize));
    if (!HMACKey.isEmpty()) {
        m_HMACContext = std::make_unique<KivoCryptorHMAC>(HMACKey);
        m_HMACLength = KivoCryptorHMAC::Length;
    }
    platform::Error error;
    m_engine = KivoCryptorEngine::initWithOperation(
        KivoCryptorEngine::Encrypt, settings, encryptionKey, m_IV, &error);
    if (!m_engine || (m_HMACContext && !m_HMACContext->isValid())) {
        if (!error)
            error = KivoCryptorEngine::errorForStatus(KivoCryptorEngine::ParamError);
        cleanupAndNotifyWithError(error);
        return false;
    }
    return true;
}

QByteArray KivoEncryptor::header() const
{
    QByteArray header;
    header.append(char(kVersion));
    header.append(char(m_options));
    if (m_options & kPasswordOption) {
        header.append(m_encryptionSalt);
        header.append(m_HMACSalt);
    }
    header.append(m_IV);
    return header;
}

void KivoEncryptor::addData(const QByteArray& data)
{
    if (isFinished() || finishRequested())
        return;
    auto self = std::static_pointer_cast<KivoEncryptor>(shared_from_this());
    perform([self, data] { self->encryptPiece(data); });
}

void KivoEncryptor::finish()
{
    if (isFinished() || !markFinishRequested())
        return;
    auto self = std::static_pointer_cast<KivoEncryptor>(shared_from_this());
    perform([self] { self->finishOnQueue(); });
}

void KivoEncryptor::writeHeaderOnce()
{
    if (m_haveWrittenHeader)
        return;
    m_outData = header();
    m_haveWrittenHeader = true;
}

void KivoEncryptor::encryptPiece(const QByteArray& data)
{
    if (isFinished())
        return;
    writeHeaderOnce();
    const qsizetype start = m_outData.size();
    platform::Error error;
    if (m_HMACContext && data.size() >= kSideBySideFrom) {
        if (!encryptSideBySide(data, &error)) {
            cleanupAndNotifyWithError(error);
            return;
        }
        deliverOutData();
        return;
    }
    if (!m_engine->addData(data, m_outData, &error)) {
        cleanupAndNotifyWithError(error);
        return;
    }
    if (m_HMACContext)
        m_HMACContext->update(QByteArrayView(m_outData).sliced(start));
    deliverOutData();
}

bool KivoEncryptor::encryptSideBySide(QByteArrayView data, platform::Error* error)
{
    const qsizetype start = m_outData.size();
    // Room for all of it: the bytes the HMAC thread reads never move.
    m_outData.reserve(start + data.size() + 2 * kCipherBlock + KivoCryptorHMAC::Length);
    const char* const bytes = m_outData.constData();
    std::mutex mutex;
    std::condition_variable changed;
    qsizetype made = start; // ciphertext up to here may be fed to the HMAC
    bool over = false;
    const auto feed = [&] {
        qsizetype fed = start;
        std::unique_lock lock(mutex);
        while (true) {
            changed.wait(lock, [&] { return made > fed || over; });
            const qsizetype upTo = made;
            lock.unlock();
            if (upTo > fed)
                m_HMACContext->update(QByteArrayView(bytes + fed, upTo - fed));
            fed = upTo;
            lock.lock();
            if (over && fed == made)
                return;
        }
    };
    std::thread authenticator;
    try {
        authenticator = std::thread(feed);
    } catch (const std::system_error&) {
        // No thread to spare: one pass after the other.
        if (!m_engine->addData(data, m_outData, error))
            return false;
        m_HMACContext->update(QByteArrayView(m_outData).sliced(start));
        return true;
    }
    bool encrypted = true;
    for (qsizetype offset = 0; offset < data.size() && encrypted; offset += kPart) {
        encrypted = m_engine->addData(
            data.sliced(offset, std::min(kPart, data.size() - offset)), m_outData, error);
        if (encrypted) {
            std::lock_guard lock(mutex);
            made = m_outData.size();
        }
        changed.notify_one();
    }
    {
        std::lock_guard lock(mutex);
        over = true;
    }
    changed.notify_one();
    authenticator.join();
    return encrypted;
}

void KivoEncryptor::finishOnQueue()
{
    if (isFinished())
        return;
    // An empty input still makes a whole container.
    writeHeaderOnce();
    const qsizetype start = m_outData.size();
    platform::Error error;
    if (!m_engine->finishWithError(m_outData, &error)) {
        cleanupAndNotifyWithError(error);
        return;
    }
    if (m_HMACContext) {
        m_HMACContext->update(QByteArrayView(m_outData).sliced(start));
        const QByteArray code = m_HMACContext->final();
        if (code.isEmpty()) {
            cleanupAndNotifyWithError(
                KivoCryptorEngine::errorForStatus(KivoCryptorEngine::ParamError));
            return;
        }
        m_outData.append(code);
    }
    cleanupAndNotifyWithError(platform::Error());
}

std::optional<QByteArray> KivoEncryptor::encryptData(const QByteArray& data,
    const KivoCryptorSettings& settings, const QString& password, platform::Error* error)
{
    platform::Error setUpError;
    auto encryptor = initWithSettings(settings, password,
        [&setUpError](KivoCryptor& c, const QByteArray&) { setUpError = c.error(); });
    if (!encryptor) {
        if (error)
            *error = setUpError;
        return std::nullopt;
    }
    return synchronousResultForCryptor(encryptor, data, error);
}

std::optional<QString> KivoEncryptor::encryptString(const QByteArray& data,
    const KivoCryptorSettings& settings, const QString& password, platform::Error* error)
{
    const auto container = encryptData(data, settings, password, error);
    if (!container)
        return std::nullopt;
    return KivoBase64::base64EncodedStringWithWrapWidth(*container, 0);
}

std::optional<QByteArray> KivoEncryptor::encryptData(const QByteArray& data,
    const KivoCryptorSettings& settings, const QByteArray& encryptionKey, const QByteArray& HMACKey,
    platform::Error* error)
{
    platform::Error setUpError;
    auto encryptor = initWithSettings(settings, encryptionKey, HMACKey,
        [&setUpError](KivoCryptor& c, const QByteArray&) { setUpError = c.error(); });
    if (!encryptor) {
        if (error)
            *error = setUpError;
        return std::nullopt;
    }
    return synchronousResultForCryptor(encryptor, data, error);
}
