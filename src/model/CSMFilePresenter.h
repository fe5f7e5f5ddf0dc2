#pragma once

#include "platform/coredata/FileCoordinator.h"
#include "platform/coredata/FilePresenter.h"

#include <QUrl>

#include <functional>
#include <memory>

class CloudStoreManager;
class CSMLifetime;

// A file the store manager watches: registered between start and stop, told of others'
// changes on its own queue ("<class>PresenterQueue"), and owner of the coordinator through
// which the manager reads and writes the file, so that the manager's own accesses are not
// reported back to it.
class CSMFilePresenter : public platform::coredata::FilePresenter,
                         public std::enable_shared_from_this<CSMFilePresenter> {
public:
    CSMFilePresenter(const QUrl& url, CloudStoreManager& delegate, const char* className);
    ~CSMFilePresenter() override;

    QUrl presentedItemURL() const override { return m_presentedItemURL; }
    std::shared_ptr<platform::dispatch::SerialQueue> presentedItemOperationQueue() const override
    {
        return m_presentedItemOperationQueue;
    }
    // Runs the call with the manager unless it is going; false when the call did not run.
    bool callDelegate(const std::function<void(CloudStoreManager&)>& call) const;
    platform::coredata::FileCoordinator& coordinator() { return m_coordinator; }

    virtual void start();
    virtual void stop();

private:
    const QUrl m_presentedItemURL;
    const std::shared_ptr<platform::dispatch::SerialQueue> m_presentedItemOperationQueue;
    const std::shared_ptr<CSMLifetime> m_delegate;
    platform::coredata::FileCoordinator m_coordinator;
};
