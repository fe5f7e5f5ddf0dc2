#include "reports/ExportImportDataController.h"

#include "grid/BaseDataController.h"
#include "grid/ExportMenuHost.h"
#include "model/TemplateColumn.h"
#include "platform/ui/ViewController.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "reports/GenericTemplateReportDataSource.h"
#include "utilities/text/LocalizedStrings.h"

namespace {

// The user table's report source with the grid's own column widths and no PDF of an
// empty list.
class UnwidenedTableSource : public GenericTemplateReportDataSource {
public:
    using GenericTemplateReportDataSource::GenericTemplateReportDataSource;

    // One width for every column of the definition, so widths and columns pair by position.
    QList<double> reportColumnWidths() override
    {
        QList<double> widths;
        if (auto* table = dynamic_cast<GenericTemplateDataControllerProtocol*>(
                genericTemplateDataController())) {
            for (const TemplateColumn* column : table->Columns()) {
                if (column)
                    widths.append(column->getColumnWidth());
            }
        }
        return widths;
    }

    bool reportAllowsPDF() override
    {
        BaseDataController* rows = genericTemplateDataController();
        return rows && !rows->activeRows().isEmpty();
    }
};

ExportMenuHost* hostOf(BaseDataController* dataController)
{
    return dataController ? dynamic_cast<ExportMenuHost*>(dataController->viewController())
                          : nullptr;
}

} // namespace

std::shared_ptr<ExportImportDataController> ExportImportDataController::create(
    BaseDataController* dataController)
{
    return std::shared_ptr<ExportImportDataController>(
        new ExportImportDataController(dataController));
}

ExportImportDataController::ExportImportDataController(BaseDataController* dataController)
    : GenericTemplateReportController(
        hostOf(dataController), std::make_shared<UnwidenedTableSource>(dataController))
    , m_dataController(dataController)
{
}

GenericTemplateDataControllerProtocol* ExportImportDataController::dataController() const
{
    return dynamic_cast<GenericTemplateDataControllerProtocol*>(m_dataController.data());
}

QStringList ExportImportDataController::menuTexts() const
{
    QStringList texts = GenericTemplateReportController::menuTexts();
    if (cloudItemsShown())
        texts.append(LocalizedStrings::ResetReminders());
    return texts;
}

QStringList ExportImportDataController::menuImages() const
{
    QStringList images = GenericTemplateReportController::menuImages();
    if (cloudItemsShown())
        images.append(QStringLiteral("restartp"));
    return images;
}

void ExportImportDataController::shareHandler(quint64 position)
{
    if (lastClickedButton() == ImportCSV) {
        GenericTemplateReportController::shareHandler(position);
        return;
    }
    if (!m_dataController || !m_dataController->doesRowExist())
        return;
    if (lastClickedButton() == ResetReminders)
        resetReminder();
    else
        GenericTemplateReportController::shareHandler(position);
}
