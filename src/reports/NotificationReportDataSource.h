#pragma once

#include "reports/ReportProtocol.h"

#include <QPointer>

class BaseDataController;

// The report data source of the reminders screen: its title, the two columns "Reminder"
// and "Date" with the widths of the last load, and the reminders shown (the search's
// while one is active): raw rows keep the date, formatted rows show it as the screen
// does. The data controller is held weakly; once it is gone the source answers as an
// empty table.
class NotificationReportDataSource : public ReportProtocol {
public:
    explicit NotificationReportDataSource(BaseDataController* dataController);

    BaseDataController* notificationDataController() const { return m_dataController; }

    QString reportTitle() override;
    QList<double> reportColumnWidths() override;
    OrderedDictionary reportColumns() override;
    quint64 reportRowsCount() override;
    QVariantMap reportRow(quint64 index) override;
    QVariantMap reportRowFormatted(quint64 index) override;

    static const QString ReminderKey; // "Reminder"
    static const QString DateKey; // "Date"

private:
    QPointer<BaseDataController> m_dataController;
};
