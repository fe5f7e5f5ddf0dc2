#include "forms/FormSelectItemElement.h"

#include "forms/FormSelectSection.h"
#include "forms/FormTableView.h"
#include "platform/ui/ImageView.h"

using platform::ui::TableViewCell;

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

TableViewCell* FormSelectItemElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    TableViewCell* cell = FormLabelElement::getCellForTableView(tableView, controller);
    cell->setSelectionStyle(
        isEnabled() ? TableViewCell::SelectionStyle::Blue : TableViewCell::SelectionStyle::None);
    updateCell(cell);
    return cell;
}

void FormSelectItemElement::updateCell(TableViewCell* cell)
{
    if (!isTicked()) {
        cell->setAccessoryView(nullptr);
        cell->setAccessoryType(TableViewCell::AccessoryType::None);
        return;
    }
    const platform::ui::Image tick = checkmarkImage();
    if (!tick.isNull()) {
        cell->setAccessoryType(TableViewCell::AccessoryType::None);
        auto* view = new platform::ui::ImageView(tick);
        view->sizeToFit();
        cell->setAccessoryView(view);
    } else {
        cell->setAccessoryView(nullptr);
        cell->setAccessoryType(TableViewCell::AccessoryType::Checkmark);
    }
}

void FormSelectItemElement::selected(FormTableView* tableView, FormControllerProtocol* controller,
    const platform::ui::IndexPath& indexPath)
{
    QPointer<FormTableView> table(tableView);
    FormLabelElement::selected(tableView, controller, indexPath);
    FormSelectSection* section = m_selectSection;
    if (!section || !table)
        return;
    const QList<qulonglong> changed = section->toggleItemAtIndex(m_index);
    if (!table)
        return;
    for (const auto& element : section->elements()) {
        auto* item = qobject_cast<FormSelectItemElement*>(element.get());
        if (item && changed.contains(item->index()))
            if (TableViewCell* cell = table->cellForElement(item))
                item->updateCell(cell);
    }
    table->deselectRowAtIndexPath(indexPath, true);
}
