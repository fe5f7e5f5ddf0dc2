#pragma once

#include "utilities/crypto/KivoCryptor.h"
#include "utilities/crypto/KivoCryptorHMAC.h"

// Reads a version-1 container given in pieces of any size. When the container carries an
// HMAC, no plaintext is handed out until the whole HMAC has been checked at finish(); a mismatch
// ends with "HMAC Mismatch" and no output at all.
class KivoDecryptor : public KivoCryptor {
public:
    // Raises an internal failure for a null password.
    static std::shared_ptr<KivoDecryptor> initWithPassword(
        const QString& password, Handler handler);
    static std::shared_ptr<KivoDecryptor> initWithEncryptionKey(
        const QByteArray& encryptionKey, const QByteArray& HMACKey, Handler handler);
    ~KivoDecryptor() override;

    void addData(const QByteArray& data) override;
    void finish() override;

    // Base64 text in, plaintext out. Text that does not decode is an error.
    [[nodiscard]] static std::optional<QByteArray> decryptString(
        const QString& base64, const QString& password, platform::Error* error);
    [[nodiscard]] static std::optional<QByteArray> decryptData(
        const QByteArray& data, const QString& password, platform::Error* error);
    [[nodiscard]] static std::optional<QByteArray> decryptData(const QByteArray& data,
        const QByteArray& encryptionKey, const QByteArray& HMACKey, platform::Error* error);

    // Reads the version and options bytes; false unless the version is 1.
    [[nodiscard]] bool getSettings(KivoCryptorSettings& settings, QByteArrayView preamble);

private:
    explicit KivoDecryptor(Handler handler);
    // Sets up keys and cipher once the whole header is in `data`; false (and the error) when
    // the header is bad. `consumed` is the header's length once it is complete, else 0.
    [[nodiscard]] bool consumeHeaderFromData(
        QByteArrayView data, qsizetype& consumed, platform::Error& error);

    // A range of received bytes; the buffer is shared, not copied.
    struct Piece {
        QByteArray buffer;
        qsizetype from = 0;
        qsizetype length = 0;
        QByteArrayView view() const { return QByteArrayView(buffer).sliced(from, length); }
    };
    void decryptData(const Piece& ciphertext);
    void finishOnQueue(const QByteArray& receivedHMAC);
    [[nodiscard]] bool decryptAndDeliver(QByteArrayView ciphertext);

    std::mutex m_inputMutex;
    QByteArray m_inData;
    std::unique_ptr<KivoCryptorHMAC> m_HMACContext;
    QByteArray m_encryptionKey;
    QByteArray m_HMACKey;
    QString m_password;
    // Plaintext of ciphertext not yet authenticated, and the cipher's failure on it.
    QByteArray m_heldPlaintext;
    platform::Error m_heldError;
};
