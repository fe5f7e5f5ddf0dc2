#include "forms/FormMultilineElement.h"

#include "forms/FormAppearance.h"
#include "forms/FormControllerProtocol.h"
#include "forms/FormEntryTableViewCell.h"
#include "forms/FormMultilineTextViewController.h"
#include "forms/FormTableView.h"
#include "platform/ui/TextView.h"

using platform::ui::TableViewCell;

FormMultilineElement::FormMultilineElement()
{
    setPresentationMode(Popover);
}

std::shared_ptr<FormMultilineElement> FormMultilineElement::initWithTitle(
    const QString& title, const QString& value)
{
    auto element = std::make_shared<FormMultilineElement>();
    element->setTitle(title);
    element->setTextValue(value);
    return element;
}

TableViewCell* FormMultilineElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    auto* cell = static_cast<FormEntryTableViewCell*>(
        FormEntryElement::getCellForTableView(tableView, controller));
    cell->setAccessoryType(TableViewCell::AccessoryType::DisclosureIndicator);
    cell->setSelectionStyle(
        isEnabled() ? TableViewCell::SelectionStyle::Blue : TableViewCell::SelectionStyle::None);
    cell->textField()->setEnabled(false);
    cell->textField()->setUserInteractionEnabled(false);
    cell->textField()->setTextAlignment(appearance()->labelAlignment | Qt::AlignVCenter);
    return cell;
}

void FormMultilineElement::selected(FormTableView* tableView, FormControllerProtocol* controller,
    const platform::ui::IndexPath& indexPath)
{
    if (!controller)
        return;
    auto* editor = new FormMultilineTextViewController(title());
    editor->setEntryElement(std::static_pointer_cast<FormMultilineElement>(shared_from_this()));
    editor->setEntryCell(qobject_cast<FormEntryTableViewCell*>(tableView->cellForElement(this)));
    editor->setResizeWhenKeyboardPresented(true);
    platform::ui::TextView* text = editor->textView();
    text->setText(textValue());
    text->setTraits(traits());
    text->setEditable(isEnabled());
    QPointer<FormMultilineElement> element(this);
    QPointer<FormMultilineTextViewController> weakEditor(editor);
    QPointer<FormTableView> table(tableView);
    editor->setWillDisappearCallback([element, weakEditor, table, indexPath] {
        if (!element || !weakEditor)
            return;
        element->setTextFromField(weakEditor->textView()->text());
        if (!table)
            return;
        table->reloadCellForElements({ element.data() });
        table->reloadData();
        table->deselectRowAtIndexPath(indexPath, true);
    });
    controller->displayViewController(editor, presentationMode());
}
