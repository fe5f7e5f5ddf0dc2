#include "forms/FormFloatElement.h"

FormFloatElement::FormFloatElement() = default;

std::shared_ptr<FormFloatElement> FormFloatElement::initWithValue(float value)
{
    auto element = std::make_shared<FormFloatElement>();
    element->setFloatValue(value);
    return element;
}

std::shared_ptr<FormFloatElement> FormFloatElement::initWithTitle(const QString& title, float value)
{
    auto element = initWithValue(value);
    element->setTitle(title);
    return element;
}

void FormFloatElement::setNilValueForKey(const QString& key)
{
    if (key == QLatin1String("floatValue"))
        setFloatValue(0);
    else
        FormLabelElement::setNilValueForKey(key);
}

void FormFloatElement::fetchValueIntoObject(const QVariant& target)
{
    if (!key().isEmpty())
        KeyValueCoding::setValueForKey(target, QVariant(m_floatValue), key());
}
