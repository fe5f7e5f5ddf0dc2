#include "forms/FormEntryElementDelegate.h"

FormEntryElementDelegate::~FormEntryElementDelegate() = default;

void FormEntryElementDelegate::FormEntryEditingChangedForElement(
    FormEntryElement*, FormEntryTableViewCell*)
{
}

void FormEntryElementDelegate::FormEntryDidBeginEditingElement(
    FormEntryElement*, FormEntryTableViewCell*)
{
}

void FormEntryElementDelegate::FormEntryDidEndEditingElement(
    FormEntryElement*, FormEntryTableViewCell*)
{
}

bool FormEntryElementDelegate::FormEntryShouldChangeCharactersInRange(
    const platform::ui::TextRange&, const QString&, FormEntryElement*, FormEntryTableViewCell*)
{
    return true;
}

bool FormEntryElementDelegate::FormEntryShouldReturnForElement(
    FormEntryElement*, FormEntryTableViewCell*)
{
    return true;
}

void FormEntryElementDelegate::FormEntryMustReturnForElement(
    FormEntryElement*, FormEntryTableViewCell*)
{
}
