#pragma once

#include <QMetaType>
#include <QString>
#include <QVariantMap>

#include <exception>
#include <string>

namespace platform {

// An exception with the platform's three parts: a name that classifies it, a reason a
// person can read, and a dictionary of further facts. Subclasses keep these fields.
class Exception : public std::exception {
public:
    Exception(QString name, QString reason, QVariantMap userInfo = {});
    ~Exception() override;

    const QString& name() const { return m_name; }
    const QString& reason() const { return m_reason; }
    const QVariantMap& userInfo() const { return m_userInfo; }

    const char* what() const noexcept override;

    // Names the platform uses for its own exceptions.
    static const QString InvalidArgument; // "NSInvalidArgumentException"
    static const QString InternalInconsistency; // "NSInternalInconsistencyException"
    static const QString RangeError; // "NSRangeException"
    static const QString Generic; // "NSGenericException"

private:
    QString m_name;
    QString m_reason;
    QVariantMap m_userInfo;
    std::string m_what;
};

} // namespace platform

Q_DECLARE_METATYPE(platform::Exception)
