#pragma once

#include "forms/FormRootBuilder.h"

#include <QObject>
#include <QString>
#include <QVariant>

class FormElement;
class FormRootElement;
class FormSection;

// Applies a bind string between a form object (element, section or root) and a data
// object. A bind string is a comma-separated list of items "property:keyPath"; both
// sides are trimmed and text after a second ":" is ignored. The property "iterate"
// rebuilds a section's elements or a root's sections from a collection, "iterateproperties"
// a section's elements from a dictionary's entries; the key path "self" is the data itself.
//
// Binding (data -> form) lets key-value exceptions through, an undefined key included;
// fetching (form -> data) logs "Couldn't set property %@ on object %@" and goes on with
// the next item. An item without ":" is treated the same way.
class FormBindingEvaluator {
public:
    static bool stringIsEmpty(const QString& text);

    // The target is a FormElement or a FormSection; anything else has no bind string.
    void bindObject(QObject* target, const QVariant& data);
    void fetchValueFromObject(FormElement* element, const QVariant& data);

    void bindSection(FormSection* section, const QVariant& collection);
    void bindRootElement(FormRootElement* root, const QVariant& collection);
    void bindSectionToProperties(FormSection* section, const QVariant& properties);

    // The value that the last "iterate" item of the bind string names in the data;
    // nil when there is none.
    static QVariant iteratedCollection(const QString& bind, const QVariant& data);

private:
    FormRootBuilder m_builder;
};
