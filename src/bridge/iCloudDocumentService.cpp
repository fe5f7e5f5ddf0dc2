#include "bridge/iCloudDocumentService.h"

#include "bridge/iCloud.h"

void iCloudDocumentService::saveAndCloseDocumentWithName(
    const QString& name, const QByteArray& content, Completion completion)
{
    iCloud::sharedCloud().saveAndCloseDocumentWithName(name, content,
        [completion = std::move(completion)](
            const QUrl&, const QByteArray&, const platform::Error& error) {
            if (completion)
                completion(error);
        });
}

void iCloudDocumentService::retrieveDocuemnt(const QString& name, RetrieveHandler handler)
{
    iCloud::sharedCloud().retrieveDocuemnt(name, std::move(handler));
}

QString iCloudDocumentService::documentsFolder()
{
    return iCloud::sharedCloud().ubiquitousDocumentsDirectoryURL().toLocalFile();
}

void iCloudDocumentService::install()
{
    CloudDocumentService::install(std::make_unique<iCloudDocumentService>());
}
