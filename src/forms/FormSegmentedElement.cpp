#include "forms/FormSegmentedElement.h"

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
