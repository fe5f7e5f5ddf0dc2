#include "forms/FormButtonElement.h"

FormButtonElement::FormButtonElement() = default;

std::shared_ptr<FormButtonElement> FormButtonElement::initWithTitle(const QString& title)
{
    auto element = std::make_shared<FormButtonElement>();
    element->setTitle(title);
    return element;
}
