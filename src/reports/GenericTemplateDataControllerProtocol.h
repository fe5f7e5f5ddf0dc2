#pragma once

#include "model/Rows.h"

#include <QList>
#include <QStringList>
#include <QVariantMap>

class TemplateColumn;
class UserTemplate;

// The rows data controller of one user table as the export menu and its data source see
// it (the controller itself lives with the application's screens, above them). The rows
// themselves, the active ones and the grid screen are the controller's BaseDataController
// members. Main thread.
class GenericTemplateDataControllerProtocol {
public:
    virtual ~GenericTemplateDataControllerProtocol();

    // Every column of the table's definition, in stored order.
    virtual const QList<TemplateColumn*>& Columns() const = 0;
    // The table whose rows are shown.
    virtual UserTemplate* userTemplate() const = 0;
    // The table's verified password; nullopt for a table without one, or while the
    // password has not been given.
    virtual const Rows::Password& secret() const = 0;
    // The names of the columns whose values break a rule, in column order.
    virtual QStringList validateRow(const QVariantMap& values) = 0;
    // Rebuilds the reminders of every row of the table now.
    virtual void rebuildAllNotifications() = 0;
};
