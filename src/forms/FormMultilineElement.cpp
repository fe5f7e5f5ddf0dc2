#include "forms/FormMultilineElement.h"

FormMultilineElement::FormMultilineElement() = default;

std::shared_ptr<FormMultilineElement> FormMultilineElement::initWithTitle(
    const QString& title, const QString& value)
{
    auto element = std::make_shared<FormMultilineElement>();
    element->setTitle(title);
    element->setTextValue(value);
    return element;
}
