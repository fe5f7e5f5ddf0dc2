#include "platform/coredata/FileVersion.h"

#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/CoreDataError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

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

bool FileVersion::replaceItemAtURL(const QUrl& url, Error* error) const
{
    QFile source(m_url.toLocalFile());
    if (!source.open(QIODevice::ReadOnly)) {
        report(error, fileError(source.errorString(), m_url.toLocalFile()));
        return false;
    }
    const QByteArray content = source.readAll();
    if (m_url == url)
        return true;
    QSaveFile target(url.toLocalFile());
    if (!target.open(QIODevice::WriteOnly) || target.write(content) != content.size()
        || !target.commit()) {
        report(error, fileError(target.errorString(), url.toLocalFile()));
        return false;
    }
    return true;
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

FileVersion FileVersion::addConflictVersion(
    const QUrl& url, const QByteArray& content, const QDateTime& date, Error* error)
{
    const QString folder = conflictFolder(url);
    CloudContainer::makeFolder(folder);
    const QString name = QStringLiteral("%1-%2")
                             .arg(date.toMSecsSinceEpoch())
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    const QString path = QDir(folder).filePath(name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()
        || !file.commit()) {
        report(error, fileError(file.errorString(), path));
        return {};
    }
    FileVersion version;
    version.m_url = QUrl::fromLocalFile(path);
    version.m_modificationDate = QDateTime::fromMSecsSinceEpoch(date.toMSecsSinceEpoch(), Qt::UTC);
    version.m_conflict = true;
    return version;
}

} // namespace platform::coredata
