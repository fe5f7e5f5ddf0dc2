#include "forms/FormFloatElement.h"

#include "forms/FormFloatTableViewCell.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"

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

platform::ui::TableViewCell* FormFloatElement::getCellForTableView(
    FormTableView*, FormControllerProtocol*)
{
    using platform::ui::TableViewCell;
    auto* cell = new FormFloatTableViewCell;
    cell->applyAppearanceForElement(this);
    platform::ui::Slider* slider = cell->slider();
    slider->setMinimumValue(m_minimumValue);
    slider->setMaximumValue(m_maximumValue);
    slider->setValue(m_floatValue);
    slider->setEnabled(isEnabled());
    QPointer<FormFloatElement> self(this);
    slider->addTarget(
        [self](platform::ui::Control* sender) {
            if (self)
                self->valueChanged(static_cast<platform::ui::Slider*>(sender)->value());
        },
        platform::ui::ControlEventValueChanged);
    cell->textLabel()->setText(title());
    if (platform::ui::Label* detail = cell->detailTextLabel())
        detail->setText(valueText(value()));
    cell->imageView()->setImage(image());
    const bool acts = hasSections() || !controllerAction().isEmpty();
    cell->setAccessoryType(TableViewCell::AccessoryType(accessoryType() != AccessoryNone
            ? accessoryType()
            : (acts ? AccessoryDisclosureIndicator : AccessoryNone)));
    cell->setSelectionStyle(
        acts ? TableViewCell::SelectionStyle::Blue : TableViewCell::SelectionStyle::None);
    cell->setLabelingPolicy(labelingPolicy());
    return cell;
}

void FormFloatElement::valueChanged(float value)
{
    m_floatValue = value;
    handleEditingChanged();
}
