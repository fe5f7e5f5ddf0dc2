#pragma once

#include "grid/CloudDocumentService.h"

// The cloud documents store as the screens reach it to save a document.
class iCloudDocumentService : public CloudDocumentService {
public:
    void saveAndCloseDocumentWithName(
        const QString& name, const QByteArray& content, Completion completion) override;
    void retrieveDocuemnt(const QString& name, RetrieveHandler handler) override;
    QString documentsFolder() override;

    // Makes the cloud documents store the one the screens save into.
    static void install();
};
