#pragma once

#include <memory>

class FormElement;
class TemplateColumn;

// The element a filter condition's value is typed in, made for the column's type and
// bound to the value of FilterExtended that suits it (the forms sit above the filter
// record, so this lives here rather than on it).
namespace FilterValueElement {

// Titled "Value": a choice of the list values for "List" (the first chosen), a decimal
// entry with the column's precision for numbers (and the currency symbol after a
// "Currency" value), a switch for "Yes/No", a date picker starting now for date types
// (time only for "Time", date and time for "DateTime"), and a text entry otherwise.
std::shared_ptr<FormElement> getEntryElemenet(const TemplateColumn* column);

} // namespace FilterValueElement
