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
const QString NullArgument
    = QStringLiteral("*** +[FileManager getChilds]: the folder argument is null.");
const QString NumberedLogName = QStringLiteral("%1 (%2)");

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

// The node's path from its parent's path and its name; a node without a parent keeps the
// path it has, or lies in Documents.
QString pathOf(const FileInfo& node)
{
    if (node.parent)
        return QDir(node.parent->fullName).filePath(node.name);
    if (!node.fullName.isEmpty())
        return node.fullName;
    return QDir(FileManager::documentsDirectory()).filePath(node.name);
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
        child->fullName = directory.filePath(child->name);
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
    if (QFileInfo::exists(directory.fullName)) {
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
    const QString path = QDir(documentsDirectory()).filePath(name);
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
    QFile output(path);
    const QByteArray bytes = content.toUtf8();
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || output.write(bytes) != bytes.size() || !output.flush())
        raise(FileWriteUnknownError, CannotSave.arg(file.name), path);
}

QString FileManager::readtTextFile(const FileInfo& file)
{
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
    const QString baseName = LogFileFormat.arg(fileNamePart(name),
        fileNamePart(KivoDateUtils::getDateTimeString(QDateTime::currentDateTime())));
    const QString stem = baseName.chopped(4); // without ".txt"
    const QDir directory(folder);

    // Claim a name no other log has, so two logs in one minute both survive; creating the
    // file exclusively settles a race between two writers.
    QString path = directory.filePath(baseName);
    for (int number = 2; number < 10000; ++number) {
        QFile claim(path);
        if (claim.open(QIODevice::WriteOnly | QIODevice::NewOnly) || !claim.exists())
            break;
        path = directory.filePath(NumberedLogName.arg(stem).arg(number) + QStringLiteral(".txt"));
    }
    QSaveFile output(path);
    if (output.open(QIODevice::WriteOnly)) {
        output.write(content.toUtf8());
        output.commit();
    }
    return path;
}
