#include "platform/ui/TableViewDelegate.h"

#include "platform/ui/TableView.h"

namespace platform::ui {

double TableViewDelegate::tableViewHeightForRowAtIndexPath(TableView* tableView, const IndexPath&)
{
    return tableView->rowHeight();
}

double TableViewDelegate::tableViewHeightForHeaderInSection(TableView*, int)
{
    return TableView::AutomaticDimension;
}

double TableViewDelegate::tableViewHeightForFooterInSection(TableView*, int)
{
    return TableView::AutomaticDimension;
}

} // namespace platform::ui
