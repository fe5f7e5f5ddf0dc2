#pragma once

#include "grid/ResponseColumn.h"
#include "grid/ResponseRowColumn.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// One row of a desktop-server table: its cells.
class ResponseRow {
public:
    QList<ResponseRowColumn> Columns;

    // The value of the cell at the position (Order) of the first column of that name;
    // invalid when there is no such column or no such cell.
    QVariant GetColumnValue(const QString& columnName, const QList<ResponseColumn>& columns) const;
    // Column name -> value for every cell whose position is a column's Order.
    QVariantMap ToDictionary(const QList<ResponseColumn>& columns) const;
};
