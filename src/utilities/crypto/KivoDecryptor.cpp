#include "utilities/crypto/KivoDecryptor.h"

#include "utilities/crypto/KivoBase64.h"

#include <system_error>
#include <thread>
#include <tuple>

namespace {

const char kDecryptorQueueLabel[] = "net.solvane.KivoDecryptor";
const char kKeysAndPassword[] = "Both password and the key (%1) or HMACKey (%2) are set.";
constexpr qsizetype kPreambleSize = 2;

platform::Error unknownHeader()
{
    return platform::Error::withDescription(QString::fromLatin1(KivoCryptorErrorDomain),
        KivoCryptorUnknownHeader, QString::fromLatin1(KivoCryptorUnknownHeaderDescription));
}

platform::Error HMACMismatch()
{
    return platform::Error::withDescription(QString::fromLatin1(KivoCryptorErrorDomain),
        KivoCryptorHMACMismatch, QString::fromLatin1(KivoCryptorHMACMismatchDescription));
}

} // namespace

KivoDecryptor::KivoDecryptor(Handler handler)
    : KivoCryptor(std::move(handler), QString::fromLatin1(kDecryptorQueueLabel))
{
}

KivoDecryptor::~KivoDecryptor()
{
    m_password.fill(QChar(0));
}

std::shared_ptr<KivoDecryptor> KivoDecryptor::initWithPassword(
    const QString& password, Handler handler)
{
    requireParameter(!password.isNull(), "aPassword != nil");
    std::shared_ptr<KivoDecryptor> decryptor(new KivoDecryptor(std::move(handler)));
    decryptor->m_password = password;
    return decryptor;
}

std::shared_ptr<KivoDecryptor> KivoDecryptor::initWithEncryptionKey(
    const QByteArray& encryptionKey, const QByteArray& HMACKey, Handler handler)
{
    std::shared_ptr<KivoDecryptor> decryptor(new KivoDecryptor(std::move(handler)));
    decryptor->m_encryptionKey = encryptionKey;
    decryptor->m_HMACKey = HMACKey;
    return decryptor;
}

bool KivoDecryptor::getSettings(KivoCryptorSettings& settings, QByteArrayView preamble)
{
    if (preamble.size() < kPreambleSize || uint8_t(preamble[0]) != kVersion)
        return false;
    settings = KivoCryptorAES256Settings;
    m_options = uint8_t(preamble[1]);
    return true;
}

bool KivoDecryptor::consumeHeaderFromData(
    QByteArrayView data, qsizetype& consumed, platform::Error& error)
{
    consumed = 0;
    if (data.size() < kPreambleSize)
        return true;
    KivoCryptorSettings settings;
    if (!getSettings(settings, data)) {
        error = unknownHeader();
        return false;
    }
    const bool passwordForm = m_options & kPasswordOption;
    const qsizetype needed = kPreambleSize
        + (passwordForm ? qsizetype(
               settings.encryptionKeyDerivation.saltSize + settings.HMACKeyDerivation.saltSize)
                        : 0)
        + qsizetype(settings.IVSize);
    if (data.size() < needed)
        return true;

    qsizetype at = kPreambleSize;
    auto take = [&data, &at](qsizetype size) {
        const QByteArray part = data.sliced(at, size).toByteArray();
        at += size;
        return part;
    };
    if (passwordForm) {
        if (!m_encryptionKey.isEmpty() || !m_HMACKey.isEmpty() || m_password.isNull()) {
            // A decryptor made with keys cannot open a password container.
            error = platform::Error::withDescription(QString::fromLatin1(KivoCryptorErrorDomain),
                KivoCryptorEngine::ParamError,
                QString::fromLatin1(kKeysAndPassword)
                    .arg(int(!m_encryptionKey.isEmpty()))
                    .arg(int(!m_HMACKey.isEmpty())));
            return false;
        }
        const QByteArray encryptionSalt
            = take(qsizetype(settings.encryptionKeyDerivation.saltSize));
        const QByteArray HMACSalt = take(qsizetype(settings.HMACKeyDerivation.saltSize));
        std::tie(m_encryptionKey, m_HMACKey) = keysForPassword(m_password, encryptionSalt,
            settings.encryptionKeyDerivation, HMACSalt, settings.HMACKeyDerivation);
        m_password.fill(QChar(0));
        m_password = QString();
    }
    const QByteArray IV = take(qsizetype(settings.IVSize));
    consumed = at;
    m_engine = KivoCryptorEngine::initWithOperation(
        KivoCryptorEngine::Decrypt, settings, m_encryptionKey, IV, &error);
    m_encryptionKey.fill('\0');
    m_encryptionKey.clear();
    if (!m_engine)
        return false;
    if (!m_HMACKey.isEmpty()) {
        m_HMACContext = std::make_unique<KivoCryptorHMAC>(m_HMACKey);
        m_HMACLength = KivoCryptorHMAC::Length;
        m_HMACKey.fill('\0');
        m_HMACKey.clear();
        if (!m_HMACContext->isValid()) {
            error = KivoCryptorEngine::errorForStatus(KivoCryptorEngine::ParamError);
            return false;
        }
    }
    return true;
}

