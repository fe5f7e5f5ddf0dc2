#pragma once

#include "model/Rows.h"

#include <QString>
#include <QVariantList>

// What the row form and the row display ask of the data controller of a user table's
// rows (the controller itself lives with the application's screens, above the forms).
class RowFormDataController {
public:
    virtual ~RowFormDataController();

    // Every column of the table's definition, in order.
    virtual const Rows::Columns& Columns() const = 0;
    // The table's password; none for a table without one.
    virtual const Rows::Password& secret() const = 0;
    // The distinct values the rows hold in the column (by id).
    virtual QVariantList getAutoCompleteValues(const QString& columnId) = 0;
};
