#pragma once

#include "model/CSMFilePresenter.h"
#include "platform/NotificationCenter.h"
#include "platform/coredata/FileVersion.h"

#include <QList>

#include <memory>
#include <optional>

namespace platform::coredata {
class MetadataQuery;
}

// A marker file in the cloud: besides the presenter's own reports, a query that finds the
// file by name in the cloud reports its changes, and conflicting versions of the file are
// resolved by the subclass's choice.
class CSMFileContentPresenter : public CSMFilePresenter {
public:
    CSMFileContentPresenter(const QUrl& url, CloudStoreManager& delegate, const char* className);
    ~CSMFileContentPresenter() override;

    void start() override;
    void stop() override;

    // Keeps one of the unresolved conflict versions of the file (with its current one) and
    // resolves them all; nothing when the subclass chooses none.
    void handleConflicts();
    // The version to keep; this class keeps none.
    virtual platform::coredata::FileVersion resolutionVersionForConflictVersions(
        const QList<platform::coredata::FileVersion>& versions);

    platform::coredata::MetadataQuery* query() const { return m_query.get(); }
    void setQuery(std::unique_ptr<platform::coredata::MetadataQuery> query);

private:
    std::unique_ptr<platform::coredata::MetadataQuery> m_query;
    std::optional<platform::NotificationCenter::Token> m_queryObserver;
};
