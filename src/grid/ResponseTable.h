#pragma once

#include "grid/ResponseColumn.h"
#include "grid/ResponseRow.h"

#include <QList>
#include <QString>

#include <memory>

// A table of rows as the desktop server sends it and the grid shows it; paged tables
// tell their page and page count.
class ResponseTable {
public:
    QString Name;
    QList<ResponseColumn> Columns;
    QList<std::shared_ptr<ResponseRow>> Rows;
    unsigned CurrentPage = 0;
    unsigned TotalPages = 0;

    // The name of the first column with that header; null when none has it.
    QString columnForHeader(const QString& header) const;
};
