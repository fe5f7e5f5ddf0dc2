#include "utilities/shell/FileManager.h"

#include "utilities/shell/MessageHelper.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/LocalizedStrings.h"

#include "platform/Exception.h"
#include "platform/Folders.h"
#include "platform/coredata/CoreDataError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringDecoder>

const QString FileManager::HomeName = QStringLiteral("Documents");
const QString FileManager::LogsFolder = QStringLiteral("logs");
const QString FileManager::LogFileFormat = QStringLiteral("%1_%2.txt");

namespace {

// File-system error codes of the platform's error domain.
constexpr qint64 FileNoSuchFileError = 4;
constexpr qint64 FileReadUnknownError = 256;
constexpr qint64 FileReadNoSuchFileError = 260;
constexpr qint64 FileWriteUnknownError = 512;
constexpr qint64 FileWriteNoPermissionError = 513;
constexpr qint64 FileWriteInvalidFileNameError = 514;

const QString FolderMissing = QStringLiteral("The folder \u201c%1\u201d doesn\u2019t exist.");
const QString CannotOpenFolder
    = QStringLiteral("The folder \u201c%1\u201d couldn\u2019t be opened.");
const QString CannotCreateFolder
    = QStringLiteral("The folder \u201c%1\u201d couldn\u2019t be created.");
const QString CannotRemove = QStringLiteral("\u201c%1\u201d couldn\u2019t be removed.");
const QString CannotSave = QStringLiteral("The file \u201c%1\u201d couldn\u2019t be saved.");
const QString NoSuchFile = QStringLiteral(
    "The file \u201c%1\u201d couldn\u2019t be opened because there is no such file.");
const QString CannotOpen = QStringLiteral("The file \u201c%1\u201d couldn\u2019t be opened.");
const QString InvalidName
    = QStringLiteral("The name \u201c%1\u201d can\u2019t be used for a file or folder.");
const QString OutsideDocuments
    = QStringLiteral("\u201c%1\u201d lies outside the Documents folder.");
const QString NullArgument
    = QStringLiteral("*** +[FileManager getChilds]: the folder argument is null.");
const QString NumberedLogName = QStringLiteral("%1 (%2)");
const QString LogExtension = QStringLiteral(".txt");
// The longest file name the file systems take, in bytes of UTF-8.
constexpr qsizetype MaximumFileNameBytes = 255;
// Room kept in a log's name for the number that tells two logs of one minute apart, and
// for the suffix of the temporary file it is written through before it takes its name.
const QString LargestLogNumber = QStringLiteral(" (9999)");
const QString TemporarySuffix = QStringLiteral(".XXXXXX");
constexpr int LogNumbers = 10000;

void raise(qint64 code, const QString& description, const QString& path)
{
    platform::Error error(platform::coredata::ErrorDomain, code,
        { { platform::Error::LocalizedDescriptionKey, description },
            { platform::Error::FilePathKey, path } });
    MessageHelper::throwIfError(error);
}

// A name stays inside its folder: no separators, not "." or "..", not empty.
bool isSafeName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

void requireSafeName(const FileInfo& node)
{
    if (!isSafeName(node.name))
        raise(FileWriteInvalidFileNameError, InvalidName.arg(node.name), node.name);
}

// The name appended to the folder's path as one more component. QDir::filePath would take
// a name starting with ":" for a resource path and return the name alone.
QString joined(const QString& folder, const QString& name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

// The node's path from its parent's path and its name; a node without a parent keeps the
// path it has, or lies in Documents.
QString pathOf(const FileInfo& node)
{
    if (node.parent)
        return joined(node.parent->fullName, node.name);
    if (!node.fullName.isEmpty())
        return node.fullName;
    return joined(FileManager::documentsDirectory(), node.name);
}

// Whether what is written at the path stays inside Documents once links are resolved:
// the folder that holds it (and, with `followLink`, the path itself when it is a link)
// must lie in Documents. A folder that does not exist holds nothing; writing there fails
// on its own.
bool staysInDocuments(const QString& path, bool followLink)
{
    const QString documents = QFileInfo(FileManager::documentsDirectory()).canonicalFilePath();
    const auto inside = [&documents](const QString& resolved) {
        return !documents.isEmpty()
            && (resolved == documents || resolved.startsWith(documents + QLatin1Char('/')));
    };
    const QFileInfo target(path);
    if (followLink && target.isSymLink()) {
        // A dangling link would make its target wherever it points.
        const QString resolved = target.canonicalFilePath();
        return !resolved.isEmpty() && inside(resolved);
    }
    const QString folder = QFileInfo(target.absolutePath()).canonicalFilePath();
    return folder.isEmpty() || inside(folder);
}

void requireInsideDocuments(const QString& path, bool followLink, const QString& shown)
{
    if (!staysInDocuments(path, followLink))
        raise(FileWriteNoPermissionError, OutsideDocuments.arg(shown), path);
}

// The log's file name, shortened to what the file system takes: the given name gives
// way first, then the date; the extension and the room above are always kept.
QString logFileName(const QString& name, const QString& date)
{
    const qsizetype fixed
        = (QLatin1Char('_') + LogExtension + LargestLogNumber + TemporarySuffix).toUtf8().size();
    const auto cut = [](const QString& text, qsizetype bytes) {
        QString kept;
        qsizetype used = 0;
        for (qsizetype i = 0; i < text.size();) {
            // A pair of surrogates is one character, kept or cut whole.
            const qsizetype units = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const qsizetype size = text.mid(i, units).toUtf8().size();
            if (used + size > bytes)
                break;
            kept += text.mid(i, units);
            used += size;
            i += units;
        }
        return kept;
    };
    const QString shortDate = cut(date, MaximumFileNameBytes - fixed);
    const QString shortName = cut(name, MaximumFileNameBytes - fixed - shortDate.toUtf8().size());
    return FileManager::LogFileFormat.arg(shortName, shortDate);
}

// A localized date may hold "/" (a folder separator) or ":" (refused by other systems).
QString fileNamePart(const QString& text)
{
    QString part = text;
    part.replace(QLatin1Char('/'), QLatin1Char('-'));
    part.replace(QLatin1Char('\\'), QLatin1Char('-'));
    part.replace(QLatin1Char(':'), QLatin1Char('.'));
    part.remove(QChar(0));
    return part;
}

} // namespace

QString FileManager::documentsDirectory()
{
    return platform::Folders::documents();
}

std::shared_ptr<FileInfo> FileManager::getHomeDirectory()
{
    auto home = std::make_shared<FileInfo>();
    home->name = HomeName;
    home->isDir = true;
    home->fullName = documentsDirectory();
    return home;
}

QList<std::shared_ptr<FileInfo>> FileManager::getChilds(const std::shared_ptr<FileInfo>& folder)
{
    if (!folder)
        throw platform::Exception(platform::Exception::InvalidArgument, NullArgument);
    const QDir directory(folder->fullName);
    if (!directory.exists())
        raise(FileReadNoSuchFileError, FolderMissing.arg(folder->name), folder->fullName);
    // A folder that cannot be read would otherwise list as empty.
    if (!QFileInfo(folder->fullName).isReadable())
        raise(FileReadUnknownError, CannotOpenFolder.arg(folder->name), folder->fullName);
    const QFileInfoList entries = directory.entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
    QList<std::shared_ptr<FileInfo>> children;
    children.reserve(entries.size());
    for (const QFileInfo& entry : entries) {
        auto child = std::make_shared<FileInfo>();
        child->name = entry.fileName();
        child->parent = folder;
        child->fullName = joined(folder->fullName, child->name);
        child->isDir = entry.isDir();
        children.append(child);
    }
    return children;
}

QList<std::shared_ptr<FileInfo>> FileManager::getHomeDirectoryContents()
{
    return getChilds(getHomeDirectory());
}

bool FileManager::createDirectory(FileInfo& directory)
{
    directory.fullName = pathOf(directory);
    requireSafeName(directory);
    requireInsideDocuments(directory.fullName, false, directory.name);
    if (QFileInfo::exists(directory.fullName) || QFileInfo(directory.fullName).isSymLink()) {
        MessageHelper::ShowMessage(LocalizedStrings::FolderExists(), false);
        return false;
    }
    // mkdir, not mkpath: the parent must be there already.
    if (!QDir().mkdir(directory.fullName))
        raise(FileWriteUnknownError, CannotCreateFolder.arg(directory.name), directory.fullName);
    return true;
}

QString FileManager::createDirectoryName(const QString& name)
{
    if (!isSafeName(name))
        return QString();
    const QString path = joined(documentsDirectory(), name);
    // A link to a folder elsewhere is not followed out of Documents.
    if (!staysInDocuments(path, true))
        return QString();
    if (QFileInfo(path).isDir())
        return path;
    if (!QDir().mkdir(path))
        return QString();
    return path;
}

bool FileManager::isFileExists(const FileInfo& file)
{
    return isSafeName(file.name) && QFileInfo::exists(pathOf(file));
}

void FileManager::removeFileInfo(FileInfo& file)
{
    file.fullName = pathOf(file);
    // A name like ".." would reach outside the folder and remove far more.
    requireSafeName(file);
    // A link is removed itself, never what it points to.
    requireInsideDocuments(file.fullName, false, file.name);
    const QFileInfo target(file.fullName);
    if (!target.exists() && !target.isSymLink())
        return;
    const bool removed = target.isDir() && !target.isSymLink()
        ? QDir(file.fullName).removeRecursively()
        : QFile::remove(file.fullName);
    if (!removed)
        raise(FileWriteUnknownError, CannotRemove.arg(file.name), file.fullName);
}

void FileManager::writeToTextFile(const FileInfo& file, const QString& content)
{
    requireSafeName(file);
    const QString path = pathOf(file);
    requireInsideDocuments(path, true, file.name);
    QFile output(path);
    const QByteArray bytes = content.toUtf8();
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || output.write(bytes) != bytes.size() || !output.flush())
        raise(FileWriteUnknownError, CannotSave.arg(file.name), path);
}

