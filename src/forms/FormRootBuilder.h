#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class FormElement;
class FormRootElement;
class FormSection;

// Makes elements and sections from descriptions (dictionaries with the class name under
// "type" and property values under the other keys), and sets single properties for the
// binding evaluator.
class FormRootBuilder {
public:
    // Sets the value at the key path of the object: texts are translated when localized
    // (never for "bind" and "type"), arrays are set as copies (their texts translated),
    // numbers, dictionaries and other objects unchanged, nil and the null object as nil.
    // Exceptions of the set reach the caller.
    static void trySetProperty(
        const QString& property, QObject* object, const QVariant& value, bool localized);

    // Sets every entry of the description other than "type", "sections" and "elements",
    // translated.
    void updateObject(QObject* object, const QVariantMap& description);

    // A new element of the class named by "type", with the description's properties; a
    // root also gets its "sections". Null, logged "Couldn't build element for type %@",
    // for a type that names no element class.
    std::shared_ptr<FormElement> buildElementWithObject(const QVariantMap& description);
    // A new section of the class named by "type" (FormSection without one) with the
    // description's properties and no elements; null for a type that names no section
    // class.
    std::shared_ptr<FormSection> buildSectionWithObject(const QVariantMap& description);
    // A section made as above, added to the root and filled with its "elements".
    void buildSectionWithObject(const QVariantMap& description, FormRootElement* root);
};
