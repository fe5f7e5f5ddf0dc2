#include "model/CSMLocalStoreFilePresenter.h"

#include "model/CloudStoreManager.h"

std::shared_ptr<CSMLocalStoreFilePresenter> CSMLocalStoreFilePresenter::initWithUSM(
    CloudStoreManager& manager)
{
    return std::make_shared<CSMLocalStoreFilePresenter>(manager.URLForLocalStore(), manager);
}

CSMLocalStoreFilePresenter::CSMLocalStoreFilePresenter(const QUrl& url, CloudStoreManager& manager)
    : CSMFilePresenter(url, manager, "CSMLocalStoreFilePresenter")
{
}

void CSMLocalStoreFilePresenter::accommodatePresentedItemDeletion(
    std::function<void(const platform::Error&)> completion)
{
    if (!callDelegate([&](CloudStoreManager& manager) {
            manager.accommodateLocalDeletionWithCompletionHandler(completion);
        }))
        completion(platform::Error());
}
