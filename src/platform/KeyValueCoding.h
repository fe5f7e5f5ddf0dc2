#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

namespace platform {

// Key-value access: values read and written by name, or by a dotted key path, on
//   - a QObject, through its Qt properties (form elements, store entities, records);
//   - a MutableDictionary, shared by reference (row values by column id): reading an
//     absent key gives nil, writing nil removes the key;
//   - a QVariantMap held by value, which can be read but not written.
// Objects travel as QVariants (a pointer to a QObject, guarded or not, a dictionary); nil
// is an invalid QVariant or a guarded pointer whose object is gone, and the null object
// (a JSON null) is a QVariant holding nullptr.
//
// A QObject may derive from this class to handle what it lacks: a key it has no property
// for (both directions raise NSUnknownKeyException by default) and nil set into a scalar
// property (bool, a number, an enumeration), which raises NSInvalidArgumentException by
// default.
class KeyValueCoding {
public:
    virtual ~KeyValueCoding();

    virtual QVariant valueForUndefinedKey(const QString& key);
    virtual void setValueForUndefinedKey(const QVariant& value, const QString& key);
    virtual void setNilValueForKey(const QString& key);

    static QVariant valueForKey(const QVariant& object, const QString& key);
    // Nil as soon as a step of the path gives nil.
    static QVariant valueForKeyPath(const QVariant& object, const QString& keyPath);
    // Values are converted to the property's type: numbers and text into scalars (text
    // as its leading number, or for flags "Y", "T" or a non-zero digit), anything Qt can
    // convert into the rest; a value of a kind the property cannot hold raises
    // NSInvalidArgumentException. Writing into nil does nothing.
    static void setValueForKey(const QVariant& object, const QVariant& value, const QString& key);
    static void setValueForKeyPath(
        const QVariant& object, const QVariant& value, const QString& keyPath);

    static QVariant valueForKey(QObject* object, const QString& key);
    static QVariant valueForKeyPath(QObject* object, const QString& keyPath);
    static void setValueForKey(QObject* object, const QVariant& value, const QString& key);
    static void setValueForKeyPath(QObject* object, const QVariant& value, const QString& keyPath);

    // The object as a QVariant that the functions above accept.
    static QVariant wrap(QObject* object);
    // The QObject a QVariant points to (a QObject* or a QPointer<QObject>), or null.
    static QObject* objectOf(const QVariant& value);
    // Nil: an invalid QVariant, or a null text, date, data or object pointer.
    static bool isNil(const QVariant& value);
    // The null object (JSON's null), which is not nil.
    static bool isNullObject(const QVariant& value);
    static QVariant nullObject();
    // A short text naming the object, for log lines.
    static QString description(const QVariant& object);

    static const QString UnknownKeyException; // "NSUnknownKeyException"
};

} // namespace platform
