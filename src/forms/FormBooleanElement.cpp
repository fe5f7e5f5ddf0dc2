#include "forms/FormBooleanElement.h"

FormBooleanElement::FormBooleanElement()
{
    m_boolValue = true;
}

std::shared_ptr<FormBooleanElement> FormBooleanElement::initWithTitle(
    const QString& title, bool value)
{
    auto element = std::make_shared<FormBooleanElement>();
    element->setTitle(title);
    element->setBoolValue(value);
    element->setEnabled(true);
    return element;
}

void FormBooleanElement::setBoolValue(bool value)
{
    m_boolValue = value;
    handleEditingChanged();
}

void FormBooleanElement::setNumberValue(const QVariant& number)
{
    setBoolValue(number.toDouble() != 0.0);
}

platform::ui::Image FormBooleanElement::onImage() const
{
    if (m_onImage.isNull() && !m_onImageName.isEmpty())
        m_onImage = platform::ui::Image::named(m_onImageName);
    return m_onImage;
}

platform::ui::Image FormBooleanElement::offImage() const
{
    if (m_offImage.isNull() && !m_offImageName.isEmpty())
        m_offImage = platform::ui::Image::named(m_offImageName);
    return m_offImage;
}

void FormBooleanElement::setOnImageName(const QString& name)
{
    m_onImageName = name;
    m_onImage = {};
}

void FormBooleanElement::setOffImageName(const QString& name)
{
    m_offImageName = name;
    m_offImage = {};
}

bool FormBooleanElement::hasImages() const
{
    return !m_onImageName.isEmpty() || !m_offImageName.isEmpty() || !m_onImage.isNull()
        || !m_offImage.isNull();
}

void FormBooleanElement::setController(FormControllerProtocol* controller)
{
    m_controller = FormControllerReference(controller);
}

void FormBooleanElement::rowTapped(FormControllerProtocol* controller)
{
    setBoolValue(!m_boolValue);
    handleElementSelected(controller);
}

void FormBooleanElement::switched(bool on)
{
    setBoolValue(on);
    FormControllerProtocol* controller = m_controller.get();
    if ((controller && !controllerAction().isEmpty()) || onSelected)
        handleElementSelected(controller);
}

void FormBooleanElement::imagePressed(bool wasOn)
{
    setBoolValue(!wasOn);
    FormControllerProtocol* controller = m_controller.get();
    if (controller && !controllerAccessoryAction().isEmpty())
        sendAction(controllerAccessoryAction(), controller);
}

void FormBooleanElement::setNilValueForKey(const QString& key)
{
    if (key == QLatin1String("boolValue"))
        setBoolValue(false);
    else
        FormLabelElement::setNilValueForKey(key);
}

void FormBooleanElement::fetchValueIntoObject(const QVariant& target)
{
    if (!key().isEmpty())
        KeyValueCoding::setValueForKey(target, QVariant(m_boolValue), key());
}
