#pragma once

#include <QByteArray>
#include <QByteArrayView>

struct evp_mac_ctx_st;

// An HMAC-SHA256 computation over data given in pieces.
class KivoCryptorHMAC {
public:
    static constexpr qsizetype Length = 32;

    explicit KivoCryptorHMAC(const QByteArray& key);
    ~KivoCryptorHMAC();
    KivoCryptorHMAC(const KivoCryptorHMAC&) = delete;
    KivoCryptorHMAC& operator=(const KivoCryptorHMAC&) = delete;

    bool isValid() const { return m_context != nullptr; }
    void update(QByteArrayView data);
    // The 32-byte code; empty when the computation failed.
    QByteArray final();

    // Compares in time that does not depend on where the texts differ.
    static bool constantTimeEquals(QByteArrayView a, QByteArrayView b);

private:
    evp_mac_ctx_st* m_context = nullptr;
    bool m_failed = false;
};
