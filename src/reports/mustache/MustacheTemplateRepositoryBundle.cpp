#include "reports/mustache/MustacheTemplateRepositoryBundle.h"

#include "platform/Folders.h"
#include "reports/mustache/MustacheTemplateFile.h"

#include <QFileInfo>

MustacheTemplateRepositoryBundle::MustacheTemplateRepositoryBundle(
    const QString& bundle, const QString& templateExtension, QStringConverter::Encoding encoding)
    : m_bundle(bundle.isEmpty() ? platform::Folders::resources() : bundle)
    , m_templateExtension(templateExtension)
    , m_encoding(encoding)
{
    setDataSource(this);
}

std::optional<QString> MustacheTemplateRepositoryBundle::templateIDForName(
    MustacheTemplateRepository&, const QString& name, const QString&)
{
    if (name.isEmpty())
        return std::nullopt;
    const std::optional<QString> path = MustacheTemplateFile::inside(
        m_bundle, m_bundle + u'/' + MustacheTemplateFile::withExtension(name, m_templateExtension));
    if (!path || !QFileInfo(*path).isFile())
        return std::nullopt;
    return path;
}

std::optional<QString> MustacheTemplateRepositoryBundle::templateStringForTemplateID(
    MustacheTemplateRepository&, const QString& templateID, platform::Error* error)
{
    return MustacheTemplateFile::read(templateID, m_encoding, error);
}
