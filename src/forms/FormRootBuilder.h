#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>

class FormElement;
class FormRootElement;
class FormSection;

// Makes forms from descriptions (dictionaries with the class name under "type" and
// property values under the other keys): whole roots, sections and elements; and sets
// single properties for the binding evaluator.
class FormRootBuilder {
public:
    // Sets the value at the key path of the object: a text for a property of the
    // mapping table sets the number the table gives for it (an unknown name leaves the
    // property as it is, logged "Unknown value %@ for property %@"); other texts are
    // translated when localized (never for "bind" and "type"); arrays are set as copies
    // (their texts translated), numbers, dictionaries and other objects unchanged, nil and
    // the null object as nil. Exceptions of the set reach the caller.
    static void trySetProperty(
        const QString& property, QObject* object, const QVariant& value, bool localized);

    // Makes the table of enumeration names a description may write instead of numbers
    // (keyboardType "DecimalPad" is 8). The first root build makes it; it then lasts for
    // the process. Element and section builds before it apply no names.
    static void initializeMappings();
    static bool hasMappings();
    // Forgets the table, as a fresh process has none (tests).
    static void resetMappings();

    // A new root (always a FormRootElement, whatever "type" says) with the description's
    // properties and its "sections"; makes the mapping table first when there is none.
    std::shared_ptr<FormRootElement> buildWithObject(const QVariantMap& description);

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

    // While one lives, the builds of this thread make at most `limit` elements and sections
    // between them; the one past it raises TooManyElementsException. Data from outside
    // decides how many rows an iterating binding makes, and what it binds can nest lists
    // and descriptions many levels deep. An inner limit replaces the outer while it lives.
    class BuildLimit {
    public:
        explicit BuildLimit(qsizetype limit);
        ~BuildLimit();
        BuildLimit(const BuildLimit&) = delete;
        BuildLimit& operator=(const BuildLimit&) = delete;

    private:
        friend class FormRootBuilder;
        qsizetype m_limit;
        qsizetype m_built = 0;
        BuildLimit* m_outer;
    };
    static const QString TooManyElementsException; // "FormTooManyElementsException"
    // Raises when the limit in force leaves room for fewer than `count` more builds, so
    // that a long list is refused before its first row is made.
    static void requireRoomFor(qsizetype count);
    // Counts `count` builds against the limit in force, or raises before counting any.
    // Rows made other than from a description (the items of a choice) count here too.
    static void willBuild(qsizetype count = 1);
};
