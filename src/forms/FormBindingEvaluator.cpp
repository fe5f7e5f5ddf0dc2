#include "forms/FormBindingEvaluator.h"

#include "forms/FormElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "forms/FormTextElement.h"
#include "platform/Exception.h"
#include "platform/KeyValueCoding.h"
#include "platform/MutableDictionary.h"
#include "utilities/data/OrderedDictionary.h"

#include <QSequentialIterable>
#include <QStringList>

using platform::KeyValueCoding;

namespace {

const QString kIterate = QStringLiteral("iterate");
const QString kIterateProperties = QStringLiteral("iterateproperties");
const QString kSelf = QStringLiteral("self");

struct BindItem {
    QString property;
    QString keyPath;
};

// The items of a bind string; blank items (a trailing comma) are skipped. An item
// without ":" raises, as a key the object lacks would.
std::optional<BindItem> parseItem(const QString& item)
{
    if (item.trimmed().isEmpty())
        return std::nullopt;
    const QStringList parts = item.split(u':');
    if (parts.size() < 2)
        throw platform::Exception(KeyValueCoding::UnknownKeyException,
            QStringLiteral("The bind item \"%1\" has no \":\" between property and key path")
                .arg(item));
    return BindItem { parts[0].trimmed(), parts[1].trimmed() };
}

QString bindStringOf(QObject* target)
{
    if (auto* element = qobject_cast<FormElement*>(target))
        return element->bind();
    if (auto* section = qobject_cast<FormSection*>(target))
        return section->bind();
    return {};
}

// The items of a collection in order: a list, any sequence Qt knows, or nothing.
QVariantList itemsOf(const QVariant& collection)
{
    if (KeyValueCoding::isNil(collection) || KeyValueCoding::isNullObject(collection))
        return {};
    if (collection.metaType().id() == QMetaType::QVariantList
        || collection.metaType().id() == QMetaType::QStringList)
        return collection.toList();
    if (collection.metaType().id() != QMetaType::QString
        && collection.canConvert<QSequentialIterable>()) {
        QVariantList items;
        const auto iterable = collection.value<QSequentialIterable>();
        for (const QVariant& item : iterable)
            items.append(item);
        return items;
    }
    return {};
}

// Keys and values of a dictionary in its own order.
QList<std::pair<QString, QVariant>> entriesOf(const QVariant& dictionary)
{
    QList<std::pair<QString, QVariant>> entries;
    if (dictionary.metaType() == QMetaType::fromType<OrderedDictionary>()) {
        const auto ordered = dictionary.value<OrderedDictionary>();
        for (const QString& key : ordered.keyEnumerator())
            entries.append({ key, ordered.objectForKey(key) });
        return entries;
    }
    QVariantMap map;
    if (dictionary.metaType() == QMetaType::fromType<platform::MutableDictionary>())
        map = dictionary.value<platform::MutableDictionary>().toMap();
    else if (dictionary.metaType().id() == QMetaType::QVariantMap)
        map = dictionary.toMap();
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        entries.append({ it.key(), it.value() });
    return entries;
}

} // namespace

bool FormBindingEvaluator::stringIsEmpty(const QString& text)
{
    return text.trimmed().isEmpty();
}

void FormBindingEvaluator::bindObject(QObject* target, const QVariant& data)
{
    const QString bind = bindStringOf(target);
    if (stringIsEmpty(bind))
        return;
    for (const QString& text : bind.split(u',')) {
        const std::optional<BindItem> item = parseItem(text);
        if (!item)
            continue;
        auto* section = qobject_cast<FormSection*>(target);
        auto* root = qobject_cast<FormRootElement*>(target);
        if (item->property == kIterate && section) {
            bindSection(section,
                item->keyPath == kSelf ? data
                                       : KeyValueCoding::valueForKeyPath(data, item->keyPath));
        } else if (item->property == kIterate && root) {
            bindRootElement(root,
                item->keyPath == kSelf ? data
                                       : KeyValueCoding::valueForKeyPath(data, item->keyPath));
        } else if (item->property == kIterateProperties && section) {
            bindSectionToProperties(section,
                item->keyPath == kSelf ? data
                                       : KeyValueCoding::valueForKeyPath(data, item->keyPath));
        } else if (item->keyPath == kSelf) {
            FormRootBuilder::trySetProperty(item->property, target, data, false);
        } else {
            FormRootBuilder::trySetProperty(item->property, target,
                KeyValueCoding::valueForKeyPath(data, item->keyPath), false);
        }
    }
}

