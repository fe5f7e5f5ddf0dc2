#pragma once

#include "reports/GenericTemplateReportController.h"

#include <QPointer>

class BaseDataController;

// The earlier export menu of a user table's rows screen, bound to the rows data controller
// itself (which must also adopt GenericTemplateDataControllerProtocol). It saves, mails,
// reports and imports as GenericTemplateReportController does, with its own table: the
// columns' unwidened widths, the PDF only while rows are shown, and, with the cloud
// documents store on, "Reset Reminders" (code 1010) after the cloud items. Every item
// but "Import CSV" does nothing while the table shows no rows.
class ExportImportDataController : public GenericTemplateReportController {
public:
    // initWithDataController:. The menu opens over the controller's grid screen.
    static std::shared_ptr<ExportImportDataController> create(BaseDataController* dataController);

    BaseDataController* rowsDataController() const { return m_dataController; }
    GenericTemplateDataControllerProtocol* dataController() const override;

    QStringList menuTexts() const override;
    QStringList menuImages() const override;
    void shareHandler(quint64 position) override;

private:
    explicit ExportImportDataController(BaseDataController* dataController);

    QPointer<BaseDataController> m_dataController;
};
