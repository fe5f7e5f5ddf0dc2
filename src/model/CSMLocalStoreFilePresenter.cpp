#include "model/CSMLocalStoreFilePresenter.h"

#include "model/CloudStoreManager.h"

std::shared_ptr<CSMLocalStoreFilePresenter> CSMLocalStoreFilePresenter::initWithUSM(
    const std::shared_ptr<CloudStoreManager>& manager)
{
    return std::make_shared<CSMLocalStoreFilePresenter>(manager->URLForLocalStore(), manager);
}

CSMLocalStoreFilePresenter::CSMLocalStoreFilePresenter(
    const QUrl& url, const std::shared_ptr<CloudStoreManager>& manager)
    : CSMFilePresenter(url, manager, "CSMLocalStoreFilePresenter")
{
}

void CSMLocalStoreFilePresenter::accommodatePresentedItemDeletion(
    std::function<void(const platform::Error&)> completion)
{
    if (auto manager = delegate())
        manager->accommodateLocalDeletionWithCompletionHandler(completion);
    else
        completion(platform::Error());
}
