#pragma once

#include "grid/TableDataController.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>

// The catalogue of ready-made table definitions from the maker's web service, fetched
// once per screen: its entries are the rows. A failed fetch (no answer in time, an error
// status, a body that is no catalogue) says why and leaves the list empty, so the next
// load asks again. Copying an entry is its row view's.
class DownloadTemplateDataController : public TableDataController {
    Q_OBJECT
public:
    DownloadTemplateDataController();
    ~DownloadTemplateDataController() override;

    void loadData(const std::shared_ptr<Parent>& parent) override;
    // Fetches the catalogue under the overlay unless rows are already held or a fetch is
    // under way.
    void downloadTemplates();
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    // Entries whose name, or else whose description, holds the text.
    void searchData(const QString& text) override;

    // The catalogue entry of that id among all rows (a search shows only some); empty
    // when there is none.
    QVariantMap entryWithId(const QString& id) const;

    // Why the reply is no catalogue, or empty when it is one: an array of at most
    // MaximumEntries objects, each with at most MaximumColumns columns.
    static QString catalogueProblem(const QVariant& json);

    // An address of the product's web service: the path below $KIVOTAB_SERVICE when it is
    // set (a test server, a staging host), else on the product's https site.
    static QString serviceUrl(const QString& path);

    static const char* const ServiceVariable; // "KIVOTAB_SERVICE"
    static const QString CataloguePath; // "api/link/templates"
    static const QString DownloadFailed; // "The template catalogue could not be downloaded: %1"
    static const QString NotACatalogue;
    static const QString TooManyEntries;
    static const QString EntryNotObject;
    static const QString TooManyColumns;
    static constexpr int TimeoutMs = 20000;
    static constexpr qint64 MaximumBytes = 8LL * 1024 * 1024;
    static constexpr qsizetype MaximumEntries = 1000;
    static constexpr qsizetype MaximumColumns = 200;

private:
    void catalogueReceived(const QVariant& json, const QString& failure);

    bool m_loading = false;
};
