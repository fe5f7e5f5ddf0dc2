#include "reports/DetailReportDataSource.h"

#include "grid/BaseDataController.h"
#include "model/TemplateColumn.h"
#include "platform/ui/ViewController.h"
#include "reports/GenericTemplateDataControllerProtocol.h"
#include "utilities/text/LocalizedStrings.h"

#include <algorithm>

const QString DetailReportDataSource::ColumnKey = QStringLiteral("Column");
const QString DetailReportDataSource::ValueKey = QStringLiteral("Value");

namespace {
constexpr double PointsPerNameCharacter = 15;
}

DetailReportDataSource::DetailReportDataSource(
    platform::ui::ViewController* rowDetailViewController, QVariantMap row,
    BaseDataController* callingDataController)
    : rowDetailViewController(rowDetailViewController)
    , row(std::move(row))
    , m_callingDataController(callingDataController)
{
}

QList<TemplateColumn*> DetailReportDataSource::columns() const
{
    auto* table
        = dynamic_cast<GenericTemplateDataControllerProtocol*>(m_callingDataController.data());
    QList<TemplateColumn*> found;
    if (table) {
        for (TemplateColumn* column : table->Columns()) {
            if (column)
                found.append(column);
        }
    }
    return found;
}

QList<QVariantMap> DetailReportDataSource::pairs(bool formatted) const
{
    QList<QVariantMap> made;
    for (const TemplateColumn* column : columns()) {
        const QVariant value = row.value(column->id().toString());
        made.append({ { ColumnKey, column->name() },
            { ValueKey, formatted ? QVariant(column->getStringValue(value)) : value } });
    }
    return made;
}

QString DetailReportDataSource::reportTitle()
{
    return rowDetailViewController ? rowDetailViewController->title() : QString();
}

QList<double> DetailReportDataSource::reportColumnWidths()
{
    if (!columnWidhts) {
        const auto all = columns();
        qsizetype longestName = 0;
        for (const TemplateColumn* column : all)
            longestName = std::max(longestName, column->name().toString().size());
        double widest = 0;
        for (const TemplateColumn* column : TemplateColumn::getTableColumns(all))
            widest = std::max(widest, column->getColumnWidth());
        columnWidhts
            = QList<double> { double(quint64(longestName) * quint64(PointsPerNameCharacter)),
                  widest };
    }
    return *columnWidhts;
}

OrderedDictionary DetailReportDataSource::reportColumns()
{
    OrderedDictionary made;
    made.setObject(LocalizedStrings::Column(), ColumnKey);
    made.setObject(LocalizedStrings::Value(), ValueKey);
    return made;
}

bool DetailReportDataSource::reportAllowsPDF()
{
    return m_callingDataController && !m_callingDataController->activeRows().isEmpty();
}

quint64 DetailReportDataSource::reportRowsCount()
{
    return quint64(columns().size());
}

QVariantMap DetailReportDataSource::reportRow(quint64 index)
{
    if (!rows)
        rows = pairs(false);
    return index < quint64(rows->size()) ? rows->at(qsizetype(index)) : QVariantMap();
}

QVariantMap DetailReportDataSource::reportRowFormatted(quint64 index)
{
    if (!rowsFormatted)
        rowsFormatted = pairs(true);
    return index < quint64(rowsFormatted->size()) ? rowsFormatted->at(qsizetype(index))
                                                  : QVariantMap();
}
