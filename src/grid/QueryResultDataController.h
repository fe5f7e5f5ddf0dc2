#pragma once

#include "grid/TableDataController.h"

// Shows the result of a query that the screen below ran on the desktop server: the reply
// of the query studio screen, or the one another screen left in its extraData. It pages
// and picks tables like any desktop-server table.
class QueryResultDataController : public TableDataController {
    Q_OBJECT
public:
    Q_INVOKABLE QueryResultDataController();
    ~QueryResultDataController() override;

    // The reply's first table, and the table titles when it holds two or more; a reply
    // without tables leaves the table and rows as they were.
    void loadData(const std::shared_ptr<Parent>& parent) override;

    static const QString QueryStudioScreenId; // "SCREEN_QUERY_STUDIO"
};