void FormBindingEvaluator::fetchValueFromObject(FormElement* element, const QVariant& data)
{
    const QString bind = element->bind();
    if (bind.isEmpty())
        return;
    for (const QString& text : bind.split(u',')) {
        QString keyPath = text.trimmed();
        try {
            const std::optional<BindItem> item = parseItem(text);
            if (!item)
                continue;
            keyPath = item->keyPath;
            if (item->property == kIterate || item->keyPath == kSelf)
                continue;
            const QVariant value = KeyValueCoding::valueForKeyPath(element, item->property);
            if (!KeyValueCoding::isNil(value))
                KeyValueCoding::setValueForKeyPath(data, value, item->keyPath);
        } catch (const platform::Exception&) {
            qWarning("Couldn't set property %s on object %s", qUtf8Printable(keyPath),
                qUtf8Printable(KeyValueCoding::description(data)));
        }
    }
}

void FormBindingEvaluator::bindSection(FormSection* section, const QVariant& collection)
{
    const QVariantList items = itemsOf(collection);
    FormRootBuilder::requireRoomFor(section->beforeTemplateElements().size() + items.size()
        + section->afterTemplateElements().size());
    section->removeAllElements();
    auto addTemplates = [&](const QVariantList& descriptions) {
        for (const QVariant& description : descriptions) {
            if (std::shared_ptr<FormElement> element
                = m_builder.buildElementWithObject(description.toMap())) {
                section->addElement(element);
                element->bindToObject(description);
            }
        }
    };
    addTemplates(section->beforeTemplateElements());
    for (const QVariant& item : items) {
        if (std::shared_ptr<FormElement> element
            = m_builder.buildElementWithObject(section->elementTemplate())) {
            section->addElement(element);
            element->bindToObject(item);
        }
    }
    addTemplates(section->afterTemplateElements());
}

void FormBindingEvaluator::bindRootElement(FormRootElement* root, const QVariant& collection)
{
    const QVariantList items = itemsOf(collection);
    FormRootBuilder::requireRoomFor(items.size());
    root->removeAllSections();
    for (const QVariant& item : items) {
        if (std::shared_ptr<FormSection> section
            = m_builder.buildSectionWithObject(root->sectionTemplate())) {
            root->addSection(section);
            section->bindToObject(item);
        }
    }
    if (root->sections().isEmpty() && !root->emptyMessage().isNull()) {
        auto section = std::make_shared<FormSection>();
        section->addElement(FormTextElement::initWithText(root->emptyMessage()));
        root->addSection(section);
    }
}

void FormBindingEvaluator::bindSectionToProperties(FormSection* section, const QVariant& properties)
{
    if (KeyValueCoding::isNullObject(properties))
        return;
    const QList<std::pair<QString, QVariant>> entries = entriesOf(properties);
    FormRootBuilder::requireRoomFor(entries.size());
    section->removeAllElements();
    for (const auto& [key, value] : entries) {
        if (std::shared_ptr<FormElement> element
            = m_builder.buildElementWithObject(section->elementTemplate())) {
            section->addElement(element);
            element->bindToObject(
                QVariantMap { { QStringLiteral("key"), key }, { QStringLiteral("value"), value } });
        }
    }
}

QVariant FormBindingEvaluator::iteratedCollection(const QString& bind, const QVariant& data)
{
    QString keyPath;
    for (const QString& text : bind.split(u',')) {
        const QStringList parts = text.split(u':');
        if (parts.size() >= 2 && parts[0].trimmed() == kIterate)
            keyPath = parts[1].trimmed();
    }
    if (keyPath.isNull())
        return {};
    return keyPath == kSelf ? data : KeyValueCoding::valueForKeyPath(data, keyPath);
}
