#include "model/CSMFileContentPresenter.h"

#include "model/CloudStoreManager.h"
#include "platform/Dispatch.h"
#include "platform/coredata/CloudContainer.h"
#include "platform/coredata/MetadataQuery.h"

#include <QFileInfo>

namespace CloudContainer = platform::coredata::CloudContainer;
using platform::coredata::FileVersion;
using platform::coredata::MetadataQuery;

CSMFileContentPresenter::CSMFileContentPresenter(
    const QUrl& url, CloudStoreManager& delegate, const char* className)
    : CSMFilePresenter(url, delegate, className)
{
    if (!url.isEmpty()) {
        // The marker is found by its name anywhere in the cloud's data.
        m_query = std::make_unique<MetadataQuery>();
        m_query->setSearchScopes({ MetadataQuery::UbiquitousDataScope });
        m_query->setFileNamePredicate(QFileInfo(url.toLocalFile()).fileName());
    }
}

CSMFileContentPresenter::~CSMFileContentPresenter()
{
    if (m_queryObserver)
        platform::NotificationCenter::defaultCenter().removeObserver(*m_queryObserver);
}

void CSMFileContentPresenter::setQuery(std::unique_ptr<MetadataQuery> query)
{
    m_query = std::move(query);
}

void CSMFileContentPresenter::start()
{
    handleConflicts();
    CSMFilePresenter::start();
    const std::weak_ptr<CSMFilePresenter> weak = weak_from_this();
    if (m_query && !m_queryObserver) {
        MetadataQuery* query = m_query.get();
        m_queryObserver = platform::NotificationCenter::defaultCenter().addObserver(
            MetadataQuery::DidUpdateNotification, query,
            [weak, query](const platform::Notification&) {
                auto self = std::static_pointer_cast<CSMFileContentPresenter>(weak.lock());
                if (!self)
                    return;
                query->disableUpdates();
                for (int i = 0; i < query->resultCount(); ++i) {
                    if (query->valueOfAttribute(i, MetadataQuery::ItemURLKey).toUrl()
                        == self->presentedItemURL())
                        self->presentedItemDidChange();
                }
                query->enableUpdates();
            });
    }
    platform::dispatch::asyncMain([weak] {
        auto self = std::static_pointer_cast<CSMFileContentPresenter>(weak.lock());
        if (!self)
            return;
        if (!self->m_query || !self->m_query->start()) {
            const QString name = QFileInfo(self->presentedItemURL().toLocalFile()).fileName();
            self->callDelegate([&](CloudStoreManager& manager) {
                manager.log(QStringLiteral("Couldn't start monitor query for %1, already running?")
                                .arg(name));
            });
        }
    });
}

void CSMFileContentPresenter::stop()
{
    CSMFilePresenter::stop();
    if (m_query)
        m_query->stop();
    if (m_queryObserver) {
        platform::NotificationCenter::defaultCenter().removeObserver(*m_queryObserver);
        m_queryObserver.reset();
    }
}

FileVersion CSMFileContentPresenter::resolutionVersionForConflictVersions(
    const QList<FileVersion>& versions)
{
    Q_UNUSED(versions);
    return {};
}

void CSMFileContentPresenter::handleConflicts()
{
    const QUrl url = presentedItemURL();
    QList<FileVersion> versions = FileVersion::unresolvedConflictVersionsOfItemAtURL(url);
    if (versions.isEmpty())
        return;
    // Only the manager's account's versions are its to settle: another account's folder in
    // the place is left to that account's machines.
    QVariant token;
    if (!callDelegate([&](CloudStoreManager& manager) { token = manager.loadedAccountToken(); })
        || !CloudContainer::holdsToken(token))
        return;
    const FileVersion current = FileVersion::currentVersionOfItemAtURL(url);
    if (current.isValid())
        versions.append(current);
    const FileVersion chosen = resolutionVersionForConflictVersions(versions);
    if (!chosen.isValid())
        return;
    platform::Error error;
    if (!chosen.replaceItemAtURL(url, token, &error)) {
        callDelegate([&](CloudStoreManager& manager) {
            manager.error(error, CloudStoreErrorCauseOpenActiveStore, url.toLocalFile());
        });
        return;
    }
    if (!CloudContainer::holdsToken(token))
        return;
    for (FileVersion& version : versions)
        version.setResolved(true);
}
