#include "grid/ResponseRow.h"

QVariant ResponseRow::GetColumnValue(
    const QString& columnName, const QList<ResponseColumn>& columns) const
{
    for (const ResponseColumn& column : columns) {
        if (column.Name != columnName)
            continue;
        for (const ResponseRowColumn& cell : Columns) {
            if (cell.Column == column.Order)
                return cell.Value;
        }
        return {};
    }
    return {};
}

QVariantMap ResponseRow::ToDictionary(const QList<ResponseColumn>& columns) const
{
    QVariantMap values;
    for (const ResponseRowColumn& cell : Columns) {
        for (const ResponseColumn& column : columns) {
            if (cell.Column == column.Order)
                values.insert(column.Name, cell.Value);
        }
    }
    return values;
}
