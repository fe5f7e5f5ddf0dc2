#include "forms/FormRadioElement.h"

#include "forms/FormAppearance.h"
#include "forms/FormControllerProtocol.h"
#include "forms/FormEntryTableViewCell.h"
#include "forms/FormRadioItemElement.h"
#include "forms/FormRootBuilder.h"
#include "forms/FormSection.h"
#include "forms/FormTableView.h"
#include "platform/NumberType.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "utilities/data/OrderedDictionary.h"

namespace {

QString textOf(const QVariant& item)
{
    return item.toString();
}

} // namespace

FormRadioElement::FormRadioElement() = default;

std::shared_ptr<FormRadioElement> FormRadioElement::initWithItems(
    const QVariantList& items, qint64 selected, const QString& title)
{
    return initWithItems(items, selected, title, QStringList());
}

std::shared_ptr<FormRadioElement> FormRadioElement::initWithItems(
    const QVariantList& items, qint64 selected, const QString& title, const QStringList& imageNames)
{
    auto element = std::make_shared<FormRadioElement>();
    element->setItemsImageNames(imageNames);
    element->setItems(items);
    element->setSelected(selected);
    element->setTitle(title);
    return element;
}

std::shared_ptr<FormRadioElement> FormRadioElement::initWithItems(
    const QVariantList& items, qint64 selected)
{
    return initWithItems(items, selected, QStringList());
}

std::shared_ptr<FormRadioElement> FormRadioElement::initWithItems(
    const QVariantList& items, qint64 selected, const QStringList& imageNames)
{
    auto element = initWithItems(items, selected, QString(), imageNames);
    element->m_selected = -1;
    return element;
}

std::shared_ptr<FormRadioElement> FormRadioElement::initWithDict(
    const OrderedDictionary& dictionary, qint64 selected, const QString& title,
    const QStringList& imageNames)
{
    QVariantList items;
    for (const QString& key : dictionary.keyEnumerator())
        items.append(key);
    auto element = initWithItems(items, selected, imageNames);
    element->setValues(dictionary.allValues());
    element->setTitle(title);
    return element;
}

void FormRadioElement::setItems(const QVariantList& items)
{
    // A row per item in the list it opens: a list from outside counts against the rows its
    // form may make.
    FormRootBuilder::willBuild(items.size());
    m_items = items;
    createElements();
}

void FormRadioElement::createElements()
{
    dropSections();
    setPresentationMode(NavigationInPopover);
    auto section = std::make_shared<FormSection>();
    m_internalRadioItemsSection = section.get();
    setParentSection(section.get());
    addSection(section);
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        auto item = FormRadioItemElement::initWithIndex(qulonglong(i), this);
        if (!m_itemsImageNames.isEmpty() && i < m_itemsImageNames.size())
            item->setImageNamed(m_itemsImageNames[i]);
        item->setTitle(textOf(m_items[i]));
        section->addElement(item);
    }
}

void FormRadioElement::setSelected(qint64 index)
{
    m_unlistedItem = QVariant();
    select(index);
}

void FormRadioElement::select(qint64 index)
{
    m_selected = index;
    // Without a valid choice the list opens where it starts.
    if (index >= 0 && index < m_items.size())
        preselectedElementIndex = FormIndexPath { qsizetype(index), 0 };
    else
        preselectedElementIndex.reset();
    if (!m_itemsImageNames.isEmpty()) {
        setImageNamed(index >= 0 && index < m_itemsImageNames.size() ? m_itemsImageNames[index]
                                                                     : QStringLiteral("unknown"));
    }
    // The row on screen shows the choice at once, however it was made: otherwise it keeps
    // the name and image it was drawn with until its table is reloaded.
    if (FormControllerProtocol* shown = controller()) {
        FormTableView* table = shown->formTableView();
        if (auto* cell
            = table ? qobject_cast<FormEntryTableViewCell*>(table->cellForElement(this)) : nullptr)
            updateCell(cell, selectedItem());
    }
    handleEditingChanged();
}

