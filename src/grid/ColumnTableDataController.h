#pragma once

#include <QList>
#include <QStringList>

// What the column table of a local screen asks of its data controller beyond the base's
// questions: the header texts, their widths and a row's values, aligned with the headers.
// Implemented by the data controllers of screens that show their rows as a column table.
class ColumnTableDataController {
public:
    virtual ~ColumnTableDataController();

    virtual QStringList columnHeaders() const = 0;
    // One width in points per header.
    virtual QList<double> columnWidths() const = 0;
    virtual QStringList columnValues(qint64 index) = 0;
    // A tap on the header of that column (sorting); optional.
    virtual void headerLabelTouched(qint64 column);
    virtual bool respondsToHeaderLabelTouched() const { return false; }
    // Whether getDynamicImage gives each row its own image in the image column.
    virtual bool respondsToGetDynamicImage() const { return false; }
};
