#include "forms/FormSortingSection.h"

#include "forms/FormElement.h"

FormSortingSection::FormSortingSection() = default;

void FormSortingSection::moveElementFromRow(qsizetype from, qsizetype to)
{
    auto& elements = mutableElements();
    if (from < 0 || from >= elements.size() || to < 0 || to >= elements.size())
        return;
    elements.move(from, to);
}

bool FormSortingSection::removeElementForRow(qsizetype row)
{
    auto& elements = mutableElements();
    if (row >= 0 && row < elements.size())
        elements.removeAt(row);
    return true;
}

void FormSortingSection::fetchValueIntoObject(const QVariant& target)
{
    if (key().isEmpty())
        return;
    QVariantList keys;
    for (const auto& element : elements())
        keys.append(
            element->key().isNull() ? KeyValueCoding::nullObject() : QVariant(element->key()));
    KeyValueCoding::setValueForKey(target, keys, key());
}
