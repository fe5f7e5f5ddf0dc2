#include "forms/FormRadioItemElement.h"

#include "forms/FormControllerProtocol.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRadioSection.h"
#include "forms/FormScheduler.h"

FormRadioItemElement::FormRadioItemElement() = default;

std::shared_ptr<FormRadioItemElement> FormRadioItemElement::initWithIndex(
    qulonglong index, FormRadioElement* element)
{
    auto item = std::make_shared<FormRadioItemElement>();
    item->m_index = index;
    item->m_radioElement = element;
    return item;
}

std::shared_ptr<FormRadioItemElement> FormRadioItemElement::initWithIndex(
    qulonglong index, FormRadioSection* section)
{
    auto item = std::make_shared<FormRadioItemElement>();
    item->m_index = index;
    item->m_radioSection = section;
    return item;
}

qint64 FormRadioItemElement::ownerSelected() const
{
    if (m_radioElement)
        return m_radioElement->selected();
    if (m_radioSection)
        return m_radioSection->selected();
    return -1;
}

bool FormRadioItemElement::isChosen() const
{
    const qint64 selected = ownerSelected();
    return selected >= 0 && qulonglong(selected) == m_index;
}

void FormRadioItemElement::choose(FormControllerProtocol* controller)
{
    if (FormRadioElement* element = m_radioElement) {
        element->setSelected(qint64(m_index));
        element->fieldDidEndEditing();
        if (controller)
            controller->setFormTableUserInteractionEnabled(false);
        FormControllerReference later(controller);
        FormScheduler::after(CloseDelayMilliseconds, [later] {
            if (FormControllerProtocol* alive = later.get())
                alive->popToPreviousRootElement();
        });
        return;
    }
    if (FormRadioSection* section = m_radioSection) {
        section->setSelected(qint64(m_index));
        if (section->onSelected)
            section->onSelected();
    }
}

FormRadioElement* FormRadioItemElement::radioElement() const
{
    return m_radioElement;
}

FormRadioSection* FormRadioItemElement::radioSection() const
{
    return m_radioSection;
}
