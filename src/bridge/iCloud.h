#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

// The cloud documents store: documents kept in the "Documents" folder of the cloud
// container, which every machine sharing the container sees. The container is the
// folder $KIVOTAB_CLOUD, or "cloud" under the application home. Made once.
class iCloud {
public:
    // The saved document's address (empty on failure), the data given, and the error
    // that stopped the save (null when it went through).
    using SaveCompletion = std::function<void(
        const QUrl& document, const QByteArray& data, const platform::Error& error)>;

    static iCloud& sharedCloud();

    // The container's "Documents" folder, made when missing; empty when it cannot be made.
    QUrl ubiquitousDocumentsDirectoryURL();

    // Saves the data as the document of that name, replacing one of the same name, off
    // the main thread. The data goes to a temporary name and is renamed into place, so a
    // failed save leaves an earlier document whole. The completion runs on the main queue.
    // An empty name, a name that is not a plain file name (a folder separator, "." or
    // ".."), a folder that cannot be made and a failed write are errors.
    void saveAndCloseDocumentWithName(
        const QString& name, const QByteArray& content, SaveCompletion completion);

    // Fetches the document of that name off the main thread; the handler runs on the main
    // queue with its local address, or with an empty one when it cannot be had: a name
    // that is not a plain file name, a missing or unreadable document. The user is told
    // why before the handler runs.
    using RetrieveHandler = std::function<void(const QUrl& document)>;
    void retrieveDocuemnt(const QString& name, RetrieveHandler handler);

    static const QString DocumentsFolder; // "Documents"
    static const QString CloudFolderVariable; // "KIVOTAB_CLOUD"
    static const QString DefaultCloudFolder; // "cloud"
    static const QString ErrorDomain; // "NSCocoaErrorDomain"
    enum { InvalidFileNameError = 514, WriteUnknownError = 512, ReadNoSuchFileError = 260 };

private:
    iCloud() = default;
};
