#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QUrl>
#include <QVariant>

namespace platform::coredata {

// One version of a file in the cloud: the current one, or a conflicting one, which the
// cloud keeps when two machines wrote the file without having seen each other's write.
// Conflict versions lie beside the file in the hidden folder ".<name>.conflicts", one file
// per version named "<milliseconds since 1970>-<random>" after its modification time; the
// version is resolved when that file is gone.
class FileVersion {
public:
    FileVersion() = default;

    bool isValid() const { return !m_url.isEmpty(); }
    // Where the version's content lies (the file itself for the current version).
    const QUrl& URL() const { return m_url; }
    const QDateTime& modificationDate() const { return m_modificationDate; }
    bool isConflict() const { return m_conflict; }
    bool isResolved() const;
    // Resolving a conflict version drops it; the current version stays.
    bool setResolved(bool resolved, Error* error = nullptr) const;

    // Writes this version's content over the item (to a temporary name, then renamed), in
    // the cloud folder only while it holds the account's token (CloudContainer::writeFile).
    bool replaceItemAtURL(const QUrl& url, const QVariant& token, Error* error = nullptr) const;
    // The same for the account whose token the cloud folder holds now.
    bool replaceItemAtURL(const QUrl& url, Error* error = nullptr) const;

    // An invalid version when there is no file.
    static FileVersion currentVersionOfItemAtURL(const QUrl& url);
    static QList<FileVersion> unresolvedConflictVersionsOfItemAtURL(const QUrl& url);
    // Keeps content of the item, last changed at `date`, as a conflict version; in the cloud
    // folder only while it holds the account's token, as every write there.
    static FileVersion addConflictVersion(const QUrl& url, const QByteArray& content,
        const QDateTime& date, const QVariant& token, Error* error = nullptr);
    // The same for the account whose token the cloud folder holds now.
    static FileVersion addConflictVersion(
        const QUrl& url, const QByteArray& content, const QDateTime& date, Error* error = nullptr);
    // ".<name>.conflicts" beside the item.
    static QString conflictFolder(const QUrl& url);

    bool operator==(const FileVersion& other) const { return m_url == other.m_url; }

private:
    QUrl m_url;
    QDateTime m_modificationDate;
    bool m_conflict = false;
};

} // namespace platform::coredata
