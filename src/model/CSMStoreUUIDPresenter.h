#pragma once

#include "model/CSMFileContentPresenter.h"

// Watches the StoreUUID marker: a new identity from another machine reloads the store, the
// marker's deletion means the cloud data was deleted, and of conflicting identities the
// oldest stays, so that every machine settles on the one that was there first.
class CSMStoreUUIDPresenter : public CSMFileContentPresenter {
public:
    static std::shared_ptr<CSMStoreUUIDPresenter> initWithUSM(CloudStoreManager& manager);
    CSMStoreUUIDPresenter(const QUrl& url, CloudStoreManager& manager);

    void accommodatePresentedItemDeletion(
        std::function<void(const platform::Error&)> completion) override;
    void presentedItemDidChange() override;
    void presentedItemDidGainVersion(const platform::coredata::FileVersion&) override;
    void presentedItemDidLoseVersion(const platform::coredata::FileVersion&) override;
    void presentedItemDidResolveConflictVersion(const platform::coredata::FileVersion&) override;
    platform::coredata::FileVersion resolutionVersionForConflictVersions(
        const QList<platform::coredata::FileVersion>& versions) override;
};
