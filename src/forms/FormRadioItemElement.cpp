#include "forms/FormRadioItemElement.h"

#include "forms/FormAppearance.h"
#include "forms/FormControllerProtocol.h"
#include "forms/FormRadioElement.h"
#include "forms/FormRadioSection.h"
#include "forms/FormScheduler.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "platform/ui/Label.h"

using platform::ui::TableViewCell;

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

TableViewCell* FormRadioItemElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    TableViewCell* cell = FormLabelElement::getCellForTableView(tableView, controller);
    cell->setSelectionStyle(TableViewCell::SelectionStyle::Blue);
    cell->setAccessoryType(
        isChosen() ? TableViewCell::AccessoryType::Checkmark : TableViewCell::AccessoryType::None);
    platform::ui::Label* label = cell->textLabel();
    label->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const std::shared_ptr<FormAppearance> look = appearance();
    const std::optional<Color>& color
        = isEnabled() ? look->valueColorEnabled : look->valueColorDisabled;
    if (color)
        label->setTextColor(color->toQColor());
    return cell;
}

void FormRadioItemElement::selected(FormTableView* tableView, FormControllerProtocol* controller,
    const platform::ui::IndexPath& indexPath)
{
    QPointer<FormTableView> table(tableView);
    FormLabelElement::selected(tableView, controller, indexPath);
    if (!table)
        return;
    const qint64 previous = ownerSelected();
    if (previous != qint64(m_index)) {
        // The tick leaves the row of the old choice (when it is one) for this one.
        if (FormSection* section = parentSection()) {
            for (const auto& element : section->elements()) {
                auto* item = qobject_cast<FormRadioItemElement*>(element.get());
                if (item && previous >= 0 && item->index() == qulonglong(previous))
                    if (TableViewCell* old = table->cellForElement(item))
                        old->setAccessoryType(TableViewCell::AccessoryType::None);
            }
        }
        if (TableViewCell* cell = table->cellForRowAtIndexPath(indexPath))
            cell->setAccessoryType(TableViewCell::AccessoryType::Checkmark);
    }
    if (!m_radioElement && m_radioSection)
        table->deselectRowAtIndexPath(indexPath, true);
    choose(controller);
}
