#include "reports/ExportDetailDataController.h"

#include "forms/RowDetailViewController.h"
#include "grid/BaseDataController.h"
#include "grid/ExportMenuHost.h"
#include "platform/MutableDictionary.h"
#include "reports/DetailReportDataSource.h"
#include "reports/ReportController.h"

namespace {

// The form's record as plain values, whichever way the form holds it.
QVariantMap rowValues(const QVariant& row)
{
    if (row.canConvert<platform::MutableDictionary>())
        return row.value<platform::MutableDictionary>().toMap();
    return row.toMap();
}

} // namespace

ExportDetailDataController::ExportDetailDataController(RowDetailViewController* detailController)
    : m_detailController(detailController)
{
}

ExportDetailDataController::~ExportDetailDataController() = default;

RowDetailViewController* ExportDetailDataController::detailController() const
{
    return m_detailController;
}

void ExportDetailDataController::showMenu()
{
    RowDetailViewController* form = m_detailController;
    if (!form)
        return;
    auto* grid = dynamic_cast<ExportMenuHost*>(form->callingViewController());
    if (!grid)
        return;
    auto* table = qobject_cast<BaseDataController*>(grid->hostDataController());
    auto source
        = std::make_shared<DetailReportDataSource>(form, rowValues(form->currentRow()), table);
    // A previous menu still running an action keeps itself alive until it ends.
    m_reportController = ReportController::create(grid, std::move(source));
    m_reportController->showMenu();
}

void ExportDetailDataController::install()
{
    DetailExportMenu::setFactory([](RowDetailViewController* detailController) {
        return std::make_unique<ExportDetailDataController>(detailController);
    });
}
