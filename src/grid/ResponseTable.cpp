#include "grid/ResponseTable.h"

QString ResponseTable::columnForHeader(const QString& header) const
{
    for (const ResponseColumn& column : Columns) {
        if (column.Header == header)
            return column.Name;
    }
    return {};
}
