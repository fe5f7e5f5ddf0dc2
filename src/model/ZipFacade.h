#pragma once

#include "model/ZipFacadeDelegate.h"

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringConverter>
#include <QStringList>

#include <functional>
#include <memory>

// Writes and reads ZIP archives through minizip: entries deflated at the default level,
// optionally encrypted with the traditional PKWARE scheme under a password, dates in
// the format's packed DOS date and time, CRC checked on extraction. One object may have
// one archive open for writing and one for reading at the same time.
//
// An archive being written lives under a temporary name beside its path and is renamed
// into place only when it was closed completely, so a failed write never leaves half an
// archive where a good one was. Extraction likewise writes each file under a temporary
// name and renames it into place once its CRC was checked.
class ZipFacade {
public:
    // After each entry extracted: the percentage done, the entries done, the entry count.
    using ProgressBlock = std::function<void(int percent, int done, int count)>;

    ZipFacade();
    // Closes what is still open; an archive being written that was never closed is
    // unfinished and is thrown away.
    ~ZipFacade();
    ZipFacade(const ZipFacade&) = delete;
    ZipFacade& operator=(const ZipFacade&) = delete;

    // The entry count of the archive open for reading.
    int numFiles() const { return m_numFiles; }
    // Empty means no encryption.
    QString password() const { return m_password; }
    void setPassword(const QString& password) { m_password = password; }
    std::shared_ptr<ZipFacadeDelegate> delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<ZipFacadeDelegate> delegate)
    {
        m_delegate = std::move(delegate);
    }
    ProgressBlock progressBlock() const { return m_progressBlock; }
    void setProgressBlock(ProgressBlock block) { m_progressBlock = std::move(block); }
    // Full paths written by the last extraction, in archive order.
    QStringList unzippedFiles() const { return m_unzippedFiles; }
    // Encoding of entry names (UTF-8 unless set).
    QStringConverter::Encoding stringEncoding() const { return m_stringEncoding; }
    void setStringEncoding(QStringConverter::Encoding encoding) { m_stringEncoding = encoding; }

    // Starts a new archive for the path (an existing file there is replaced at the close).
    // False when it cannot be made or an archive is already being written.
    bool CreateZipFile2(const QString& path);
    bool CreateZipFile2(const QString& path, const QString& password);
    // Adds the whole content of the file as an entry of that name, dated with the file's
    // modification time. False, adding nothing, when no archive is open or the file
    // cannot be read; false too when minizip fails.
    bool addFileToZip(const QString& path, const QString& newname);
    // The same with content from memory, dated as given.
    bool addDataToZip(const QByteArray& data, const QString& newname, const QDateTime& modified);
    // Finishes the archive and moves it into place. Clears the password. False when none
    // is open or it could not be finished (the old file at the path then stays).
    bool CloseZipFile2();

    // Opens the archive for reading. False when it cannot be opened (missing, no ZIP, its
    // directory damaged) or one is already open.
    bool UnzipOpenFile(const QString& path);
    bool UnzipOpenFile(const QString& path, const QString& password);
    // Extracts every entry under the folder. Stops with false at the first entry that
    // cannot be read, decrypted or written, that fails its CRC check, or whose name would
    // lead outside the folder. Without overwriting, an existing file is replaced only when
    // the delegate allows it; a file kept so is not a failure. Reading, here and below,
    // begins only once the password passed the check of every encrypted entry.
    bool UnzipFileTo(const QString& path, bool overWrite);
    // Reads every file entry into memory (entry name -> content), checked as extraction
    // checks them; false at the first entry that fails.
    bool UnzipFilesToData(QMap<QString, QByteArray>& files);
    // Told, while an entry is read into memory, that the first `written` bytes of its
    // content are in place; the content stays at the same address while it is read and,
    // once read, while it is kept. Told -1 when the entry failed: its content goes then.
    // Answering false stops the reading, which then fails; encrypted content is still
    // read to its end, unseen, to tell whether it was sound (a wrong password that passed
    // the check otherwise).
    using DataWritten
        = std::function<bool(const QString& name, const QByteArray& content, qsizetype written)>;
    bool UnzipFilesToData(QMap<QString, QByteArray>& files, const DataWritten& written);
    // The same for the file entries of those names only; the others are skipped unread.
    bool UnzipFilesToData(QMap<QString, QByteArray>& files, const QStringList& names,
        const DataWritten& written = {});
    // The entry names of the open archive, in archive order.
    QStringList getZipFileContents();
    // Clears the password. True when nothing was open.
    bool UnzipCloseFile();

    // Error texts given to the delegate.
    static const QString FailedMessage; // "Failed"
    static const QString OpenEntryFailedMessage; // "Error occurs"
    static const QString FileInfoFailedMessage; // "Error occurs while getting file info"
    static const QString ReadFailedMessage; // "Failed to read zip file"
    static const QString OpenOutputFailedMessage; // "Failed to open output file for writing"
    static const QString WriteOutputFailedMessage;
    static const QString CrcFailedMessage; // "file was unzipped but failed crc check"
    static const QString UnsafeNameMessage;
    static const QString WrongPasswordMessage;
    // Enciphered content that fails after its password check passed: the check is one
    // byte, so a wrong password passes it one time in 256, and its content then fails as
    // damaged content does.
    static const QString WrongPasswordOrDamagedMessage;

private:
    void OutputErrorMessage(const QString& message) const;
    bool OverWrite(const QString& path) const;
    QByteArray encodedName(const QString& name) const;
    QString decodedName(const QByteArray& name) const;
    struct Entry {
        QString name;
        bool isFolder = false;
        unsigned long flag = 0;
        unsigned long method = 0;
        unsigned long crc = 0;
        unsigned long dosDate = 0;
        quint64 size = 0;
        quint64 compressedSize = 0;
    };
    // Whether the password passes the check of every encrypted entry; the delegate is told
    // when it does not.
    bool checkPassword();
    // Whether the entry's compressed bytes, as far as the archive holds them, can make the
    // size it claims.
    bool isPlausible(const Entry& entry) const;
    // Calls the handler for every entry whose name is safe, reporting progress after each;
    // false at the first failure (the delegate told) or when the handler answers false.
    // With names, only for the entries of those names.
    bool forEachEntry(
        const std::function<bool(const Entry&)>& handle, const QStringList* names = nullptr);
    // Deciphers, inflates and checks the current entry, passing its content on in pieces.
    // With `into`, inflated content is made in place there, from its start, as far as it
    // has room; a piece passed on then lies where it belongs in it.
    bool readCurrent(const Entry& entry, const std::function<bool(const char*, qsizetype)>& deliver,
        QByteArray* into = nullptr);
    void discardZip();

    void* m_zip = nullptr;
    void* m_unzip = nullptr;
    QString m_zipPath;
    QString m_zipTempPath;
    int m_numFiles = 0;
    // Open for reading an archive without entries, which minizip cannot open.
    bool m_openWithoutEntries = false;
    quint64 m_archiveSize = 0;
    QString m_password;
    std::shared_ptr<ZipFacadeDelegate> m_delegate;
    ProgressBlock m_progressBlock;
    QStringList m_unzippedFiles;
    QStringConverter::Encoding m_stringEncoding = QStringConverter::Utf8;
};
