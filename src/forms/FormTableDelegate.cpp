#include "forms/FormTableDelegate.h"

#include "forms/FormAppearance.h"
#include "forms/FormElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormSortingSection.h"
#include "forms/FormTableView.h"

using platform::ui::IndexPath;
using platform::ui::TableView;

namespace {

FormSection* visibleSection(FormTableView* table, int section)
{
    FormRootElement* root = table ? table->root() : nullptr;
    return root ? root->getVisibleSectionForIndex(section) : nullptr;
}

} // namespace

FormTableDelegate::FormTableDelegate(FormTableView* tableView)
    : m_tableView(tableView)
{
}

void FormTableDelegate::tableViewDidSelectRowAtIndexPath(TableView*, const IndexPath& indexPath)
{
    if (FormElement* element = m_tableView ? m_tableView->elementAt(indexPath) : nullptr)
        element->selected(m_tableView, m_tableView->controller(), indexPath);
}

void FormTableDelegate::tableViewAccessoryButtonTappedForRowWithIndexPath(
    TableView*, const IndexPath& indexPath)
{
    if (FormElement* element = m_tableView ? m_tableView->elementAt(indexPath) : nullptr)
        element->selectedAccessory(m_tableView, m_tableView->controller(), indexPath);
}

IndexPath FormTableDelegate::tableViewTargetIndexPathForMoveFromRowAtIndexPath(
    TableView*, const IndexPath& source, const IndexPath& proposed)
{
    return qobject_cast<FormSortingSection*>(visibleSection(m_tableView, proposed.section()))
        ? proposed
        : source;
}

platform::ui::TableViewCellEditingStyle FormTableDelegate::tableViewEditingStyleForRowAtIndexPath(
    TableView*, const IndexPath& indexPath)
{
    FormSection* section = visibleSection(m_tableView, indexPath.section());
    return section && section->canDeleteRows() ? platform::ui::TableViewCellEditingStyle::Delete
                                               : platform::ui::TableViewCellEditingStyle::None;
}

double FormTableDelegate::tableViewHeightForRowAtIndexPath(TableView*, const IndexPath& indexPath)
{
    FormElement* element = m_tableView ? m_tableView->elementAt(indexPath) : nullptr;
    return element ? element->getRowHeightForTableView(m_tableView) : 44;
}

double FormTableDelegate::tableViewHeightForHeaderInSection(TableView*, int section)
{
    FormSection* found = visibleSection(m_tableView, section);
    if (!found)
        return TableView::AutomaticDimension;
    return m_tableView->root()->appearance()->heightForHeaderInSection(found, m_tableView, section);
}

double FormTableDelegate::tableViewHeightForFooterInSection(TableView*, int section)
{
    FormSection* found = visibleSection(m_tableView, section);
    if (!found)
        return TableView::AutomaticDimension;
    return m_tableView->root()->appearance()->heightForFooterInSection(found, m_tableView, section);
}

platform::ui::View* FormTableDelegate::tableViewViewForHeaderInSection(TableView*, int section)
{
    FormSection* found = visibleSection(m_tableView, section);
    if (!found)
        return nullptr;
    if (platform::ui::View* own = found->headerView())
        return own;
    return m_tableView->root()->appearance()->buildHeaderForSection(found, m_tableView, section);
}

platform::ui::View* FormTableDelegate::tableViewViewForFooterInSection(TableView*, int section)
{
    FormSection* found = visibleSection(m_tableView, section);
    if (!found)
        return nullptr;
    if (platform::ui::View* own = found->footerView())
        return own;
    return m_tableView->root()->appearance()->buildFooterForSection(found, m_tableView, section);
}

void FormTableDelegate::tableViewWillDisplayCell(
    TableView*, platform::ui::TableViewCell* cell, const IndexPath& indexPath)
{
    FormElement* element = m_tableView ? m_tableView->elementAt(indexPath) : nullptr;
    if (element && m_tableView->root())
        m_tableView->root()->appearance()->cellWillAppearForElement(cell, element, indexPath);
}
