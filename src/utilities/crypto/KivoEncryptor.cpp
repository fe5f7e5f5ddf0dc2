#include "utilities/crypto/KivoEncryptor.h"

#include "utilities/crypto/KivoBase64.h"

namespace {

const char kQueueLabel[] = "net.solvane.KivoEncryptor";
constexpr uint8_t kVersion = 0x01;
constexpr uint8_t kPasswordOption = 0x01;

} // namespace

KivoEncryptor::KivoEncryptor(Handler handler)
    : KivoCryptor(std::move(handler), QString::fromLatin1(kQueueLabel))
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
    QByteArray encryptionKey
        = keyForPassword(password, encryptor->m_encryptionSalt, settings.encryptionKeyDerivation);
    encryptor->m_HMACSalt = randomDataOfLength(qsizetype(settings.HMACKeyDerivation.saltSize));
    QByteArray HMACKey
        = keyForPassword(password, encryptor->m_HMACSalt, settings.HMACKeyDerivation);
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
    if (!m_engine->addData(data, m_outData, &error)) {
        cleanupAndNotifyWithError(error);
        return;
    }
    if (m_HMACContext)
        m_HMACContext->update(QByteArrayView(m_outData).sliced(start));
    deliverOutData();
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
