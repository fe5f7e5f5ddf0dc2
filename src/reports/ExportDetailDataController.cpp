#include "reports/ExportDetailDataController.h"

#include "forms/RowDetailViewController.h"

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
    // The menu's entries belong to the export screens; until they come it has none.
}

void ExportDetailDataController::install()
{
    DetailExportMenu::setFactory([](RowDetailViewController* detailController) {
        return std::make_unique<ExportDetailDataController>(detailController);
    });
}