QString FileManager::readtTextFile(const FileInfo& file)
{
    requireSafeName(file);
    const QString path = pathOf(file);
    QFile input(path);
    if (!input.exists())
        raise(FileReadNoSuchFileError, NoSuchFile.arg(file.name), path);
    if (!input.open(QIODevice::ReadOnly))
        raise(FileReadUnknownError, CannotOpen.arg(file.name), path);
    const QByteArray bytes = input.readAll();
    if (input.error() != QFileDevice::NoError)
        raise(FileReadUnknownError, CannotOpen.arg(file.name), path);

    if (const auto marked = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*marked);
        return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QString FileManager::writeLogFile(const QString& name, const QString& content)
{
    const QString folder = createDirectoryName(LogsFolder);
    if (folder.isNull())
        return QString();
    const QString baseName = logFileName(fileNamePart(name),
        fileNamePart(KivoDateUtils::getDateTimeString(QDateTime::currentDateTime())));
    const QString stem = baseName.chopped(LogExtension.size());

    // Claim a name no other log has, so two logs in one minute both survive; creating the
    // file exclusively settles a race between two writers.
    QString path = joined(folder, baseName);
    for (int number = 2;; ++number) {
        QFile claim(path);
        if (claim.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        // Nothing there, yet no file could be made: the folder takes none of that name.
        if (!claim.exists() || number >= LogNumbers)
            return QString();
        path = joined(folder, NumberedLogName.arg(stem).arg(number) + LogExtension);
    }
    QSaveFile output(path);
    const QByteArray bytes = content.toUtf8();
    if (!output.open(QIODevice::WriteOnly) || output.write(bytes) != bytes.size()
        || !output.commit()) {
        QFile::remove(path);
        return QString();
    }
    return path;
}
