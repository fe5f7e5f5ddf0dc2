#include "reports/NSURLWebViewProtocol.h"

#include "platform/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

const QString NSURLWebViewProtocol::BundleImageScheme = QStringLiteral("bundleimage");
const QString NSURLWebViewProtocol::DocumentsImageScheme = QStringLiteral("documentsimage");

namespace {

const QString kSeparator = QStringLiteral("://");

QString schemeOf(const QString& request)
{
    const qsizetype end = request.indexOf(QLatin1Char(':'));
    return end < 0 ? QString() : request.left(end);
}

// The extension of the last path component, without its point.
QString pathExtension(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype point = path.lastIndexOf(QLatin1Char('.'));
    return point > slash && point + 1 < path.size() ? path.mid(point + 1) : QString();
}

QString deletingPathExtension(const QString& path)
{
    const QString extension = pathExtension(path);
    return extension.isEmpty() ? path : path.left(path.size() - extension.size() - 1);
}

// The file named relative to the folder, only when it (links resolved) lies inside it.
QString containedPath(const QString& folder, const QString& name)
{
    if (name.isEmpty() || QDir::isAbsolutePath(name) || name.startsWith(QLatin1Char('/')))
        return QString();
    const QString root = QDir(folder).canonicalPath();
    if (root.isEmpty())
        return QString();
    const QString path = QFileInfo(folder + QLatin1Char('/') + name).canonicalFilePath();
    if (path.isEmpty() || !path.startsWith(root + QLatin1Char('/')))
        return QString();
    return path;
}

} // namespace

NSURLWebViewProtocol::NSURLWebViewProtocol(QString request)
    : m_request(std::move(request))
{
}

bool NSURLWebViewProtocol::canInitWithRequest(const QString& request)
{
    const QString scheme = schemeOf(request);
    return scheme.compare(DocumentsImageScheme, Qt::CaseInsensitive) == 0
        || scheme.compare(BundleImageScheme, Qt::CaseInsensitive) == 0;
}

void NSURLWebViewProtocol::extractFileName(
    QString* fileName, QString* fileExtension, QString* urlPrefix) const
{
    const QString& absolute = m_request;
    *fileExtension = pathExtension(absolute);
    if (absolute.startsWith(BundleImageScheme, Qt::CaseInsensitive))
        *urlPrefix = BundleImageScheme;
    else if (absolute.startsWith(DocumentsImageScheme, Qt::CaseInsensitive))
        *urlPrefix = DocumentsImageScheme;
    QString name = absolute;
    name.remove(*urlPrefix + kSeparator);
    *fileName = deletingPathExtension(name);
}

QString NSURLWebViewProtocol::filePath() const
{
    QString name;
    QString extension;
    QString prefix;
    extractFileName(&name, &extension, &prefix);
    const QString file = name + QLatin1Char('.') + extension;
    if (prefix == BundleImageScheme)
        return containedPath(platform::Folders::resources(), file);
    return containedPath(platform::Folders::documents(), file);
}

QByteArray NSURLWebViewProtocol::startLoading() const
{
    const QString path = filePath();
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray NSURLWebViewProtocol::loadRequest(const QString& request)
{
    if (!canInitWithRequest(request))
        return {};
    return NSURLWebViewProtocol(request).startLoading();
}
