#include "forms/FormSelectItemElement.h"

#include "forms/FormSelectSection.h"

FormSelectItemElement::FormSelectItemElement() = default;

std::shared_ptr<FormSelectItemElement> FormSelectItemElement::initWithIndex(
    qulonglong index, FormSelectSection* section)
{
    auto item = std::make_shared<FormSelectItemElement>();
    item->m_selectSection = section;
    item->m_index = index;
    if (section && index < qulonglong(section->items().size()))
        item->setTitle(section->items().at(qsizetype(index)).toString());
    return item;
}

platform::ui::Image FormSelectItemElement::checkmarkImage() const
{
    if (m_checkmarkImage.isNull() && !m_checkmarkImageName.isEmpty())
        m_checkmarkImage = platform::ui::Image::named(m_checkmarkImageName);
    return m_checkmarkImage;
}

void FormSelectItemElement::setCheckmarkImageNamed(const QString& name)
{
    m_checkmarkImageName = name;
    m_checkmarkImage = {};
}

bool FormSelectItemElement::isTicked() const
{
    return m_selectSection && m_selectSection->isTicked(m_index);
}

FormSelectSection* FormSelectItemElement::selectSection() const
{
    return m_selectSection;
}

void FormSelectItemElement::setSelectSection(FormSelectSection* section)
{
    m_selectSection = section;
}
