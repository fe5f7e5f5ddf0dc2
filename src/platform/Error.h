#pragma once

#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace platform {

// An error value: a domain naming the kind of failure, a code within the domain and a
// dictionary of further facts. A default-made Error is "no error" (see isNull).
class Error {
public:
    Error() = default;
    Error(QString domain, qint64 code, QVariantMap userInfo = {});
    // Shorthand for an error whose user info holds only its description.
    static Error withDescription(const QString& domain, qint64 code, const QString& description);

    bool isNull() const { return m_domain.isEmpty(); }
    explicit operator bool() const { return !isNull(); }

    const QString& domain() const { return m_domain; }
    qint64 code() const { return m_code; }
    const QVariantMap& userInfo() const { return m_userInfo; }

    // The user-info description when there is one, else the platform's generic sentence
    // "The operation couldn't be completed. (<domain> error <code>.)".
    QString localizedDescription() const;
    QString localizedFailureReason() const;

    bool operator==(const Error& other) const;

    // User-info keys the platform itself uses.
    static const QString LocalizedDescriptionKey; // "NSLocalizedDescription"
    static const QString LocalizedFailureReasonKey; // "NSLocalizedFailureReason"
    static const QString UnderlyingErrorKey; // "NSUnderlyingError"
    static const QString FilePathKey; // "NSFilePath"

private:
    QString m_domain;
    qint64 m_code = 0;
    QVariantMap m_userInfo;
};

} // namespace platform

Q_DECLARE_METATYPE(platform::Error)
