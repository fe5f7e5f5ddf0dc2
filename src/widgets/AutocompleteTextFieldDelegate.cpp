#include "widgets/AutocompleteTextFieldDelegate.h"

AutocompleteTextFieldDelegate::~AutocompleteTextFieldDelegate() = default;
