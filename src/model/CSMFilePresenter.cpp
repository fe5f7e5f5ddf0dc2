#include "model/CSMFilePresenter.h"

#include "model/CSMLifetime.h"
#include "model/CloudStoreManager.h"
#include "platform/Dispatch.h"

CSMFilePresenter::CSMFilePresenter(
    const QUrl& url, CloudStoreManager& delegate, const char* className)
    : m_presentedItemURL(url)
    , m_presentedItemOperationQueue(platform::dispatch::SerialQueue::create(
          QStringLiteral("%1PresenterQueue").arg(QLatin1String(className))))
    , m_delegate(delegate.lifetime())
    , m_coordinator(this)
{
}

CSMFilePresenter::~CSMFilePresenter() = default;

bool CSMFilePresenter::callDelegate(const std::function<void(CloudStoreManager&)>& call) const
{
    return m_delegate->call(call);
}

void CSMFilePresenter::start()
{
    platform::coredata::FileCoordinator::addFilePresenter(shared_from_this());
}

void CSMFilePresenter::stop()
{
    platform::coredata::FileCoordinator::removeFilePresenter(this);
}
