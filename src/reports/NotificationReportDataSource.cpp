#include "reports/NotificationReportDataSource.h"

#include "grid/BaseDataController.h"
#include "grid/ColumnTableDataController.h"
#include "platform/ui/ViewController.h"
#include "utilities/text/KivoDateUtils.h"
#include "utilities/text/LocalizedStrings.h"

const QString NotificationReportDataSource::ReminderKey = QStringLiteral("Reminder");
const QString NotificationReportDataSource::DateKey = QStringLiteral("Date");

NotificationReportDataSource::NotificationReportDataSource(BaseDataController* dataController)
    : m_dataController(dataController)
{
}

QString NotificationReportDataSource::reportTitle()
{
    platform::ui::ViewController* screen
        = m_dataController ? m_dataController->viewController() : nullptr;
    return screen ? screen->title() : QString();
}

QList<double> NotificationReportDataSource::reportColumnWidths()
{
    const auto* columns = dynamic_cast<const ColumnTableDataController*>(m_dataController.data());
    return columns ? columns->columnWidths() : QList<double>();
}

OrderedDictionary NotificationReportDataSource::reportColumns()
{
    OrderedDictionary columns;
    columns.setObject(LocalizedStrings::Reminder(), ReminderKey);
    columns.setObject(LocalizedStrings::Date(), DateKey);
    return columns;
}

quint64 NotificationReportDataSource::reportRowsCount()
{
    return m_dataController ? quint64(m_dataController->count()) : 0;
}

QVariantMap NotificationReportDataSource::reportRow(quint64 index)
{
    return m_dataController ? m_dataController->getRowData(qint64(index)).toMap() : QVariantMap();
}

QVariantMap NotificationReportDataSource::reportRowFormatted(quint64 index)
{
    const QVariantMap row = reportRow(index);
    if (row.isEmpty())
        return {};
    return { { ReminderKey, row.value(ReminderKey) },
        { DateKey, KivoDateUtils::getDateTimeString(row.value(DateKey).toDateTime()) } };
}
