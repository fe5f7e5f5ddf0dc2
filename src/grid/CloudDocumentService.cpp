#include "grid/CloudDocumentService.h"

namespace {

std::unique_ptr<CloudDocumentService>& installed()
{
    static std::unique_ptr<CloudDocumentService> service;
    return service;
}

} // namespace

CloudDocumentService::~CloudDocumentService() = default;

void CloudDocumentService::retrieveDocuemnt(const QString&, RetrieveHandler handler)
{
    if (handler)
        handler(QUrl());
}

CloudDocumentService* CloudDocumentService::instance()
{
    return installed().get();
}

void CloudDocumentService::install(std::unique_ptr<CloudDocumentService> service)
{
    installed() = std::move(service);
}