void KivoDecryptor::addData(const QByteArray& data)
{
    // Ready ciphertext is passed on as a range of the received buffer, without copying it.
    Piece ready;
    platform::Error headerError;
    {
        std::lock_guard lock(m_inputMutex);
        if (isFinished() || finishRequested())
            return;
        m_inData.append(data);
        qsizetype start = 0;
        if (!m_engine && !consumeHeaderFromData(m_inData, start, headerError))
            m_inData.clear();
        // The last HMACLength bytes stay behind: at the end they are the received HMAC.
        if (m_engine && m_inData.size() - start > m_HMACLength) {
            ready = { m_inData, start, m_inData.size() - start - m_HMACLength };
            m_inData = m_inData.right(m_HMACLength);
        } else if (start > 0) {
            m_inData.remove(0, start);
        }
    }
    // Delivered outside the lock, so a handler may call back into the decryptor.
    if (headerError) {
        cleanupAndNotifyWithError(headerError);
        return;
    }
    if (ready.length == 0)
        return;
    auto self = std::static_pointer_cast<KivoDecryptor>(shared_from_this());
    perform([self, ready] { self->decryptData(ready); });
}

void KivoDecryptor::finish()
{
    QByteArray rest;
    {
        std::lock_guard lock(m_inputMutex);
        if (isFinished() || !markFinishRequested())
            return;
        rest = std::exchange(m_inData, QByteArray());
    }
    auto self = std::static_pointer_cast<KivoDecryptor>(shared_from_this());
    perform([self, rest] { self->finishOnQueue(rest); });
}

void KivoDecryptor::decryptData(const Piece& ciphertext)
{
    if (isFinished())
        return;
    if (m_HMACContext) {
        // Authenticated containers hand out no plaintext before their HMAC has been
        // checked: it is made (alongside the HMAC, for a big piece) and held back.
        std::thread authenticator;
        if (ciphertext.length >= kSideBySideFrom) {
            try {
                authenticator = std::thread(
                    [this, &ciphertext] { m_HMACContext->update(ciphertext.view()); });
            } catch (const std::system_error&) {
            }
        }
        if (!authenticator.joinable())
            m_HMACContext->update(ciphertext.view());
        // After a cipher failure nothing more is decrypted; it is reported at the end.
        if (!m_heldError && !m_engine->addData(ciphertext.view(), m_heldPlaintext, &m_heldError)
            && !m_heldError)
            m_heldError = KivoCryptorEngine::errorForStatus(KivoCryptorEngine::ParamError);
        if (authenticator.joinable())
            authenticator.join();
        return;
    }
    // A failure has been reported to the caller and has finished the decryptor.
    if (!decryptAndDeliver(ciphertext.view()))
        return;
}

bool KivoDecryptor::decryptAndDeliver(QByteArrayView ciphertext)
{
    platform::Error error;
    if (!m_engine->addData(ciphertext, m_outData, &error)) {
        cleanupAndNotifyWithError(error);
        return false;
    }
    deliverOutData();
    return true;
}

void KivoDecryptor::finishOnQueue(const QByteArray& receivedHMAC)
{
    if (isFinished())
        return;
    if (!m_engine) {
        // Nothing, or less than a whole header, was received.
        cleanupAndNotifyWithError(unknownHeader());
        return;
    }
    if (m_HMACContext) {
        const QByteArray computed = m_HMACContext->final();
        if (computed.isEmpty() || receivedHMAC.size() != m_HMACLength
            || !KivoCryptorHMAC::constantTimeEquals(computed, receivedHMAC)) {
            m_heldPlaintext.fill('\0');
            m_heldPlaintext.clear();
            cleanupAndNotifyWithError(HMACMismatch());
            return;
        }
        m_outData = std::exchange(m_heldPlaintext, QByteArray());
        if (!m_outData.isEmpty())
            deliverOutData();
        if (m_heldError) {
            cleanupAndNotifyWithError(m_heldError);
            return;
        }
    }
    platform::Error error;
    if (!m_engine->finishWithError(m_outData, &error)) {
        cleanupAndNotifyWithError(error);
        return;
    }
    cleanupAndNotifyWithError(platform::Error());
}

std::optional<QByteArray> KivoDecryptor::decryptString(
    const QString& base64, const QString& password, platform::Error* error)
{
    const auto data = KivoBase64::dataWithBase64EncodedString(base64);
    if (!data) {
        if (error)
            *error = unknownHeader();
        return std::nullopt;
    }
    return decryptData(*data, password, error);
}

std::optional<QByteArray> KivoDecryptor::decryptData(
    const QByteArray& data, const QString& password, platform::Error* error)
{
    auto decryptor = initWithPassword(password, [](KivoCryptor&, const QByteArray&) {});
    return synchronousResultForCryptor(decryptor, data, error);
}

std::optional<QByteArray> KivoDecryptor::decryptData(const QByteArray& data,
    const QByteArray& encryptionKey, const QByteArray& HMACKey, platform::Error* error)
{
    auto decryptor
        = initWithEncryptionKey(encryptionKey, HMACKey, [](KivoCryptor&, const QByteArray&) {});
    return synchronousResultForCryptor(decryptor, data, error);
}
