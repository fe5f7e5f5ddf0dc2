#include "forms/FormLabelElement.h"

#include "style/ThemedImages.h"

FormLabelElement::FormLabelElement() = default;

std::shared_ptr<FormLabelElement> FormLabelElement::initWithTitle(
    const QString& title, const QVariant& value)
{
    auto element = std::make_shared<FormLabelElement>();
    element->setTitle(title);
    element->setValue(value);
    element->setKeepSelected(true);
    return element;
}

platform::ui::Image FormLabelElement::image() const
{
    if (m_image.isNull() && !m_imageName.isEmpty())
        m_image = ThemedImages::themedimageNamed(m_imageName);
    return m_image;
}

void FormLabelElement::setImage(const platform::ui::Image& image)
{
    m_image = image;
    m_imageName.clear();
}

void FormLabelElement::setImageNamed(const QString& name)
{
    m_imageName = name;
    m_image = {};
}
