#include "utilities/crypto/KivoCryptorHMAC.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>

KivoCryptorHMAC::KivoCryptorHMAC(const QByteArray& key)
{
    EVP_MAC* mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (!mac)
        return;
    m_context = EVP_MAC_CTX_new(mac);
    EVP_MAC_free(mac);
    if (!m_context)
        return;
    char digest[] = "SHA256";
    OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
        OSSL_PARAM_construct_end(),
    };
    if (EVP_MAC_init(m_context, reinterpret_cast<const unsigned char*>(key.constData()),
            size_t(key.size()), params)
        != 1) {
        EVP_MAC_CTX_free(m_context);
        m_context = nullptr;
    }
}

KivoCryptorHMAC::~KivoCryptorHMAC()
{
    EVP_MAC_CTX_free(m_context);
}

void KivoCryptorHMAC::update(QByteArrayView data)
{
    if (!m_context || data.isEmpty())
        return;
    if (EVP_MAC_update(
            m_context, reinterpret_cast<const unsigned char*>(data.data()), size_t(data.size()))
        != 1)
        m_failed = true;
}

QByteArray KivoCryptorHMAC::final()
{
    if (!m_context || m_failed)
        return {};
    QByteArray code(Length, Qt::Uninitialized);
    size_t written = 0;
    if (EVP_MAC_final(
            m_context, reinterpret_cast<unsigned char*>(code.data()), &written, size_t(code.size()))
            != 1
        || written != size_t(Length))
        return {};
    return code;
}

bool KivoCryptorHMAC::constantTimeEquals(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    return CRYPTO_memcmp(a.data(), b.data(), size_t(a.size())) == 0;
}
