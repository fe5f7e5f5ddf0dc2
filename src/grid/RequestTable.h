#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

#include <memory>

class FilterExtended;
class Sort;

// The table part of a page request: which table, which page of how many rows, and the
// conditions and order the server applies. Page stays within 32 bits.
class RequestTable {
public:
    QString Name;
    qint32 Page = 0;
    qint32 PageSize = 0;
    QList<std::shared_ptr<FilterExtended>> Filters;
    QList<std::shared_ptr<Sort>> Sorts;
};

Q_DECLARE_METATYPE(RequestTable)
