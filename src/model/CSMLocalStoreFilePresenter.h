#pragma once

#include "model/CSMFilePresenter.h"

// Watches the local store file, so that its deletion by someone else closes the store first.
class CSMLocalStoreFilePresenter : public CSMFilePresenter {
public:
    static std::shared_ptr<CSMLocalStoreFilePresenter> initWithUSM(CloudStoreManager& manager);
    CSMLocalStoreFilePresenter(const QUrl& url, CloudStoreManager& manager);

    void accommodatePresentedItemDeletion(
        std::function<void(const platform::Error&)> completion) override;
};
