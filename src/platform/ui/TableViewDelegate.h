#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/ScrollViewDelegate.h"
#include "platform/ui/TableViewCellEditingStyle.h"

#include <optional>

namespace platform::ui {

class TableView;
class TableViewCell;
class View;

// What a table view asks and tells its delegate; every method is optional. The table asks
// every row, header and footer height when it reloads; a height left to the table
// (TableView::AutomaticDimension) is its row height, or for headers and footers what
// the section's title needs. Selections made in code are not reported; a person's are.
class TableViewDelegate : public ScrollViewDelegate {
public:
    virtual double tableViewHeightForRowAtIndexPath(TableView*, const IndexPath&);
    virtual double tableViewHeightForHeaderInSection(TableView*, int section);
    virtual double tableViewHeightForFooterInSection(TableView*, int section);
    // A view in place of the title; the table takes it while it shows and deletes it when
    // the delegate later gives another view for that section.
    virtual View* tableViewViewForHeaderInSection(TableView*, int) { return nullptr; }
    virtual View* tableViewViewForFooterInSection(TableView*, int) { return nullptr; }

    virtual bool tableViewShouldHighlightRowAtIndexPath(TableView*, const IndexPath&)
    {
        return true;
    }
    // The row to select instead, or none to select nothing.
    virtual std::optional<IndexPath> tableViewWillSelectRowAtIndexPath(
        TableView*, const IndexPath& indexPath)
    {
        return indexPath;
    }
    virtual void tableViewDidSelectRowAtIndexPath(TableView*, const IndexPath&) { }
    virtual std::optional<IndexPath> tableViewWillDeselectRowAtIndexPath(
        TableView*, const IndexPath& indexPath)
    {
        return indexPath;
    }
    virtual void tableViewDidDeselectRowAtIndexPath(TableView*, const IndexPath&) { }
    virtual void tableViewAccessoryButtonTappedForRowWithIndexPath(TableView*, const IndexPath&) { }

    // Where a row being dragged may go; the proposed place by default.
    virtual IndexPath tableViewTargetIndexPathForMoveFromRowAtIndexPath(
        TableView*, const IndexPath& /*source*/, const IndexPath& proposed)
    {
        return proposed;
    }

    // What editing offers on a row the data source lets be edited and deleted.
    virtual TableViewCellEditingStyle tableViewEditingStyleForRowAtIndexPath(
        TableView*, const IndexPath&)
    {
        return TableViewCellEditingStyle::Delete;
    }

    virtual void tableViewWillDisplayCell(TableView*, TableViewCell*, const IndexPath&) { }
    virtual void tableViewDidEndDisplayingCell(TableView*, TableViewCell*, const IndexPath&) { }
};

} // namespace platform::ui
