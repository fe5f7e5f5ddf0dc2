#pragma once

#include "platform/Dispatch.h"
#include "platform/Error.h"
#include "utilities/crypto/KivoCryptorEngine.h"
#include "utilities/crypto/KivoCryptorSettings.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

// The common part of the container's encryptor and decryptor: a serial work queue, the
// queue that receives the output, and the handler that gets it piece by piece.
class KivoCryptor : public std::enable_shared_from_this<KivoCryptor> {
public:
    // Called with the bytes produced since the last call; after the last call isFinished()
    // is true and error() tells success (null) or failure.
    using Handler = std::function<void(KivoCryptor& cryptor, const QByteArray& data)>;

    virtual ~KivoCryptor();
    KivoCryptor(const KivoCryptor&) = delete;
    KivoCryptor& operator=(const KivoCryptor&) = delete;

    // The next piece of input; no more input. Both are ignored once finished.
    virtual void addData(const QByteArray& data);
    virtual void finish();

    bool isFinished() const { return m_finished.load(); }
    platform::Error error() const;
    bool hasHMAC() const { return m_HMACLength != 0; }

    // The queue the handler runs on; null means the main queue. The default is the queue
    // that made the cryptor.
    void setResponseQueue(std::shared_ptr<platform::dispatch::SerialQueue> queue);

    // Runs the cryptor over the whole input and waits; the output, or nullopt and the error.
    [[nodiscard]] static std::optional<QByteArray> synchronousResultForCryptor(
        const std::shared_ptr<KivoCryptor>& cryptor, const QByteArray& data,
        platform::Error* error);

    // PBKDF2 as the settings say. Only as many leading bytes of the password's UTF-8 form
    // are used as the password has UTF-16 units: stored containers depend on it.
    static QByteArray keyForPassword(const QString& password, const QByteArray& salt,
        const KivoCryptorKeyDerivationSettings& settings);
    // The encryption key and the HMAC key of a container, derived at once.
    static std::pair<QByteArray, QByteArray> keysForPassword(const QString& password,
        const QByteArray& encryptionSalt, const KivoCryptorKeyDerivationSettings& encryption,
        const QByteArray& HMACSalt, const KivoCryptorKeyDerivationSettings& HMAC);
    static QByteArray randomDataOfLength(qsizetype length);

protected:
    // The container's first byte, and the option bit of a key made from a password.
    static constexpr uint8_t kVersion = 0x01;
    static constexpr uint8_t kPasswordOption = 0x01;
    // Pieces from this size on are enciphered or deciphered on one thread while another
    // runs the HMAC over the same bytes.
    static constexpr qsizetype kSideBySideFrom = qsizetype(1) << 20;

    explicit KivoCryptor(Handler handler, const QString& queueLabel);

    // Ends the work: keeps the error, marks the cryptor finished and hands the handler the
    // output not yet delivered, for the last time.
    void cleanupAndNotifyWithError(const platform::Error& error);
    // Runs a step on the work queue (or at once while a synchronous run drives the cryptor).
    void perform(platform::dispatch::Block block);
    // Hands `outData` to the handler on the response queue, waiting for it, then empties it.
    void deliverOutData();
    // True once finish() was called; later input is ignored.
    bool markFinishRequested();
    bool finishRequested() const { return m_finishRequested.load(); }

    static void requireParameter(bool condition, const char* description);

    uint8_t m_options = 0;
    std::unique_ptr<KivoCryptorEngine> m_engine;
    QByteArray m_outData;
    qsizetype m_HMACLength = 0;

private:
    void callHandler(const QByteArray& data);

    std::atomic<bool> m_finished { false };
    std::atomic<bool> m_finishRequested { false };
    std::shared_ptr<platform::dispatch::SerialQueue> m_queue;
    std::shared_ptr<platform::dispatch::SerialQueue> m_responseQueue;
    bool m_responseOnMain = false;
    bool m_synchronous = false;
    mutable std::mutex m_errorMutex;
    platform::Error m_error;
    Handler m_handler;
};
