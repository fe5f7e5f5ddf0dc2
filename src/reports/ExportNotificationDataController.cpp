#include "reports/ExportNotificationDataController.h"

#include "grid/BaseDataController.h"
#include "grid/ExportMenuHost.h"
#include "platform/ui/ViewController.h"
#include "reports/NotificationReportDataSource.h"

namespace {

// The reminders' report source with one width per column and no PDF of an empty list.
class TwoColumnReminderSource : public NotificationReportDataSource {
public:
    using NotificationReportDataSource::NotificationReportDataSource;

    QList<double> reportColumnWidths() override
    {
        return NotificationReportDataSource::reportColumnWidths().mid(0, 2);
    }

    bool reportAllowsPDF() override
    {
        BaseDataController* rows = notificationDataController();
        return rows && !rows->activeRows().isEmpty();
    }
};

ExportMenuHost* hostOf(BaseDataController* dataController)
{
    return dataController ? dynamic_cast<ExportMenuHost*>(dataController->viewController())
                          : nullptr;
}

} // namespace

std::shared_ptr<ExportNotificationDataController> ExportNotificationDataController::create(
    BaseDataController* dataController)
{
    return std::shared_ptr<ExportNotificationDataController>(
        new ExportNotificationDataController(dataController));
}

ExportNotificationDataController::ExportNotificationDataController(
    BaseDataController* dataController)
    : ReportController(
        hostOf(dataController), std::make_shared<TwoColumnReminderSource>(dataController))
    , m_dataController(dataController)
{
}
