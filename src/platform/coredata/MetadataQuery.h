#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <memory>

namespace platform::coredata {

// Finds files in the cloud by name and tells when what it found changes. The cloud is a
// folder (see CloudContainer), so a query is a scan of it: again whenever its top folder
// changes and at the poll interval. After start, the first scan posts
// DidFinishGatheringNotification; every later scan whose results differ (a file found,
// gone or changed) posts DidUpdateNotification, on the scanning thread, with the query as
// object, unless updates are disabled (then once they are enabled again).
class MetadataQuery {
public:
    static const QString
        DidFinishGatheringNotification; // "NSMetadataQueryDidFinishGatheringNotification"
    static const QString DidUpdateNotification; // "NSMetadataQueryDidUpdateNotification"
    static const QString UbiquitousDataScope; // "NSMetadataQueryUbiquitousDataScope"
    static const QString ItemFSNameKey; // "kMDItemFSName"
    static const QString ItemURLKey; // "kMDItemURL"

    MetadataQuery();
    ~MetadataQuery();
    MetadataQuery(const MetadataQuery&) = delete;
    MetadataQuery& operator=(const MetadataQuery&) = delete;

    // Folders to search, or UbiquitousDataScope for every container of the cloud.
    void setSearchScopes(const QStringList& scopes);
    // Files whose name equals `name` ("%K == %@" with ItemFSNameKey).
    void setFileNamePredicate(const QString& name);

    // False when the query is already running.
    bool start();
    void stop();
    bool isStarted() const;
    void disableUpdates();
    void enableUpdates();

    int resultCount() const;
    // The value of ItemFSNameKey or ItemURLKey of one result.
    QVariant valueOfAttribute(int index, const QString& attribute) const;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

} // namespace platform::coredata
