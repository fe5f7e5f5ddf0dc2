#include "reports/mustache/MustacheTemplateRepositoryDirectory.h"

#include "reports/mustache/MustacheTemplateFile.h"

#include <QDir>
#include <QFileInfo>

MustacheTemplateRepositoryDirectory::MustacheTemplateRepositoryDirectory(
    const QString& directoryPath, const QString& templateExtension,
    QStringConverter::Encoding encoding)
    : m_directoryPath(QDir::cleanPath(QDir(directoryPath).absolutePath()))
    , m_templateExtension(templateExtension)
    , m_encoding(encoding)
{
    setDataSource(this);
}

std::optional<QString> MustacheTemplateRepositoryDirectory::templateIDForName(
    MustacheTemplateRepository&, const QString& name, const QString& baseTemplateID)
{
    QString relative = name;
    QString base = baseTemplateID;
    if (relative.startsWith(u'/')) {
        relative = relative.mid(1);
        base.clear();
    }
    if (relative.isEmpty())
        return std::nullopt;
    const QString file = MustacheTemplateFile::withExtension(relative, m_templateExtension);
    const QString path
        = base.isEmpty() ? m_directoryPath + u'/' + file : QFileInfo(base).path() + u'/' + file;
    return MustacheTemplateFile::inside(m_directoryPath, path);
}

std::optional<QString> MustacheTemplateRepositoryDirectory::templateStringForTemplateID(
    MustacheTemplateRepository&, const QString& templateID, platform::Error* error)
{
    return MustacheTemplateFile::read(templateID, m_encoding, error);
}
