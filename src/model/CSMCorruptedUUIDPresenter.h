#pragma once

#include "model/CSMFileContentPresenter.h"

// Watches the CorruptedUUID marker: a corruption mark set or cleared by another machine is
// handled, and of conflicting marks the newest stays.
class CSMCorruptedUUIDPresenter : public CSMFileContentPresenter {
public:
    static std::shared_ptr<CSMCorruptedUUIDPresenter> initWithUSM(CloudStoreManager& manager);
    CSMCorruptedUUIDPresenter(const QUrl& url, CloudStoreManager& manager);

    void presentedItemDidChange() override;
    void presentedItemDidGainVersion(const platform::coredata::FileVersion&) override;
    void presentedItemDidLoseVersion(const platform::coredata::FileVersion&) override;
    void presentedItemDidResolveConflictVersion(const platform::coredata::FileVersion&) override;
    platform::coredata::FileVersion resolutionVersionForConflictVersions(
        const QList<platform::coredata::FileVersion>& versions) override;
};
