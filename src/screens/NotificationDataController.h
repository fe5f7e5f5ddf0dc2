#pragma once

#include "grid/ColumnTableDataController.h"
#include "grid/TableDataController.h"

#include <QDateTime>
#include <QList>
#include <QVariantList>

#include <memory>

class NotificationReportDataSource;
class ReportController;

namespace platform {
struct LocalNotification;
}

// The reminders still to come: every scheduled local notification with its text and its
// next firing date, earliest first. Nothing here is stored: the list is read from the
// scheduled notifications on every load. Refresh rebuilds every reminder from the rows;
// share hands the list to the export menu.
class NotificationDataController : public TableDataController, public ColumnTableDataController {
    Q_OBJECT
public:
    NotificationDataController();
    ~NotificationDataController() override;

    void loadData(const std::shared_ptr<Parent>& parent) override;
    // Rows of {"Reminder": alert body, "Date": next firing date}, sorted by date; also
    // recomputes the column widths.
    QVariantList loadDataFromNotifications();
    std::shared_ptr<GridData> getGridData(qint64 index) override;
    void searchData(const QString& text) override;

    QStringList columnHeaders() const override;
    QList<double> columnWidths() const override;
    QStringList columnValues(qint64 index) override;
    // The lines of a tile: the same texts as the columns.
    int NoOfTilesRows() const { return 2; }
    QStringList getTilesRows(qint64 index);

    void shareTouched(platform::ui::Control* sender) override;
    // Rebuilds every reminder from the stored rows under the overlay, then reloads.
    void refresh(platform::ui::Control* sender) override;

    // When the notification fires next, seen from `now`: its fire date, or for a repeating
    // one whose date has passed the first occurrence from now on, stepping by its calendar
    // unit; invalid for a one-off that has passed.
    static QDateTime getNextFireDate(
        const platform::LocalNotification& notification, const QDateTime& now);

    static const QString ReminderKey; // "Reminder"
    static const QString DateKey; // "Date"
    // Characters of the longest reminder the first column is made wide for, and of an
    // empty list; characters of the date column.
    static constexpr unsigned MaximumReminderWidth = 75;
    static constexpr unsigned EmptyReminderWidth = 50;
    static constexpr unsigned DateWidth = 20;

private:
    QList<double> m_columnWidths;
    std::shared_ptr<NotificationReportDataSource> m_reportDataSource;
    std::shared_ptr<ReportController> m_reportController;
};
