#include "forms/FormBindingSnapshot.h"

#include "forms/FormElement.h"
#include "forms/FormRootElement.h"
#include "forms/FormSection.h"
#include "platform/KeyValueCoding.h"

#include <QStringList>

#include <exception>

using platform::KeyValueCoding;

FormBindingSnapshot::FormBindingSnapshot(FormRootElement* root)
{
    if (root)
        takeRoot(root);
}

void FormBindingSnapshot::takeRoot(FormRootElement* root)
{
    takeBoundValues(root, root->bind());
    m_sections.append({ root, root->hasSections(), root->sections() });
    for (const auto& section : root->sections())
        takeSection(section.get());
}

void FormBindingSnapshot::takeSection(FormSection* section)
{
    takeBoundValues(section, section->bind());
    m_rows.append({ section, section->elements() });
    for (const auto& element : section->elements()) {
        if (auto* root = qobject_cast<FormRootElement*>(element.get()))
            takeRoot(root);
        else
            takeBoundValues(element.get(), element->bind());
    }
}

void FormBindingSnapshot::takeBoundValues(QObject* object, const QString& bind)
{
    for (const QString& item : bind.split(u',')) {
        const QStringList parts = item.split(u':');
        if (parts.size() < 2)
            continue;
        const QString property = parts[0].trimmed();
        if (property.isEmpty() || property.startsWith(QStringLiteral("iterate")))
            continue;
        try {
            m_values.append(
                { object, property, KeyValueCoding::valueForKeyPath(object, property) });
        } catch (const std::exception&) {
            // A property the object cannot answer; binding it raises before it sets anything.
        }
    }
}

void FormBindingSnapshot::restore()
{
    for (const Sections& taken : m_sections) {
        // A root that had no section list has none again (an iterating binding makes one).
        if (taken.hadSections)
            taken.root->removeAllSections();
        else
            taken.root->dropSections();
        for (const auto& section : taken.sections)
            taken.root->addSection(section);
    }
    for (const Rows& taken : m_rows) {
        taken.section->removeAllElements();
        for (const auto& element : taken.elements)
            taken.section->addElement(element);
    }
    // Last taken first: a property named twice ends with the value it had before either.
    for (auto it = m_values.crbegin(); it != m_values.crend(); ++it) {
        try {
            KeyValueCoding::setValueForKeyPath(it->object, it->value, it->property);
        } catch (const std::exception&) {
            // Read from the same property, a value it refuses back is one it never held.
        }
    }
}
