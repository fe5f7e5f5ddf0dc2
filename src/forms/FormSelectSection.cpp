#include "forms/FormSelectSection.h"

#include "forms/FormRootBuilder.h"
#include "forms/FormSelectItemElement.h"

FormSelectSection::FormSelectSection() = default;

std::shared_ptr<FormSelectSection> FormSelectSection::initWithItems(
    const QVariantList& items, const QVariantList& selectedIndexes, const QString& title)
{
    auto section = std::make_shared<FormSelectSection>();
    section->setTitle(title);
    section->m_selectedIndexes = selectedIndexes;
    section->m_multipleAllowed = selectedIndexes.size() > 1;
    section->setItems(items);
    return section;
}

std::shared_ptr<FormSelectSection> FormSelectSection::initWithItems(
    const QVariantList& items, qulonglong selected, const QString& title)
{
    return initWithItems(items, QVariantList { QVariant(selected) }, title);
}

std::shared_ptr<FormSelectSection> FormSelectSection::initWithItemsSelectedItems(
    const QVariantList& items, const QVariantList& selectedItems, const QString& title)
{
    QVariantList indexes;
    for (const QVariant& item : selectedItems) {
        const qsizetype index = items.indexOf(item);
        if (index >= 0)
            indexes.append(QVariant(qulonglong(index)));
    }
    return initWithItems(items, indexes, title);
}

void FormSelectSection::setItems(const QVariantList& items)
{
    // A row per item: a list from outside counts against the rows its form may make.
    FormRootBuilder::willBuild(items.size());
    m_items = items;
    removeAllElements();
    createElements();
}

QVariantList FormSelectSection::selectedItems() const
{
    QVariantList selected;
    for (const QVariant& index : m_selectedIndexes) {
        bool ok = false;
        const qlonglong at = index.toLongLong(&ok);
        if (ok && at >= 0 && at < m_items.size())
            selected.append(m_items[at]);
    }
    return selected;
}

bool FormSelectSection::isTicked(qulonglong index) const
{
    for (const QVariant& ticked : m_selectedIndexes)
        if (ticked.toULongLong() == index && ticked.toLongLong() >= 0)
            return true;
    return false;
}

void FormSelectSection::createElements()
{
    for (qsizetype i = 0; i < m_items.size(); ++i)
        addElement(FormSelectItemElement::initWithIndex(qulonglong(i), this));
}

void FormSelectSection::addElement(std::shared_ptr<FormElement> element)
{
    auto* item = qobject_cast<FormSelectItemElement*>(element.get());
    FormSection::addElement(element);
    if (item) {
        item->setSelectSection(this);
        item->setIndex(qulonglong(elements().size() - 1));
    }
}

void FormSelectSection::insertOption(const QVariant& item, qsizetype index)
{
    FormRootBuilder::willBuild();
    index = std::clamp<qsizetype>(index, 0, m_items.size());
    m_items.insert(index, item);
    for (const auto& element : elements()) {
        if (auto* row = qobject_cast<FormSelectItemElement*>(element.get()))
            if (row->index() >= qulonglong(index))
                row->setIndex(row->index() + 1);
    }
    for (QVariant& ticked : m_selectedIndexes)
        if (ticked.toLongLong() >= index)
            ticked = QVariant(ticked.toULongLong() + 1);
    auto row = FormSelectItemElement::initWithIndex(qulonglong(index), this);
    FormSection::insertElement(row, index);
}

void FormSelectSection::addOption(const QVariant& item)
{
    insertOption(item, m_items.size());
}

QList<qulonglong> FormSelectSection::toggleItemAtIndex(qulonglong index)
{
    QList<qulonglong> changed;
    auto removeTick = [&](qulonglong at) {
        for (qsizetype i = 0; i < m_selectedIndexes.size(); ++i) {
            if (m_selectedIndexes[i].toULongLong() == at) {
                m_selectedIndexes.removeAt(i);
                changed.append(at);
                return;
            }
        }
    };
    if (!m_multipleAllowed) {
        if (isTicked(index)) {
            if (m_deselectAllowed)
                removeTick(index);
        } else {
            if (!m_selectedIndexes.isEmpty()) {
                changed.append(m_selectedIndexes.first().toULongLong());
                m_selectedIndexes.removeFirst();
            }
            m_selectedIndexes.append(QVariant(index));
            changed.append(index);
        }
    } else if (isTicked(index)) {
        removeTick(index);
    } else {
        m_selectedIndexes.append(QVariant(index));
        changed.append(index);
    }
    if (onSelected)
        onSelected();
    return changed;
}

void FormSelectSection::bindToObject(const QVariant& data)
{
    if (bind().contains(u"iterate"))
        FormDynamicDataSection::bindToObject(data);
    else
        bindAsPlainSection(data);
}

void FormSelectSection::fetchValueIntoObject(const QVariant& target)
{
    if (!key().isEmpty())
        KeyValueCoding::setValueForKey(target, m_selectedIndexes, key());
}
