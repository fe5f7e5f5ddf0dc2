#include "reports/mustache/MustacheConfiguration.h"

#include "platform/Exception.h"
#include "reports/mustache/Mustache.h"

MustacheConfiguration::MustacheConfiguration()
    : m_tagStartDelimiter(QStringLiteral("{{"))
    , m_tagEndDelimiter(QStringLiteral("}}"))
    , m_baseContext(MustacheContext::contextWithObject(Mustache::standardLibrary()))
{
}

MustacheConfiguration::MustacheConfiguration(const MustacheConfiguration& other)
    : m_contentType(other.m_contentType)
    , m_tagStartDelimiter(other.m_tagStartDelimiter)
    , m_tagEndDelimiter(other.m_tagEndDelimiter)
    , m_baseContext(other.m_baseContext)
{
}

MustacheConfiguration& MustacheConfiguration::operator=(const MustacheConfiguration& other)
{
    m_contentType = other.m_contentType;
    m_tagStartDelimiter = other.m_tagStartDelimiter;
    m_tagEndDelimiter = other.m_tagEndDelimiter;
    m_baseContext = other.m_baseContext;
    m_locked = false;
    return *this;
}

MustacheConfiguration& MustacheConfiguration::defaultConfiguration()
{
    static MustacheConfiguration configuration;
    return configuration;
}

MustacheConfiguration MustacheConfiguration::configuration()
{
    return MustacheConfiguration();
}

void MustacheConfiguration::assertNotLocked() const
{
    if (m_locked)
        throw platform::Exception(platform::Exception::Generic,
            QStringLiteral("%1 was mutated after template compilation").arg(description()));
}

void MustacheConfiguration::setContentType(MustacheContentType contentType)
{
    assertNotLocked();
    m_contentType = contentType;
}

void MustacheConfiguration::setTagStartDelimiter(const QString& delimiter)
{
    assertNotLocked();
    if (delimiter.isEmpty())
        throw platform::Exception(platform::Exception::InvalidArgument,
            QStringLiteral("Invalid tagStartDelimiter:%1").arg(delimiter));
    m_tagStartDelimiter = delimiter;
}

void MustacheConfiguration::setTagEndDelimiter(const QString& delimiter)
{
    assertNotLocked();
    if (delimiter.isEmpty())
        throw platform::Exception(platform::Exception::InvalidArgument,
            QStringLiteral("Invalid tagEndDelimiter:%1").arg(delimiter));
    m_tagEndDelimiter = delimiter;
}

void MustacheConfiguration::setBaseContext(const MustacheContextPtr& baseContext)
{
    assertNotLocked();
    if (!baseContext)
        throw platform::Exception(
            platform::Exception::InvalidArgument, QStringLiteral("Invalid baseContext:nil"));
    m_baseContext = baseContext;
}

void MustacheConfiguration::extendBaseContextWithObject(const QVariant& object)
{
    setBaseContext(m_baseContext->contextByAddingObject(object));
}

void MustacheConfiguration::extendBaseContextWithProtectedObject(const QVariant& object)
{
    setBaseContext(m_baseContext->contextByAddingProtectedObject(object));
}

void MustacheConfiguration::extendBaseContextWithTagDelegate(
    const std::shared_ptr<MustacheTagDelegate>& delegate)
{
    setBaseContext(m_baseContext->contextByAddingTagDelegate(delegate));
}

QString MustacheConfiguration::description() const
{
    return QStringLiteral("<MustacheConfiguration: 0x%1>").arg(quintptr(this), 0, 16);
}
