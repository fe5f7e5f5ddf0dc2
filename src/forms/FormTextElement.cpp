#include "forms/FormTextElement.h"

FormTextElement::FormTextElement() = default;

std::shared_ptr<FormTextElement> FormTextElement::initWithText(const QString& text)
{
    auto element = std::make_shared<FormTextElement>();
    element->setText(text);
    return element;
}

void FormTextElement::fetchValueIntoObject(const QVariant& target)
{
    if (!key().isEmpty())
        KeyValueCoding::setValueForKey(target, m_text, key());
}
