#pragma once

#include "reports/ReportController.h"

#include <QPointer>

class BaseDataController;

// The earlier export menu of the reminders screen, bound to the reminders data controller
// itself (a BaseDataController that is also a ColumnTableDataController). It saves, mails
// and reports as ReportController does, over the two columns "Reminder" and "Date" with
// the first two of the controller's column widths; a PDF is made only while reminders are
// shown.
class ExportNotificationDataController : public ReportController {
public:
    // initWithDataController:. The menu opens over the controller's grid screen.
    static std::shared_ptr<ExportNotificationDataController> create(
        BaseDataController* dataController);

    BaseDataController* dataController() const { return m_dataController; }

private:
    explicit ExportNotificationDataController(BaseDataController* dataController);

    QPointer<BaseDataController> m_dataController;
};
