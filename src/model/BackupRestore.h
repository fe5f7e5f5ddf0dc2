#pragma once

#include "model/ZipFacade.h"

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace platform::coredata {
class ManagedObjectModel;
}

// Backs the whole store up into a password-protected ZIP archive of five JSON entity
// files (the JSON record form), and replaces the whole store with the content of such an
// archive. One object per operation.
//
// A restore never costs the user the data they have: every file is read, decrypted,
// CRC-checked, parsed and checked before the store is touched, and the store is then
// emptied and refilled in one transaction. A failure of any kind leaves the stored data
// as it was and answers false, with the reason shown to the user and kept in
// errorMessage(). A backup answers true only when all five entries were written, and
// replaces a file at its path only with a complete archive.
//
// The entity files pass through memory, not through files of their own. Runs on the
// main thread, where the context is used.
class BackupRestore {
public:
    BackupRestore() = default;

    // Writes the archive at the path.
    bool backup(const QString& path);
    // Reads and checks the archive's entries, keeping them for restore(). False when it
    // cannot be opened or any entry fails to decrypt or verify.
    bool unzipArchive(const QString& path);
    // After unzipArchive: checks the entity files and replaces the store with their
    // records. The path is not used. Drops the entries read.
    bool restore(const QString& path);
    // Drops the entries read by unzipArchive.
    void close();

    // Why the last operation failed; empty after a success.
    QString errorMessage() const { return m_errorMessage; }
    // Reports the entries written by a backup and read by unzipArchive.
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
    static const QString BackupNotRead;
    static const QString EntryNotWritten;
    static const QString ArchiveNotCreated;
    static const QString ArchiveNotFinished;
    static const QString ArchiveNotOpened;
    static const QString ArchiveWrongPassword;
    static const QString ArchiveDamaged;
    static const QString NothingRead;
    static const QString FileMissing;
    static const QString FileNotJSON;
    static const QString FileNotRecords;
    static const QString NoStore;
    static const QString StoreNotRead;
    static const QString StoreNotSaved;

private:
    // The password every backup archive is made and opened with.
    static const QString ArchivePassword;

    bool fail(const QString& message);

    QMap<QString, QByteArray> m_entries;
    // The rows file's records, read while it was unpacked, with the model they were read
    // for; restore() reads the file again for another model.
    std::shared_ptr<const platform::coredata::ManagedObjectModel> m_rowsModel;
    std::optional<std::vector<QList<QVariant>>> m_rows;
    bool m_unzipped = false;
    QString m_errorMessage;
    ZipFacade::ProgressBlock m_progressBlock;
};
