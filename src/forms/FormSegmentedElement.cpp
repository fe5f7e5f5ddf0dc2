#include "forms/FormSegmentedElement.h"

#include "forms/FormRootBuilder.h"
#include "forms/FormTableViewCell.h"
#include "platform/ui/Image.h"
#include "platform/ui/SegmentedControl.h"

using namespace platform::ui;

FormSegmentedElement::FormSegmentedElement() = default;

std::shared_ptr<FormSegmentedElement> FormSegmentedElement::initWithItems(
    const QVariantList& items, qint64 selected)
{
    auto element = initWithItems(items, selected, QString());
    element->setSelectedDirectly(-1);
    return element;
}

std::shared_ptr<FormSegmentedElement> FormSegmentedElement::initWithItems(
    const QVariantList& items, qint64 selected, const QString& title)
{
    auto element = std::make_shared<FormSegmentedElement>();
    element->setItems(items);
    element->setSelected(selected);
    element->setTitle(title);
    return element;
}

void FormSegmentedElement::setItems(const QVariantList& items)
{
    // No row per item, but a segment in the row that is laid out and drawn: a list from
    // outside counts against the rows its form may make all the same.
    FormRootBuilder::willBuild(items.size());
    if (items == this->items())
        return;
    setItemsWithoutList(items);
}

void FormSegmentedElement::segmentChosen(qint64 index, FormControllerProtocol* controller)
{
    setSelectedDirectly(index);
    handleElementSelected(controller);
    handleEditingChanged();
}

TableViewCell* FormSegmentedElement::getCellForTableView(
    FormTableView*, FormControllerProtocol* controller)
{
    m_controller = FormControllerReference(controller);
    auto* cell = new FormTableViewCell(cellReuseIdentifier());
    cell->setBackgroundView(new View);
    cell->setBackgroundColor(Qt::transparent);
    cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
    QVariantList shown;
    for (const QVariant& item : items()) {
        const Image image
            = item.metaType().id() == QMetaType::QString ? Image::named(item.toString()) : Image();
        shown.append(image.isNull() ? item : QVariant::fromValue(image));
    }
    auto* control = new SegmentedControl(shown);
    control->setFrame(cell->contentView()->bounds());
    control->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    control->setSegmentedControlStyle(2);
    control->setSelectedSegmentIndex(int(selected()));
    control->setTag(ControlTag);
    control->setEnabled(isEnabled());
    QPointer<FormSegmentedElement> self(this);
    control->addTarget(
        [self](Control* sender) {
            if (self)
                self->segmentChosen(static_cast<SegmentedControl*>(sender)->selectedSegmentIndex(),
                    self->segmentController());
        },
        ControlEventValueChanged);
    cell->contentView()->addSubview(control);
    return cell;
}
