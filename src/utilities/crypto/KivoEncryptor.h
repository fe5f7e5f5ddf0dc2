#pragma once

#include "utilities/crypto/KivoCryptor.h"
#include "utilities/crypto/KivoCryptorHMAC.h"

// Writes a version-1 container: header, ciphertext as the input arrives, then the HMAC.
class KivoEncryptor : public KivoCryptor {
public:
    // Password form: fresh salts, both keys derived from the password. Raises an internal
    // failure for a null password.
    static std::shared_ptr<KivoEncryptor> initWithSettings(
        const KivoCryptorSettings& settings, const QString& password, Handler handler);
    // Key form: no salts; an HMAC is written only when an HMAC key is given. When the cipher
    // cannot be set up the handler gets the error and the result is null.
    static std::shared_ptr<KivoEncryptor> initWithSettings(const KivoCryptorSettings& settings,
        const QByteArray& encryptionKey, const QByteArray& HMACKey, Handler handler);
    ~KivoEncryptor() override;

    void addData(const QByteArray& data) override;
    void finish() override;

    // Version, options, then the salts (password form) and the IV.
    QByteArray header() const;

    [[nodiscard]] static std::optional<QByteArray> encryptData(const QByteArray& data,
        const KivoCryptorSettings& settings, const QString& password, platform::Error* error);
    // Takes bytes (callers pass UTF-8) and gives the container as one line of Base64.
    [[nodiscard]] static std::optional<QString> encryptString(const QByteArray& data,
        const KivoCryptorSettings& settings, const QString& password, platform::Error* error);
    [[nodiscard]] static std::optional<QByteArray> encryptData(const QByteArray& data,
        const KivoCryptorSettings& settings, const QByteArray& encryptionKey,
        const QByteArray& HMACKey, platform::Error* error);

private:
    explicit KivoEncryptor(Handler handler);
    [[nodiscard]] bool setUp(const KivoCryptorSettings& settings, const QByteArray& encryptionKey,
        const QByteArray& HMACKey);
    void writeHeaderOnce();
    void encryptPiece(const QByteArray& data);
    // Encrypts a big piece onto the output while another thread authenticates it; false
    // (and the error) when the cipher fails.
    [[nodiscard]] bool encryptSideBySide(QByteArrayView data, platform::Error* error);
    void finishOnQueue();

    std::unique_ptr<KivoCryptorHMAC> m_HMACContext;
    bool m_haveWrittenHeader = false;
    QByteArray m_encryptionSalt;
    QByteArray m_HMACSalt;
    QByteArray m_IV;
};