bool FormRadioElement::hasValidChoice() const
{
    return m_selected >= 0 && m_selected < m_items.size();
}

QVariant FormRadioElement::selectedItem() const
{
    return hasValidChoice() ? m_items[m_selected] : m_unlistedItem;
}

void FormRadioElement::setSelectedItem(const QVariant& item)
{
    if (KeyValueCoding::isNil(item) || m_items.isEmpty())
        return;
    const qsizetype index = m_items.indexOf(item);
    m_unlistedItem = index < 0 ? item : QVariant();
    select(index);
}

QVariant FormRadioElement::selectedValue() const
{
    if (!m_values || m_selected < 0 || m_selected >= m_values->size())
        return {};
    return m_values->at(m_selected);
}

void FormRadioElement::setSelectedValue(const QVariant& value)
{
    if (platform::isNumber(value)) {
        setSelected(value.toLongLong());
        return;
    }
    const qsizetype index
        = m_values && !KeyValueCoding::isNil(value) ? m_values->indexOf(value) : qsizetype(-1);
    setSelected(index);
}

void FormRadioElement::fetchValueIntoObject(const QVariant& target)
{
    if (key().isEmpty())
        return;
    const qsizetype count = m_values ? m_values->size() : m_items.size();
    if (m_selected < 0 || m_selected >= count)
        return;
    KeyValueCoding::setValueForKey(
        target, m_values ? m_values->at(m_selected) : QVariant(qlonglong(m_selected)), key());
}

QVariant FormRadioElement::valuesProperty() const
{
    return m_values ? QVariant(*m_values) : QVariant();
}

void FormRadioElement::setValuesProperty(const QVariant& values)
{
    if (KeyValueCoding::isNil(values) || KeyValueCoding::isNullObject(values))
        m_values.reset();
    else
        m_values = values.toList();
}

FormSection* FormRadioElement::internalRadioItemsSection() const
{
    return m_internalRadioItemsSection;
}

platform::ui::TableViewCell* FormRadioElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    using platform::ui::TableViewCell;
    auto* cell = static_cast<FormEntryTableViewCell*>(
        FormEntryElement::getCellForTableView(tableView, controller));
    updateCell(cell, selectedItem());
    cell->setAccessoryType(isEnabled() ? TableViewCell::AccessoryType::DisclosureIndicator
                                       : TableViewCell::AccessoryType::None);
    cell->setSelectionStyle(
        isEnabled() ? TableViewCell::SelectionStyle::Blue : TableViewCell::SelectionStyle::None);
    cell->textField()->setUserInteractionEnabled(false);
    cell->setNeedsLayout();
    return cell;
}

void FormRadioElement::updateCell(FormEntryTableViewCell* cell, const QVariant& item)
{
    const std::shared_ptr<FormAppearance> look = appearance();
    platform::ui::TextField* field = cell->textField();
    const std::optional<Color>& labelColor
        = isEnabled() ? look->labelColorEnabled : look->labelColorDisabled;
    field->setText(valueText(item));
    if (labelColor)
        field->setTextColor(labelColor->toQColor());
    if (!title().isEmpty()) {
        cell->textLabel()->setText(title());
        field->setTextAlignment(look->valueAlignment | Qt::AlignVCenter);
        const std::optional<Color>& entryColor
            = isEnabled() ? look->entryTextColorEnabled : look->entryTextColorDisabled;
        if (platform::ui::Label* detail = cell->detailTextLabel(); detail && entryColor)
            detail->setTextColor(entryColor->toQColor());
    } else {
        field->setTextAlignment(look->labelAlignment | Qt::AlignVCenter);
        if (platform::ui::Label* detail = cell->detailTextLabel())
            detail->setText(QString());
    }
    cell->imageView()->setImage(image());
}

void FormRadioElement::selected(
    FormTableView*, FormControllerProtocol* controller, const platform::ui::IndexPath&)
{
    if (hasSections() && isEnabled() && controller)
        controller->displayViewControllerForRoot(this);
}
