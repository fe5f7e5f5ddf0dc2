#include "forms/FormBooleanElement.h"

#include "forms/FormTableView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableViewCell.h"
#include "style/Theme.h"

using namespace platform::ui;

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

TableViewCell* FormBooleanElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    TableViewCell* cell = FormLabelElement::getCellForTableView(tableView, controller);
    cell->setAccessoryType(hasSections() ? TableViewCell::AccessoryType::DisclosureIndicator
                                         : TableViewCell::AccessoryType::None);
    cell->setSelectionStyle(
        hasSections() ? TableViewCell::SelectionStyle::Blue : TableViewCell::SelectionStyle::None);
    setController(controller);
    QPointer<FormBooleanElement> self(this);
    if (!hasImages()) {
        auto* toggle = new Switch;
        if (Theme* theme = Theme::current())
            theme->applyStyleForSwitch(toggle);
        toggle->setOn(m_boolValue);
        toggle->setEnabled(isEnabled());
        toggle->addTarget(
            [self](Control* sender) {
                if (self)
                    self->switched(static_cast<Switch*>(sender)->isOn());
            },
            ControlEventValueChanged);
        toggle->sizeToFit();
        cell->setAccessoryView(toggle);
        return cell;
    }
    auto* button = new Button;
    button->setImage(offImage(), ControlStateNormal);
    button->setImage(onImage(), ControlStateSelected);
    button->setImage(onImage(), ControlStateSelected | ControlStateDisabled);
    button->setEnabled(isEnabled());
    button->setSelected(m_boolValue);
    button->sizeToFit();
    button->addTarget(
        [self](Control* sender) {
            if (!self)
                return;
            self->imagePressed(sender->isSelected());
            sender->setSelected(self->boolValue());
        },
        ControlEventTouchUpInside);
    cell->setAccessoryView(button);
    return cell;
}

void FormBooleanElement::selected(
    FormTableView* tableView, FormControllerProtocol* controller, const IndexPath& indexPath)
{
    setBoolValue(!m_boolValue);
    if (TableViewCell* cell = tableView->cellForRowAtIndexPath(indexPath)) {
        if (auto* toggle = qobject_cast<Switch*>(cell->accessoryView()))
            toggle->setOn(m_boolValue, true);
        else if (auto* button = qobject_cast<Button*>(cell->accessoryView()))
            button->setSelected(m_boolValue);
    }
    if (controllerAction().isEmpty())
        tableView->deselectRowAtIndexPath(indexPath, true);
    handleElementSelected(controller);
}
