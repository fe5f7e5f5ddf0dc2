#pragma once

#include "platform/ui/TextField.h"

class AutocompleteTextField;

// The delegate of an autocomplete field: a text-field delegate that also offers the rest
// of a completion for what has been typed.
class AutocompleteTextFieldDelegate : public platform::ui::TextFieldDelegate {
public:
    ~AutocompleteTextFieldDelegate() override;

    // What to show after the typed prefix; an empty text shows nothing.
    virtual QString textFieldCompletionForPrefix(
        AutocompleteTextField* field, const QString& prefix)
        = 0;
};
