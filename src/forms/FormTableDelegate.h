#pragma once

#include "platform/ui/TableViewDelegate.h"

#include <QPointer>

class FormTableView;

// Tells the form's elements of taps on their rows and asks them and the root's
// appearance for heights, headers and footers.
class FormTableDelegate : public platform::ui::TableViewDelegate {
public:
    explicit FormTableDelegate(FormTableView* tableView);

    void tableViewDidSelectRowAtIndexPath(
        platform::ui::TableView* tableView, const platform::ui::IndexPath& indexPath) override;
    void tableViewAccessoryButtonTappedForRowWithIndexPath(
        platform::ui::TableView* tableView, const platform::ui::IndexPath& indexPath) override;
    // A row stays in its place unless it is dropped into a sorting section.
    platform::ui::IndexPath tableViewTargetIndexPathForMoveFromRowAtIndexPath(
        platform::ui::TableView* tableView, const platform::ui::IndexPath& source,
        const platform::ui::IndexPath& proposed) override;
    // Delete where the row's section lets rows be deleted, nothing elsewhere.
    platform::ui::TableViewCellEditingStyle tableViewEditingStyleForRowAtIndexPath(
        platform::ui::TableView* tableView, const platform::ui::IndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(
        platform::ui::TableView* tableView, const platform::ui::IndexPath& indexPath) override;
    double tableViewHeightForHeaderInSection(
        platform::ui::TableView* tableView, int section) override;
    double tableViewHeightForFooterInSection(
        platform::ui::TableView* tableView, int section) override;
    // The section's own view, else the appearance's.
    platform::ui::View* tableViewViewForHeaderInSection(
        platform::ui::TableView* tableView, int section) override;
    platform::ui::View* tableViewViewForFooterInSection(
        platform::ui::TableView* tableView, int section) override;
    void tableViewWillDisplayCell(platform::ui::TableView* tableView,
        platform::ui::TableViewCell* cell, const platform::ui::IndexPath& indexPath) override;

private:
    QPointer<FormTableView> m_tableView;
};
