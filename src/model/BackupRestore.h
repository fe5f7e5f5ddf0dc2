#pragma once

#include "model/ZipFacade.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

// Backs the whole store up into a password-protected ZIP archive of five JSON entity
// files (the JSON record form), and replaces the whole store with the content of such an
// archive. One object per operation; it works in a private temporary folder of its own
// that it removes again.
//
// A restore never costs the user the data they have: every file is read, decrypted,
// parsed and checked before the store is touched, and the store is then emptied and
// refilled in one transaction. A failure of any kind leaves the stored data as it was,
// and the operation answers false, with the reason shown to the user and kept in
// errorMessage().
//
// Runs on the main thread, where the context is used.
class BackupRestore {
public:
    BackupRestore() = default;
    // Removes the temporary folder when it is still there.
    ~BackupRestore();
    BackupRestore(const BackupRestore&) = delete;
    BackupRestore& operator=(const BackupRestore&) = delete;

    // A new, empty temporary folder; the previous one is removed.
    void prepare();
    // Writes the archive at the path, replacing a file there only once the new archive is
    // complete. False when any of the five entries could not be written.
    bool backup(const QString& path);
    // Extracts the archive into a new temporary folder. False (the folder removed) when
    // it cannot be opened or any entry fails to extract or verify.
    bool unzipArchive(const QString& path);
    // After unzipArchive: checks the extracted files and replaces the store with their
    // records. The path is not used. Removes the temporary folder.
    bool restore(const QString& path);
    // Removes the temporary folder and its content; errors are ignored.
    void close();

    QString databaseFile() const;
    QString templateFile() const;
    QString templatecolumnFile() const;
    QString usertemplateFile() const;
    QString rowsFile() const;

    // Each writes the entity's records in the JSON record form to its file, atomically.
    bool backupDatabase();
    bool backupTemplate();
    bool backupTemplateColumn();
    bool backupUserTemplate();
    bool backupRows();

    // Why the last operation failed; empty after a success.
    QString errorMessage() const { return m_errorMessage; }
    // Reports the entries written by a backup and extracted by a restore.
    void setProgressBlock(ZipFacade::ProgressBlock block) { m_progressBlock = std::move(block); }

    // The name a new backup is offered under: "Backup_%@.zip" with the date and time in a
    // fixed form that is safe in a file name ("2024-03-05_14-30-00").
    static QString backupFileName(const QDateTime& date = QDateTime::currentDateTime());

    static const QString BackupFileFormat; // "Backup_%@.zip"
    static const QString RestoreFileName; // "backup.zip"
    static const QString ArchiveFileType; // "zip"
    static const QString DatabaseEntry; // "database.json"
    static const QString TemplateEntry; // "template.json"
    static const QString TemplateColumnEntry; // "templatecolumn.json"
    static const QString UserTemplateEntry; // "usertemplate.json"
    static const QString RowsEntry; // "rows.json"

    // Message texts (looked up for translation; "%@" stands for a file or detail).
    static const QString NoTemporaryFolder;
    static const QString EntryNotWritten;
    static const QString ArchiveNotCreated;
    static const QString ArchiveNotFinished;
    static const QString ArchiveNotOpened;
    static const QString ArchiveWrongPassword;
    static const QString ArchiveDamaged;
    static const QString NothingExtracted;
    static const QString FileMissing;
    static const QString FileUnreadable;
    static const QString FileNotJSON;
    static const QString FileNotRecords;
    static const QString NoStore;
    static const QString StoreNotRead;
    static const QString StoreNotSaved;

private:
    // The password every backup archive is made and opened with.
    static const QString ArchivePassword;

    QString entryPath(const QString& entry) const;
    bool writeEntity(const QString& entry, const QByteArray& json);
    bool fail(const QString& message);

    QUrl m_tempDir;
    QString m_errorMessage;
    ZipFacade::ProgressBlock m_progressBlock;
};
