#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

namespace platform::coredata {

// The cloud folder of one account, held open while it is used: what is made, written, read
// or removed inside it goes into this very folder, wherever it lies by then, never into
// whatever has taken its path meanwhile (another account's folder, an empty mount point).
// Paths are given whole; those outside the cloud folder are used as they stand.
class AccountFolder {
public:
    // The cloud folder now at its path, when it holds the account's token; none otherwise.
    static std::unique_ptr<AccountFolder> open(const QVariant& token);
    ~AccountFolder();
    AccountFolder(const AccountFolder&) = delete;
    AccountFolder& operator=(const AccountFolder&) = delete;

    // Whether the cloud folder's path still leads to this folder, and it still holds the token.
    bool isInPlace() const;

    // Makes the folder and those above it, up to the cloud folder (never that one itself).
    bool makeFolder(const QString& path, QString* problem = nullptr);
    // Writes the file whole: aside, in its folder, then renamed over the old one, but only
    // while this folder is in place and `stillWanted` (asked last, just before the rename)
    // agrees; the file aside is removed otherwise. True only when the file is in place and
    // this folder still is after the rename (a false after the rename leaves the file whole
    // in this account's folder, wherever that now lies).
    bool writeFile(const QString& path, const QByteArray& bytes, QString* problem = nullptr,
        const std::function<bool()>& stillWanted = {});
    // The file's bytes; none when it is missing (`missing` set) or cannot be read.
    std::optional<QByteArray> readFile(const QString& path, bool* missing = nullptr) const;
    bool exists(const QString& path) const;
    // The names of the folders inside the folder (none when it is missing).
    QStringList folders(const QString& path) const;
    bool removeFile(const QString& path);
    // A folder inside this one, held open in turn: reading many files of one folder through
    // it costs one look each, however deep it lies. None when it is missing.
    std::unique_ptr<AccountFolder> subfolder(const QString& path) const;

private:
    AccountFolder(int descriptor, QString root, QVariant token);
    // The folder that holds the path, opened (-1 when missing) and the item's name. With
    // `make`, the folders on the way are made.
    int openParent(const QString& path, bool make, QString* name, QString* problem) const;
    int openFolder(const QString& path, bool make, QString* problem) const;
    bool holdsToken() const;

    int m_descriptor;
    QString m_root;
    QVariant m_token;
};

} // namespace platform::coredata
