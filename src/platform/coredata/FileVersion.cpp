#include "platform/coredata/FileVersion.h"

#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/CoreDataError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

namespace platform::coredata {

namespace {

Error fileError(const QString& description, const QString& path)
{
    return makeError(PersistentStoreOperationError, description, path);
}

} // namespace

QString FileVersion::conflictFolder(const QUrl& url)
{
    const QFileInfo item(url.toLocalFile());
    return item.dir().filePath('.' + item.fileName() + QStringLiteral(".conflicts"));
}

bool FileVersion::isResolved() const
{
    return !m_conflict || !QFileInfo::exists(m_url.toLocalFile());
}

bool FileVersion::setResolved(bool resolved, Error* error) const
{
    if (!resolved || !m_conflict)
        return true;
    const QString path = m_url.toLocalFile();
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        report(error, fileError(QStringLiteral("The version could not be resolved."), path));
        return false;
    }
    QDir().rmdir(QFileInfo(path).absolutePath()); // only once it is empty
    return true;
}

bool FileVersion::replaceItemAtURL(const QUrl& url, const QVariant& token, Error* error) const
{
    QFile source(m_url.toLocalFile());
    if (!source.open(QIODevice::ReadOnly)) {
        report(error, fileError(source.errorString(), m_url.toLocalFile()));
        return false;
    }
    const QByteArray content = source.readAll();
    if (m_url == url)
        return true;
    QString problem;
    if (!CloudContainer::writeFile(url.toLocalFile(), content, token, &problem)) {
        report(error, fileError(problem, url.toLocalFile()));
        return false;
    }
    return true;
}

bool FileVersion::replaceItemAtURL(const QUrl& url, Error* error) const
{
    return replaceItemAtURL(url, CloudContainer::ubiquityIdentityToken(), error);
}

FileVersion FileVersion::currentVersionOfItemAtURL(const QUrl& url)
{
    const QFileInfo info(url.toLocalFile());
    FileVersion version;
    if (!info.isFile())
        return version;
    version.m_url = url;
    version.m_modificationDate = info.lastModified().toUTC();
    return version;
}

QList<FileVersion> FileVersion::unresolvedConflictVersionsOfItemAtURL(const QUrl& url)
{
    QList<FileVersion> versions;
    const QDir folder(conflictFolder(url));
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        bool ok = false;
        const qint64 msecs = name.section('-', 0, 0).toLongLong(&ok);
        if (!ok)
            continue;
        FileVersion version;
        version.m_url = QUrl::fromLocalFile(folder.filePath(name));
        version.m_modificationDate = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
        version.m_conflict = true;
        versions.append(version);
    }
    std::stable_sort(versions.begin(), versions.end(),
        [](const auto& a, const auto& b) { return a.m_modificationDate < b.m_modificationDate; });
    return versions;
}

FileVersion FileVersion::addConflictVersion(const QUrl& url, const QByteArray& content,
    const QDateTime& date, const QVariant& token, Error* error)
{
    const QString folder = conflictFolder(url);
    const QString name = QStringLiteral("%1-%2")
                             .arg(date.toMSecsSinceEpoch())
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    const QString path = QDir(folder).filePath(name);
    QString problem;
    if (!CloudContainer::makeFolder(folder, token)
        || !CloudContainer::writeFile(path, content, token, &problem)) {
        report(error,
            fileError(problem.isEmpty() ? QStringLiteral("The folder could not be made.") : problem,
                path));
        return {};
    }
    FileVersion version;
    version.m_url = QUrl::fromLocalFile(path);
    version.m_modificationDate = QDateTime::fromMSecsSinceEpoch(date.toMSecsSinceEpoch(), Qt::UTC);
    version.m_conflict = true;
    return version;
}

FileVersion FileVersion::addConflictVersion(
    const QUrl& url, const QByteArray& content, const QDateTime& date, Error* error)
{
    return addConflictVersion(url, content, date, CloudContainer::ubiquityIdentityToken(), error);
}

} // namespace platform::coredata
