#include "forms/FormSection.h"

#include "forms/FormBindingEvaluator.h"
#include "forms/FormElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormThread.h"
#include "platform/ui/ImageView.h"

#include <algorithm>
#include <atomic>

namespace {

// An image view of the bundle image, centred in its frame; null without a name.
platform::ui::View* imageViewNamed(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    const platform::ui::Image image = platform::ui::Image::named(name);
    auto* view = new platform::ui::ImageView(image);
    view->setFrame(QRectF(QPointF(0, 0), image.size()));
    view->setContentMode(platform::ui::ImageView::ContentMode::Center);
    return view;
}

std::atomic<quint64> g_visibilityChanges { 1 };

} // namespace

FormSection::FormSection() = default;

FormSection::~FormSection()
{
    // A header or footer never shown has no table to take it.
    for (const QPointer<platform::ui::View>& view : { m_headerView, m_footerView })
        if (view && !view->parentWidget())
            view->deleteLater();
}

std::shared_ptr<FormSection> FormSection::initWithTitle(const QString& title)
{
    auto section = std::make_shared<FormSection>();
    section->setTitle(title);
    return section;
}

void FormSection::setHidden(bool hidden)
{
    if (hidden == m_hidden)
        return;
    m_hidden = hidden;
    visibilityChanged();
}

quint64 FormSection::visibilityChanges()
{
    return g_visibilityChanges.load(std::memory_order_relaxed);
}

void FormSection::visibilityChanged()
{
    g_visibilityChanges.fetch_add(1, std::memory_order_relaxed);
}

void FormSection::addElement(std::shared_ptr<FormElement> element)
{
    if (!element)
        return;
    element->setParentSection(this);
    m_elements.append(std::move(element));
    m_visibleElementsMadeAt = 0;
}

void FormSection::insertElement(std::shared_ptr<FormElement> element, qsizetype index)
{
    if (!element)
        return;
    element->setParentSection(this);
    m_elements.insert(std::clamp<qsizetype>(index, 0, m_elements.size()), std::move(element));
    m_visibleElementsMadeAt = 0;
}

void FormSection::removeAllElements()
{
    m_elements.clear();
    m_visibleElementsMadeAt = 0;
}

QList<std::shared_ptr<FormElement>>& FormSection::mutableElements()
{
    m_visibleElementsMadeAt = 0;
    return m_elements;
}

const std::vector<FormElement*>& FormSection::visibleElements() const
{
    const quint64 changes = visibilityChanges();
    if (m_visibleElementsMadeAt != changes) {
        m_visibleElements.clear();
        for (const auto& element : m_elements)
            if (!element->hidden())
                m_visibleElements.push_back(element.get());
        m_visibleElementsMadeAt = changes;
    }
    return m_visibleElements;
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
    const std::vector<FormElement*>& visible = visibleElements();
    return index >= 0 && size_t(index) < visible.size() ? visible[size_t(index)] : nullptr;
}

qsizetype FormSection::visibleNumberOfElements() const
{
    return qsizetype(visibleElements().size());
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

void FormSection::setHeaderImage(const QString& name)
{
    m_headerImage = name;
    m_headerView.clear();
}

void FormSection::setFooterImage(const QString& name)
{
    m_footerImage = name;
    m_footerView.clear();
}

platform::ui::View* FormSection::headerView() const
{
    if (!m_headerView && !m_headerImage.isEmpty()) {
        FormThread::assertMain();
        m_headerView = imageViewNamed(m_headerImage);
    }
    return m_headerView;
}

void FormSection::setHeaderView(platform::ui::View* view)
{
    FormThread::assertMain();
    m_headerView = view;
}

platform::ui::View* FormSection::footerView() const
{
    if (!m_footerView && !m_footerImage.isEmpty()) {
        FormThread::assertMain();
        m_footerView = imageViewNamed(m_footerImage);
    }
    return m_footerView;
}

void FormSection::setFooterView(platform::ui::View* view)
{
    FormThread::assertMain();
    m_footerView = view;
}
