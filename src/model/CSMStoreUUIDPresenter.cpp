#include "model/CSMStoreUUIDPresenter.h"

#include "model/CloudStoreManager.h"

#include <algorithm>

using platform::coredata::FileVersion;

std::shared_ptr<CSMStoreUUIDPresenter> CSMStoreUUIDPresenter::initWithUSM(
    CloudStoreManager& manager)
{
    return std::make_shared<CSMStoreUUIDPresenter>(manager.URLForCloudStoreUUID(), manager);
}

CSMStoreUUIDPresenter::CSMStoreUUIDPresenter(const QUrl& url, CloudStoreManager& manager)
    : CSMFileContentPresenter(url, manager, "CSMStoreUUIDPresenter")
{
}

void CSMStoreUUIDPresenter::accommodatePresentedItemDeletion(
    std::function<void(const platform::Error&)> completion)
{
    if (!callDelegate([&](CloudStoreManager& manager) {
            manager.accommodateCloudDeletionWithCompletionHandler(completion);
        }))
        completion(platform::Error());
}

void CSMStoreUUIDPresenter::presentedItemDidChange()
{
    handleConflicts();
    callDelegate([](CloudStoreManager& manager) { manager.storeUUIDDidChange(); });
}

void CSMStoreUUIDPresenter::presentedItemDidGainVersion(const FileVersion&)
{
    handleConflicts();
}

void CSMStoreUUIDPresenter::presentedItemDidLoseVersion(const FileVersion&)
{
    handleConflicts();
}

void CSMStoreUUIDPresenter::presentedItemDidResolveConflictVersion(const FileVersion&)
{
    handleConflicts();
}

FileVersion CSMStoreUUIDPresenter::resolutionVersionForConflictVersions(
    const QList<FileVersion>& versions)
{
    QList<FileVersion> sorted = versions;
    std::stable_sort(sorted.begin(), sorted.end(), [](const FileVersion& a, const FileVersion& b) {
        return a.modificationDate() < b.modificationDate();
    });
    return sorted.isEmpty() ? FileVersion() : sorted.first();
}
