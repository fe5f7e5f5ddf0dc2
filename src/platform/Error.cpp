#include "platform/Error.h"

namespace platform {

const QString Error::LocalizedDescriptionKey = QStringLiteral("NSLocalizedDescription");
const QString Error::LocalizedFailureReasonKey = QStringLiteral("NSLocalizedFailureReason");
const QString Error::UnderlyingErrorKey = QStringLiteral("NSUnderlyingError");
const QString Error::FilePathKey = QStringLiteral("NSFilePath");

Error::Error(QString domain, qint64 code, QVariantMap userInfo)
    : m_domain(std::move(domain))
    , m_code(code)
    , m_userInfo(std::move(userInfo))
{
}

Error Error::withDescription(const QString& domain, qint64 code, const QString& description)
{
    return Error(domain, code, { { LocalizedDescriptionKey, description } });
}

QString Error::localizedDescription() const
{
    const QString description = m_userInfo.value(LocalizedDescriptionKey).toString();
    if (!description.isEmpty())
        return description;
    return QStringLiteral("The operation couldn\u2019t be completed. (%1 error %2.)")
        .arg(m_domain)
        .arg(m_code);
}

QString Error::localizedFailureReason() const
{
    return m_userInfo.value(LocalizedFailureReasonKey).toString();
}

bool Error::operator==(const Error& other) const
{
    return m_domain == other.m_domain && m_code == other.m_code && m_userInfo == other.m_userInfo;
}

} // namespace platform
