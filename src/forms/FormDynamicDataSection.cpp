#include "forms/FormDynamicDataSection.h"

#include "forms/FormBindingEvaluator.h"
#include "forms/FormEmptyListElement.h"
#include "forms/FormLoadingElement.h"

FormDynamicDataSection::FormDynamicDataSection()
{
    addElement(std::make_shared<FormLoadingElement>());
}

void FormDynamicDataSection::bindToObject(const QVariant& data)
{
    removeAllElements();
    FormSection::bindToObject(data);
    if (!elements().isEmpty())
        return;
    const QVariant collection = FormBindingEvaluator::iteratedCollection(bind(), data);
    if (KeyValueCoding::isNil(collection) || KeyValueCoding::isNullObject(collection))
        return;
    const bool empty
        = collection.canConvert<QVariantList>() ? collection.toList().isEmpty() : false;
    if (empty)
        addElement(FormEmptyListElement::initWithTitle(m_emptyMessage));
}
