#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/TableViewCellEditingStyle.h"

#include <QString>

namespace platform::ui {

class TableView;
class TableViewCell;

// Where a table view gets its counts, cells and section titles. The table asks for every
// count and title when it reloads, and for a cell each time a row comes into sight.
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;

    virtual int numberOfSectionsInTableView(TableView*) { return 1; }
    virtual int tableViewNumberOfRowsInSection(TableView* tableView, int section) = 0;
    virtual TableViewCell* tableViewCellForRowAtIndexPath(
        TableView* tableView, const IndexPath& indexPath)
        = 0;
    // No title by default.
    virtual QString tableViewTitleForHeaderInSection(TableView*, int) { return {}; }
    virtual QString tableViewTitleForFooterInSection(TableView*, int) { return {}; }

    // Editing. A row shows a reorder control while the table edits when it may be edited
    // and moved and the data source moves rows (respondsToMoveRow).
    virtual bool tableViewCanEditRowAtIndexPath(TableView*, const IndexPath&) { return true; }
    virtual bool tableViewCanMoveRowAtIndexPath(TableView*, const IndexPath&) { return true; }
    virtual bool respondsToMoveRow() const { return false; }
    // The person dropped a row at a new place; the table already shows it there.
    virtual void tableViewMoveRowAtIndexPath(
        TableView*, const IndexPath& /*from*/, const IndexPath& /*to*/)
    {
    }
    // Rows are deleted by hand only through a data source that commits the deletion:
    // while the table edits, a row it may edit gets the delete control of its editing
    // style (the delegate's, delete by default). The data source removes the row from its
    // data and from the table.
    virtual bool respondsToCommitEditingStyle() const { return false; }
    virtual void tableViewCommitEditingStyleForRowAtIndexPath(
        TableView*, TableViewCellEditingStyle, const IndexPath&)
    {
    }
};

} // namespace platform::ui
