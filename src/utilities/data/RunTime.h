#pragma once

#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

// Moving plain model objects in and out of dictionaries through their declared Qt
// properties, so no record needs hand-written copying code.
//
// Type names follow the records' own vocabulary: text properties are "NSString",
// numeric ones "NSNumber" (and take numbers or decimal text), flags "B", maps
// "NSDictionary", lists "NSArray", dates "NSDate", data "NSData", object pointers their
// class name and QVariant "id". A QVariant property that holds a nullable number is
// named in the class's Q_CLASSINFO("NSNumber", "prop1,prop2") and is then "NSNumber".
namespace RunTime {

// True for the integer and floating-point kinds (not flags).
bool isNumericType(int typeId);

// Property name -> type name for the properties the class declares itself (not its
// ancestors'). Empty for a null class.
QVariantMap propertiesOfClass(const QMetaObject* cls);

// The object's own declared properties and their values; properties holding nothing
// (null text, invalid value, null object) are left out.
QVariantMap dictionaryFromClass(const QObject* object);

// A new instance of the class (it needs a Q_INVOKABLE default constructor) filled from
// the dictionary; null when the class cannot be made.
std::unique_ptr<QObject> classFromDictionary(const QVariantMap& dictionary, const QMetaObject* cls);

// Fills the object from the dictionary: each key that names a property of the object
// (exactly, case included) is set through the property's setter; numbers for the
// class's own "NSNumber" properties come from numbers or from decimal text in the
// current locale (nothing when the text is no number, 0 for any other kind of value).
// Keys that name no property are ignored. Returns the object.
QObject* classFromDictionary(
    const QVariantMap& dictionary, const QMetaObject* cls, QObject* object);

template<class T> std::unique_ptr<T> classFromDictionary(const QVariantMap& dictionary)
{
    auto object = std::make_unique<T>();
    classFromDictionary(dictionary, &T::staticMetaObject, object.get());
    return object;
}

// The number a decimal formatter of the current locale reads from the text, or an
// invalid QVariant when the text is no number there. Whole numbers come back integral.
[[nodiscard]] QVariant numberFromText(const QString& text);

} // namespace RunTime

// Questions about a class's declared properties. The forms that answer for one property
// look in the class and its ancestors; hasProperties and propertyNames only list what
// the class declares itself.
namespace Introspection {

bool hasProperties(const QMetaObject* cls);
bool hasPropertyNamed(const QMetaObject* cls, const QString& name);
// The type part must equal the given text, e.g. T@"NSString" or TB.
bool hasPropertyNamed(const QMetaObject* cls, const QString& name, const QString& typePart);
bool hasPropertyForKVCKey(const QMetaObject* cls, const QString& key);
// The property's type part including the leading "T"; empty for no such property.
QString typeOfPropertyNamed(const QMetaObject* cls, const QString& name);
// Method names of the property's getter and setter ("title", "setTitle:"); empty for
// no such property. Raises an internal-inconsistency exception when the class declares
// the property but has no accessor for it.
QString getterForPropertyNamed(const QMetaObject* cls, const QString& name);
QString setterForPropertyNamed(const QMetaObject* cls, const QString& name);
// "retain", "copy" or "assign"; empty for no such property.
QString retentionMethodOfPropertyNamed(const QMetaObject* cls, const QString& name);
// Names the class declares itself, in declaration order; empty when none.
QStringList propertyNames(const QMetaObject* cls);

// The text with its first character in lower case.
QString propertyStyleString(const QString& text);

} // namespace Introspection
