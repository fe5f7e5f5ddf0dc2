#include "platform/Exception.h"

namespace platform {

const QString Exception::InvalidArgument = QStringLiteral("NSInvalidArgumentException");
const QString Exception::InternalInconsistency = QStringLiteral("NSInternalInconsistencyException");
const QString Exception::RangeError = QStringLiteral("NSRangeException");
const QString Exception::Generic = QStringLiteral("NSGenericException");

Exception::Exception(QString name, QString reason, QVariantMap userInfo)
    : m_name(std::move(name))
    , m_reason(std::move(reason))
    , m_userInfo(std::move(userInfo))
    , m_what((m_name + ": " + m_reason).toStdString())
{
}

Exception::~Exception() = default;

const char* Exception::what() const noexcept
{
    return m_what.c_str();
}

} // namespace platform
