#pragma once

#include "utilities/shell/FileInfo.h"

#include <QList>
#include <QString>

#include <memory>

// Files and folders of the Documents folder, the one the file-browser screens show, as a
// tree of FileInfo nodes. Failures are raised as TalloxException (through
// MessageHelper::throwIfError) for the screen to catch and show. A node's name is always
// one plain name inside its parent folder (whatever its first character); nothing is
// written, made or removed outside Documents, links included.
class FileManager {
public:
    FileManager() = delete;

    static QString documentsDirectory();
    // The top node: "Documents", a folder, no parent, the Documents path.
    static std::shared_ptr<FileInfo> getHomeDirectory();
    // One node per entry of the folder, one level, in the order the file system lists
    // them; raises when the folder cannot be listed.
    static QList<std::shared_ptr<FileInfo>> getChilds(const std::shared_ptr<FileInfo>& folder);
    static QList<std::shared_ptr<FileInfo>> getHomeDirectoryContents();

    // Creates the node's folder inside its parent (which must exist) and stores the new
    // path in `fullName`. When something is there already it shows "Folder already
    // exists." and answers false.
    [[nodiscard]] static bool createDirectory(FileInfo& directory);
    // The path of the folder inside Documents, created when missing; null when it cannot
    // be made or leads out of Documents (nothing is shown).
    [[nodiscard]] static QString createDirectoryName(const QString& name);
    static bool isFileExists(const FileInfo& file);
    // Stores the path in `fullName` and removes what is there (a folder with its contents,
    // a link alone); nothing when it is already gone.
    static void removeFileInfo(FileInfo& file);
    // Writes the text as UTF-8, replacing the file; refused through a link that leads out
    // of Documents.
    static void writeToTextFile(const FileInfo& file, const QString& content);
    // The file's text; a byte-order mark picks the encoding, else UTF-8, else Latin-1.
    static QString readtTextFile(const FileInfo& file);
    // Writes an import log into "logs" in Documents, named "<name>_<date and time>.txt"
    // (made safe for a file name, shortened to what the file system takes, and unique);
    // answers its path, or null when no file could be written there.
    [[nodiscard]] static QString writeLogFile(const QString& name, const QString& content);

    static const QString HomeName; // "Documents"
    static const QString LogsFolder; // "logs"
    static const QString LogFileFormat; // "%1_%2.txt"
};
