#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// Where a screen saves a document into the cloud documents folder. The files layer above
// installs its cloud store when the application starts; with none installed a save fails
// with an error.
class CloudDocumentService {
public:
    // Runs on the main queue; a null error when the document was saved.
    using Completion = std::function<void(const platform::Error& error)>;

    virtual ~CloudDocumentService();

    // Saves the data as the document of that name, replacing one of the same name.
    virtual void saveAndCloseDocumentWithName(
        const QString& name, const QByteArray& content, Completion completion)
        = 0;

    // The installed service, or null.
    static CloudDocumentService* instance();
    static void install(std::unique_ptr<CloudDocumentService> service);
};
