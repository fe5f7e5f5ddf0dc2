#include "model/CSMFilePresenter.h"

#include "platform/Dispatch.h"

CSMFilePresenter::CSMFilePresenter(
    const QUrl& url, const std::shared_ptr<CloudStoreManager>& delegate, const char* className)
    : m_presentedItemURL(url)
    , m_presentedItemOperationQueue(platform::dispatch::SerialQueue::create(
          QStringLiteral("%1PresenterQueue").arg(QLatin1String(className))))
    , m_delegate(delegate)
    , m_coordinator(this)
{
}

CSMFilePresenter::~CSMFilePresenter() = default;

void CSMFilePresenter::start()
{
    platform::coredata::FileCoordinator::addFilePresenter(shared_from_this());
}

void CSMFilePresenter::stop()
{
    platform::coredata::FileCoordinator::removeFilePresenter(this);
}
