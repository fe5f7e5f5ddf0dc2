#include "forms/FormDecimalTableViewCell.h"

#include "forms/FormDecimalElement.h"
#include "forms/FormEntryElementDelegate.h"
#include "forms/FormTextField.h"

using namespace platform::ui;

const QString FormDecimalTableViewCell::ReuseIdentifier = QStringLiteral("QuickformDecimalElement");

FormDecimalTableViewCell::FormDecimalTableViewCell(QWidget* parent)
    : FormEntryTableViewCell(ReuseIdentifier, new FormTextField, parent)
{
    textField()->setKeyboardType(TextInputTraits::KeyboardType::DecimalPad);
}

void FormDecimalTableViewCell::prepareForElement(
    FormEntryElement* element, FormTableView* tableView)
{
    FormEntryTableViewCell::prepareForElement(element, tableView);
    if (auto* decimal = qobject_cast<FormDecimalElement*>(element))
        textField()->setText(decimal->formattedValue());
}

bool FormDecimalTableViewCell::textFieldShouldChangeCharactersInRange(
    TextField* field, const TextRange& range, const QString& replacement)
{
    auto* element = qobject_cast<FormDecimalElement*>(entryElement());
    if (!element)
        return true;
    if (FormEntryElementDelegate* delegate = element->delegate())
        if (!delegate->FormEntryShouldChangeCharactersInRange(range, replacement, element, this))
            return false;
    if (!element->applyChange(field->text(), range, replacement))
        return false;
    field->setText(element->formattedValue());
    element->handleEditingChanged(this);
    return false;
}
