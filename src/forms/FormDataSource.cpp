#include "forms/FormDataSource.h"

#include "forms/FormElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormSortingSection.h"
#include "forms/FormTableView.h"

using platform::ui::IndexPath;
using platform::ui::TableView;
using platform::ui::TableViewCell;

namespace {

FormSection* visibleSection(FormTableView* table, int section)
{
    FormRootElement* root = table ? table->root() : nullptr;
    return root ? root->getVisibleSectionForIndex(section) : nullptr;
}

// The raw place in the section of the element at a visible row; the row past the last
// visible one is the end.
qsizetype rawRow(FormSection* section, int row)
{
    if (FormElement* element = section->getVisibleElementForIndex(row))
        return section->indexOfElement(element);
    return section->elements().size() - 1;
}

} // namespace

FormDataSource::FormDataSource(FormTableView* tableView)
    : m_tableView(tableView)
{
}

int FormDataSource::numberOfSectionsInTableView(TableView*)
{
    FormRootElement* root = m_tableView ? m_tableView->root() : nullptr;
    return root ? int(root->visibleNumberOfSections()) : 0;
}

int FormDataSource::tableViewNumberOfRowsInSection(TableView*, int section)
{
    FormSection* found = visibleSection(m_tableView, section);
    return found ? int(found->visibleNumberOfElements()) : 0;
}

TableViewCell* FormDataSource::tableViewCellForRowAtIndexPath(
    TableView* tableView, const IndexPath& indexPath)
{
    FormElement* element = m_tableView ? m_tableView->elementAt(indexPath) : nullptr;
    TableViewCell* cell
        = element ? element->getCellForTableView(m_tableView, m_tableView->controller()) : nullptr;
    if (!cell)
        cell = tableView->dequeueReusableCellWithIdentifier(QStringLiteral("QuickformBlank"));
    if (!cell)
        cell = new TableViewCell(TableViewCell::Style::Default, QStringLiteral("QuickformBlank"));
    cell->setUserInteractionEnabled(element && element->isEnabled());
    return cell;
}

QString FormDataSource::tableViewTitleForHeaderInSection(TableView*, int section)
{
    FormSection* found = visibleSection(m_tableView, section);
    return found ? found->title() : QString();
}

QString FormDataSource::tableViewTitleForFooterInSection(TableView*, int section)
{
    FormSection* found = visibleSection(m_tableView, section);
    return found ? found->footer() : QString();
}

bool FormDataSource::tableViewCanMoveRowAtIndexPath(TableView*, const IndexPath& indexPath)
{
    return qobject_cast<FormSortingSection*>(visibleSection(m_tableView, indexPath.section()));
}

bool FormDataSource::tableViewCanEditRowAtIndexPath(
    TableView* tableView, const IndexPath& indexPath)
{
    FormSection* section = visibleSection(m_tableView, indexPath.section());
    if (auto* sorting = qobject_cast<FormSortingSection*>(section))
        return sorting->canRemoveElementForRow(indexPath.row());
    return tableView->isEditing();
}

void FormDataSource::tableViewMoveRowAtIndexPath(
    TableView*, const IndexPath& from, const IndexPath& to)
{
    auto* sorting = qobject_cast<FormSortingSection*>(visibleSection(m_tableView, from.section()));
    if (!sorting || sorting->elements().isEmpty())
        return;
    // A move into another section is taken as a move within the source section.
    sorting->moveElementFromRow(rawRow(sorting, from.row()), rawRow(sorting, to.row()));
}

void FormDataSource::tableViewCommitEditingStyleForRowAtIndexPath(
    TableView* tableView, platform::ui::TableViewCellEditingStyle style, const IndexPath& indexPath)
{
    if (style != platform::ui::TableViewCellEditingStyle::Delete)
        return;
    auto* sorting
        = qobject_cast<FormSortingSection*>(visibleSection(m_tableView, indexPath.section()));
    if (!sorting || !sorting->getVisibleElementForIndex(indexPath.row()))
        return;
    if (sorting->removeElementForRow(rawRow(sorting, indexPath.row())))
        tableView->deleteRowsAtIndexPaths({ indexPath }, TableView::RowAnimation::None);
}
