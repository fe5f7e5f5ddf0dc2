#include "forms/FormRootBuilder.h"

#include "forms/FormClassRegistry.h"
#include "forms/FormElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "platform/KeyValueCoding.h"
#include "utilities/text/LocalizedStrings.h"

#include <QStringList>

namespace {

const QString kType = QStringLiteral("type");
const QString kSections = QStringLiteral("sections");
const QString kElements = QStringLiteral("elements");
const QString kBind = QStringLiteral("bind");

bool isText(const QVariant& value)
{
    return value.metaType().id() == QMetaType::QString;
}

bool isArray(const QVariant& value)
{
    return value.metaType().id() == QMetaType::QVariantList
        || value.metaType().id() == QMetaType::QStringList;
}

QVariantList descriptionsIn(const QVariant& value)
{
    return isArray(value) ? value.toList() : QVariantList();
}

} // namespace

void FormRootBuilder::trySetProperty(
    const QString& property, QObject* object, const QVariant& value, bool localized)
{
    using platform::KeyValueCoding;
    const bool localize = localized && property != kBind && property != kType;
    QVariant set = value;
    if (KeyValueCoding::isNil(value) || KeyValueCoding::isNullObject(value)) {
        set = QVariant();
    } else if (isText(value)) {
        if (localize)
            set = LocalizedStrings::getLocalizedString(value.toString());
    } else if (isArray(value)) {
        QVariantList copy = value.toList();
        if (localize) {
            for (QVariant& item : copy) {
                if (!isText(item))
                    continue;
                try {
                    item = LocalizedStrings::getLocalizedString(item.toString());
                } catch (const std::exception& exception) {
                    qWarning("Exception: %s", exception.what());
                }
            }
        }
        set = copy;
    }
    KeyValueCoding::setValueForKeyPath(object, set, property);
}

void FormRootBuilder::updateObject(QObject* object, const QVariantMap& description)
{
    for (auto it = description.constBegin(); it != description.constEnd(); ++it) {
        if (it.key() == kType || it.key() == kSections || it.key() == kElements)
            continue;
        trySetProperty(it.key(), object, it.value(), true);
    }
}

std::shared_ptr<FormElement> FormRootBuilder::buildElementWithObject(const QVariantMap& description)
{
    const QString type = description.value(kType).toString();
    std::shared_ptr<FormElement> element(qobject_cast<FormElement*>(
        FormClassRegistry::create(type, &FormElement::staticMetaObject)));
    if (!element) {
        qWarning("Couldn't build element for type %s", qUtf8Printable(type));
        return nullptr;
    }
    updateObject(element.get(), description);
    if (auto* root = qobject_cast<FormRootElement*>(element.get())) {
        for (const QVariant& section : descriptionsIn(description.value(kSections)))
            buildSectionWithObject(section.toMap(), root);
    }
    return element;
}

std::shared_ptr<FormSection> FormRootBuilder::buildSectionWithObject(const QVariantMap& description)
{
    std::shared_ptr<FormSection> section;
    if (description.contains(kType)) {
        const QString type = description.value(kType).toString();
        section.reset(qobject_cast<FormSection*>(
            FormClassRegistry::create(type, &FormSection::staticMetaObject)));
        if (!section) {
            qWarning("Couldn't build section for type %s", qUtf8Printable(type));
            return nullptr;
        }
    } else {
        section = std::make_shared<FormSection>();
    }
    updateObject(section.get(), description);
    return section;
}

void FormRootBuilder::buildSectionWithObject(const QVariantMap& description, FormRootElement* root)
{
    std::shared_ptr<FormSection> section = buildSectionWithObject(description);
    if (!section)
        return;
    root->addSection(section);
    for (const QVariant& item : descriptionsIn(description.value(kElements))) {
        if (std::shared_ptr<FormElement> element = buildElementWithObject(item.toMap()))
            section->addElement(element);
    }
}
