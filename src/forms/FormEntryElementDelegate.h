#pragma once

#include "platform/ui/TextInput.h"
#include "platform/ui/View.h"

#include <QString>

class FormEntryElement;
class FormEntryTableViewCell;

// Optional callbacks of an entry element; each default does what happens when the
// delegate does not implement the method.
class FormEntryElementDelegate {
public:
    virtual ~FormEntryElementDelegate();

    virtual void FormEntryEditingChangedForElement(
        FormEntryElement* element, FormEntryTableViewCell* cell);
    virtual void FormEntryDidBeginEditingElement(
        FormEntryElement* element, FormEntryTableViewCell* cell);
    virtual void FormEntryDidEndEditingElement(
        FormEntryElement* element, FormEntryTableViewCell* cell);
    // NO refuses the change.
    virtual bool FormEntryShouldChangeCharactersInRange(const platform::ui::TextRange& range,
        const QString& replacement, FormEntryElement* element, FormEntryTableViewCell* cell);
    // The answer of the return key.
    virtual bool FormEntryShouldReturnForElement(
        FormEntryElement* element, FormEntryTableViewCell* cell);
    virtual void FormEntryMustReturnForElement(
        FormEntryElement* element, FormEntryTableViewCell* cell);
};
