#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

// Where a screen saves a document into the cloud documents folder. The files layer above
// installs its cloud store when the application starts; with none installed a save fails
// with an error.
class CloudDocumentService {
public:
    // Runs on the main queue; a null error when the document was saved.
    using Completion = std::function<void(const platform::Error& error)>;

    // Runs on the main queue with the document's local address, or an empty one when it
    // could not be had (the service has told the user why).
    using RetrieveHandler = std::function<void(const QUrl& document)>;

    virtual ~CloudDocumentService();

    // Saves the data as the document of that name, replacing one of the same name.
    virtual void saveAndCloseDocumentWithName(
        const QString& name, const QByteArray& content, Completion completion)
        = 0;
    // Fetches the document of that name; without a cloud store nothing can be had.
    virtual void retrieveDocuemnt(const QString& name, RetrieveHandler handler);
    // The folder the documents are kept in; empty without a cloud store.
    virtual QString documentsFolder() { return {}; }

    // The installed service, or null.
    static CloudDocumentService* instance();
    static void install(std::unique_ptr<CloudDocumentService> service);
};
