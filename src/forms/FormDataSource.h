#pragma once

#include "platform/ui/TableViewDataSource.h"

#include <QPointer>

class FormTableView;

// Answers the form table's counts, cells and titles from the root's visible sections and
// their visible elements; moves and deletes rows of a sorting section.
class FormDataSource : public platform::ui::TableViewDataSource {
public:
    explicit FormDataSource(FormTableView* tableView);

    int numberOfSectionsInTableView(platform::ui::TableView* tableView) override;
    int tableViewNumberOfRowsInSection(platform::ui::TableView* tableView, int section) override;
    // The element's own cell, taking touches only when the element is enabled.
    platform::ui::TableViewCell* tableViewCellForRowAtIndexPath(
        platform::ui::TableView* tableView, const platform::ui::IndexPath& indexPath) override;
    QString tableViewTitleForHeaderInSection(
        platform::ui::TableView* tableView, int section) override;
    QString tableViewTitleForFooterInSection(
        platform::ui::TableView* tableView, int section) override;

    // Only the rows of a sorting section move.
    bool tableViewCanMoveRowAtIndexPath(
        platform::ui::TableView* tableView, const platform::ui::IndexPath& indexPath) override;
    bool tableViewCanEditRowAtIndexPath(
        platform::ui::TableView* tableView, const platform::ui::IndexPath& indexPath) override;
    bool respondsToMoveRow() const override { return true; }
    // The source section moves its element.
    void tableViewMoveRowAtIndexPath(platform::ui::TableView* tableView,
        const platform::ui::IndexPath& from, const platform::ui::IndexPath& to) override;
    // A row deleted in editing mode: the section removes its element, then the row goes.
    bool respondsToCommitEditingStyle() const override { return true; }
    void tableViewCommitEditingStyleForRowAtIndexPath(platform::ui::TableView* tableView,
        platform::ui::TableViewCellEditingStyle style,
        const platform::ui::IndexPath& indexPath) override;

private:
    QPointer<FormTableView> m_tableView;
};
