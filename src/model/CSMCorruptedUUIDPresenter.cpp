#include "model/CSMCorruptedUUIDPresenter.h"

#include "model/CloudStoreManager.h"

#include <algorithm>

using platform::coredata::FileVersion;

std::shared_ptr<CSMCorruptedUUIDPresenter> CSMCorruptedUUIDPresenter::initWithUSM(
    CloudStoreManager& manager)
{
    return std::make_shared<CSMCorruptedUUIDPresenter>(manager.URLForCloudCorruptedUUID(), manager);
}

CSMCorruptedUUIDPresenter::CSMCorruptedUUIDPresenter(const QUrl& url, CloudStoreManager& manager)
    : CSMFileContentPresenter(url, manager, "CSMCorruptedUUIDPresenter")
{
}

void CSMCorruptedUUIDPresenter::presentedItemDidChange()
{
    callDelegate([](CloudStoreManager& manager) { manager.corruptedUUIDDidChange(); });
}

void CSMCorruptedUUIDPresenter::presentedItemDidGainVersion(const FileVersion&)
{
    handleConflicts();
}

void CSMCorruptedUUIDPresenter::presentedItemDidLoseVersion(const FileVersion&)
{
    handleConflicts();
}

void CSMCorruptedUUIDPresenter::presentedItemDidResolveConflictVersion(const FileVersion&)
{
    handleConflicts();
}

FileVersion CSMCorruptedUUIDPresenter::resolutionVersionForConflictVersions(
    const QList<FileVersion>& versions)
{
    QList<FileVersion> sorted = versions;
    std::stable_sort(sorted.begin(), sorted.end(), [](const FileVersion& a, const FileVersion& b) {
        return a.modificationDate() < b.modificationDate();
    });
    return sorted.isEmpty() ? FileVersion() : sorted.last();
}
