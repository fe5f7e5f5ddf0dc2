#include "forms/FormSection.h"

#include "forms/FormBindingEvaluator.h"
#include "forms/FormElement.h"
#include "forms/FormRootElement.h"

#include <algorithm>

FormSection::FormSection() = default;

FormSection::~FormSection() = default;

std::shared_ptr<FormSection> FormSection::initWithTitle(const QString& title)
{
    auto section = std::make_shared<FormSection>();
    section->setTitle(title);
    return section;
}

void FormSection::addElement(std::shared_ptr<FormElement> element)
{
    if (!element)
        return;
    element->setParentSection(this);
    m_elements.append(std::move(element));
}

void FormSection::insertElement(std::shared_ptr<FormElement> element, qsizetype index)
{
    if (!element)
        return;
    element->setParentSection(this);
    m_elements.insert(std::clamp<qsizetype>(index, 0, m_elements.size()), std::move(element));
}

void FormSection::removeAllElements()
{
    m_elements.clear();
}

FormElement* FormSection::elementAt(qsizetype index) const
{
    return index >= 0 && index < m_elements.size() ? m_elements[index].get() : nullptr;
}

qsizetype FormSection::indexOfElement(const FormElement* element) const
{
    for (qsizetype i = 0; i < m_elements.size(); ++i)
        if (m_elements[i].get() == element)
            return i;
    return FormNotFound;
}

FormElement* FormSection::getVisibleElementForIndex(qsizetype index) const
{
    for (const auto& element : m_elements) {
        if (element->hidden())
            continue;
        if (index == 0)
            return element.get();
        --index;
    }
    return nullptr;
}

qsizetype FormSection::visibleNumberOfElements() const
{
    qsizetype count = 0;
    for (const auto& element : m_elements)
        if (!element->hidden())
            ++count;
    return count;
}

qsizetype FormSection::getVisibleIndexForElement(const FormElement* element) const
{
    qsizetype visible = 0;
    for (const auto& candidate : m_elements) {
        if (candidate.get() == element)
            return visible;
        if (!candidate->hidden())
            ++visible;
    }
    return FormNotFound;
}

qsizetype FormSection::visibleIndex() const
{
    return m_rootElement ? m_rootElement->getVisibleIndexForSection(this) : FormNotFound;
}

void FormSection::bindToObject(const QVariant& data)
{
    bindAsPlainSection(data);
}

void FormSection::bindAsPlainSection(const QVariant& data)
{
    // The iterating items replace the rows themselves, except that the null object
    // leaves them as they are.
    if (!FormBindingEvaluator::stringIsEmpty(m_bind) && m_bind.contains(u"iterate")) {
        FormBindingEvaluator().bindObject(this, data);
        return;
    }
    const QList<std::shared_ptr<FormElement>> elements = m_elements;
    for (const auto& element : elements)
        element->bindToObject(data);
    FormBindingEvaluator().bindObject(this, data);
}

void FormSection::fetchValueIntoObject(const QVariant& target)
{
    for (const auto& element : m_elements)
        element->fetchValueIntoObject(target);
}

void FormSection::fetchValueUsingBindingsIntoObject(const QVariant& target)
{
    for (const auto& element : m_elements)
        element->fetchValueUsingBindingsIntoObject(target);
}

FormRootElement* FormSection::rootElement() const
{
    return m_rootElement;
}

void FormSection::setRootElement(FormRootElement* root)
{
    m_rootElement = root;
}
