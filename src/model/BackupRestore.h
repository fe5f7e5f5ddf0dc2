#pragma once

#include "model/ZipFacade.h"
#include "platform/coredata/ManagedObjectContext.h"
#include "utilities/store/JSONRecordReader.h"

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace platform::coredata {
class EntityDescription;
class ManagedObjectModel;
} // namespace platform::coredata

// Backs the whole store up into a password-protected ZIP archive of five JSON entity
// files (the JSON record form), and replaces the whole store with the content of such an
// archive. One object per operation.
//
// A restore never costs the user the data they have: the store is emptied and refilled
// in one transaction, committed only once every file was read, decrypted, CRC-checked,
// parsed and checked. A failure of any kind leaves the stored data as it was and answers
// false, with the reason shown to the user and kept in errorMessage(). A backup answers
// true only when all five entries were written, and replaces a file at its path only
// with a complete archive.
//
// The entity files pass through memory, not through files of their own. In an archive of
// just the five files, the rows file is unpacked and read while its records are written:
// the transaction begins only once the archive shows all five, the small files were read
// and checked (which proves the password) and the rows file began to unpack; any fault
// found later rolls it back. Runs on the main thread, where the context is used.
class BackupRestore {
public:
    BackupRestore() = default;

    // Writes the archive at the path.
    bool backup(const QString& path);
    // Reads and checks the archive's entries, keeping them for restore(). False when it
    // cannot be opened or an entry read fails to decrypt or verify. The rows file of an
    // archive of just the five files is left for restore(), which keeps the archive open.
    bool unzipArchive(const QString& path);
    // After unzipArchive: checks the entity files and replaces the store with their
    // records. The path is not used. Drops the entries read and closes the archive.
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
    static const QString ArchiveWrongPasswordOrDamaged;
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

    struct ZipErrors;

    bool fail(const QString& message);
    // The message for an entity file that is no valid list of its records.
    bool failFile(const QString& entry, const JSONRecordReader::Failure& failure);
    // The message for an archive the facade could not read, with its last error.
    bool failUnzip(const QString& zipError);
    // The message for an unpacking that failed, with the entry refused at its first bytes
    // (empty when none was) and the facade's last error.
    bool failUnpacking(const QString& refusedEntry, const JSONRecordReader::Failure& failure,
        const QString& zipError);
    // Replaces the store with the files' records and those of the rows file, which is
    // unpacked from the open archive and written as it is read.
    bool restoreWhileUnpacking(
        std::vector<platform::coredata::ManagedObjectContext::EntityContent>&& files,
        const platform::coredata::EntityDescription& rows);

    QMap<QString, QByteArray> m_entries;
    // The rows file's records, read while it was unpacked, with the model they were read
    // for; restore() reads the file again for another model.
    std::shared_ptr<const platform::coredata::ManagedObjectModel> m_rowsModel;
    std::optional<std::vector<QList<QVariant>>> m_rows;
    // The archive whose rows file restore() reads, with its errors; none when every
    // entry was read by unzipArchive.
    std::unique_ptr<ZipFacade> m_zip;
    std::shared_ptr<ZipErrors> m_zipErrors;
    bool m_unzipped = false;
    QString m_errorMessage;
    ZipFacade::ProgressBlock m_progressBlock;
};
