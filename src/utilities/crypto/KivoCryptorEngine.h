#pragma once

#include "platform/Error.h"
#include "utilities/crypto/KivoCryptorSettings.h"

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

struct evp_cipher_ctx_st;

// A thin wrapper over one AES cipher context in CBC (or ECB) mode.
class KivoCryptorEngine {
public:
    enum Operation { Encrypt = 0, Decrypt = 1 };

    // Cipher status codes, numbered as the platform's cipher service numbers them, since
    // they travel as error codes.
    enum Status : qint64 {
        Success = 0,
        ParamError = -4300,
        BufferTooSmall = -4301,
        MemoryFailure = -4302,
        AlignmentError = -4303,
        DecodeError = -4304,
        Unimplemented = -4305,
        KeySizeError = -4310,
    };

    // The key's own length picks AES-128, -192 or -256; null (and the error) otherwise.
    [[nodiscard]] static std::unique_ptr<KivoCryptorEngine> initWithOperation(Operation operation,
        const KivoCryptorSettings& settings, const QByteArray& key, const QByteArray& IV,
        platform::Error* error);
    ~KivoCryptorEngine();
    KivoCryptorEngine(const KivoCryptorEngine&) = delete;
    KivoCryptorEngine& operator=(const KivoCryptorEngine&) = delete;

    // Append the bytes the cipher produces to `output`; false (and the error) on failure.
    [[nodiscard]] bool addData(QByteArrayView data, QByteArray& output, platform::Error* error);
    [[nodiscard]] bool finishWithError(QByteArray& output, platform::Error* error);
    // Begins a new message with the same key (its schedule is kept) from the IV, as a new
    // engine would; false when the cipher refuses.
    [[nodiscard]] bool restart(const QByteArray& IV);

    // The error the container carries for a cipher status.
    static platform::Error errorForStatus(Status status);

private:
    KivoCryptorEngine(Operation operation, evp_cipher_ctx_st* context);

    Operation m_operation;
    evp_cipher_ctx_st* m_cryptor;
    bool m_padding = false;
    bool m_ecb = false;
    qint64 m_bytesIn = 0;
};
