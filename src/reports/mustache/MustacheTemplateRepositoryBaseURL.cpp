#include "reports/mustache/MustacheTemplateRepositoryBaseURL.h"

#include "reports/mustache/MustacheTemplateFile.h"

#include <QDir>

MustacheTemplateRepositoryBaseURL::MustacheTemplateRepositoryBaseURL(
    const QUrl& baseURL, const QString& templateExtension, QStringConverter::Encoding encoding)
    : m_baseURL(baseURL)
    , m_templateExtension(templateExtension)
    , m_encoding(encoding)
{
    setDataSource(this);
}

std::optional<QString> MustacheTemplateRepositoryBaseURL::templateIDForName(
    MustacheTemplateRepository&, const QString& name, const QString& baseTemplateID)
{
    if (!m_baseURL.isLocalFile())
        return std::nullopt;
    QString relative = name;
    QString base = baseTemplateID;
    if (relative.startsWith(u'/')) {
        relative = relative.mid(1);
        base.clear();
    }
    if (relative.isEmpty())
        return std::nullopt;
    const QString file = MustacheTemplateFile::withExtension(relative, m_templateExtension);
    QUrl url;
    if (!base.isEmpty()) {
        url = QUrl(base).resolved(QUrl(file));
    } else {
        url = m_baseURL;
        url.setPath(m_baseURL.path() + u'/' + file);
    }
    if (!url.isLocalFile())
        return std::nullopt;
    const std::optional<QString> path
        = MustacheTemplateFile::inside(m_baseURL.toLocalFile(), url.toLocalFile());
    if (!path)
        return std::nullopt;
    return QUrl::fromLocalFile(*path).toString();
}

std::optional<QString> MustacheTemplateRepositoryBaseURL::templateStringForTemplateID(
    MustacheTemplateRepository&, const QString& templateID, platform::Error* error)
{
    return MustacheTemplateFile::read(QUrl(templateID).toLocalFile(), m_encoding, error);
}
