#include "screens/DownloadTemplateDataController.h"

#include "bridge/BridgeCaller.h"
#include "grid/ContainsPredicate.h"
#include "grid/GridData.h"
#include "platform/ui/ViewController.h"
#include "screens/ScreenHost.h"
#include "utilities/shell/KivoAppDelegate.h"
#include "utilities/shell/MessageHelper.h"
#include "utilities/text/LocalizedStrings.h"

#include <QPointer>
#include <QScopeGuard>

const char* const DownloadTemplateDataController::ServiceVariable = "KIVOTAB_SERVICE";
const QString DownloadTemplateDataController::CataloguePath = QStringLiteral("api/link/templates");
const QString DownloadTemplateDataController::DownloadFailed
    = QStringLiteral("The template catalogue could not be downloaded: %1");
const QString DownloadTemplateDataController::NotACatalogue
    = QStringLiteral("the answer is not a list of table definitions.");
const QString DownloadTemplateDataController::TooManyEntries
    = QStringLiteral("it lists more than %1 table definitions.");
const QString DownloadTemplateDataController::EntryNotObject
    = QStringLiteral("entry %1 is not a table definition.");
const QString DownloadTemplateDataController::TooManyColumns
    = QStringLiteral("entry %1 has more than %2 columns.");

namespace {

const QString kId = QStringLiteral("id");
const QString kName = QStringLiteral("name");
const QString kDescr = QStringLiteral("descr");
const QString kColumns = QStringLiteral("columns");

QString localized(const QString& text)
{
    return LocalizedStrings::getLocalizedString(text);
}

} // namespace

DownloadTemplateDataController::DownloadTemplateDataController() = default;

DownloadTemplateDataController::~DownloadTemplateDataController() = default;

QString DownloadTemplateDataController::serviceUrl(const QString& path)
{
    QString base = qEnvironmentVariable(ServiceVariable).trimmed();
    if (base.isEmpty())
        return KivoAppDelegate::getUrl(path);
    if (!base.endsWith(u'/'))
        base += u'/';
    return base + path;
}

void DownloadTemplateDataController::loadData(const std::shared_ptr<Parent>&)
{
    downloadTemplates();
}

void DownloadTemplateDataController::downloadTemplates()
{
    if (!rows().isEmpty() || m_loading)
        return;
    m_loading = true;
    const QUrl url(serviceUrl(CataloguePath));
    if (auto* host = dynamic_cast<ScreenHost*>(viewController()))
        host->showHud();
    platform::net::HttpRequestOptions options;
    options.timeoutMs = TimeoutMs;
    options.maxBodyBytes = MaximumBytes;
    QPointer<platform::ui::ViewController> screen(viewController());
    BridgeCaller::SimpleJSONGet(
        url,
        [self = QPointer(this), screen](const QVariant& json, const QString& failure) {
            // The overlay goes whatever happens to the reply.
            const auto hide = qScopeGuard([screen] {
                if (auto* host = dynamic_cast<ScreenHost*>(screen.data()))
                    host->hideHud();
            });
            if (self)
                self->catalogueReceived(json, failure);
        },
        options);
}

QString DownloadTemplateDataController::catalogueProblem(const QVariant& json)
{
    if (json.typeId() != QMetaType::QVariantList)
        return localized(NotACatalogue);
    const QVariantList entries = json.toList();
    if (entries.size() > MaximumEntries)
        return localized(TooManyEntries).arg(MaximumEntries);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).typeId() != QMetaType::QVariantMap)
            return localized(EntryNotObject).arg(i + 1);
        if (entries.at(i).toMap().value(kColumns).toList().size() > MaximumColumns)
            return localized(TooManyColumns).arg(i + 1).arg(MaximumColumns);
    }
    return {};
}

void DownloadTemplateDataController::catalogueReceived(const QVariant& json, const QString& failure)
{
    m_loading = false;
    try {
        const QString problem = failure.isEmpty() ? catalogueProblem(json) : failure;
        setRows(problem.isEmpty() ? json.toList() : QVariantList());
        refreshGrid();
        if (!problem.isEmpty())
            MessageHelper::ShowMessage(localized(DownloadFailed).arg(problem), true);
    } catch (const std::exception& exception) {
        MessageHelper::ShowException(exception);
    }
}

std::shared_ptr<GridData> DownloadTemplateDataController::getGridData(qint64 index)
{
    const QVariant entry = getRowData(index);
    auto data = std::make_shared<GridData>(entry);
    data->Menu = entry.toMap().value(kName).toString();
    return data;
}

void DownloadTemplateDataController::searchData(const QString& text)
{
    const auto predicate = std::make_shared<ContainsPredicate>(text);
    filterRows(text, [predicate](const QVariant& row) {
        const QVariantMap entry = row.toMap();
        return predicate->evaluate(entry.value(kName)) || predicate->evaluate(entry.value(kDescr));
    });
}

QVariantMap DownloadTemplateDataController::entryWithId(const QString& id) const
{
    if (id.isEmpty())
        return {};
    for (const QVariant& row : rows()) {
        const QVariantMap entry = row.toMap();
        if (entry.value(kId).toString() == id)
            return entry;
    }
    return {};
}
