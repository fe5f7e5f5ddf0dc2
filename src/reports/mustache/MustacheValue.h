#pragma once

#include "reports/mustache/MustacheObject.h"

#include <QVariant>
#include <QVariantList>

#include <functional>

// The values a template sees, all held in a QVariant: nil (invalid), null (nullptr),
// booleans, numbers, strings, lists, maps (QVariantMap, QVariantHash, OrderedDictionary)
// and shared objects (MustacheObjectPtr, QObject*).
class MustacheValue {
public:
    MustacheValue() = delete;

    static QVariant null();
    static QVariant fromObject(const MustacheObjectPtr& object);
    template<class T> static QVariant fromObject(const std::shared_ptr<T>& object)
    {
        return fromObject(std::static_pointer_cast<MustacheObject>(object));
    }

    static bool isNil(const QVariant& value) { return !value.isValid(); }
    static bool isNull(const QVariant& value);
    static bool isNumber(const QVariant& value);
    static bool isString(const QVariant& value);
    static bool isDictionary(const QVariant& value);
    // Lists of any kind; strings and dictionaries are not enumerable.
    static bool isEnumerable(const QVariant& value);
    // A list's items are never copied as a whole: a list from data may hold millions, and
    // a section nested in others asks for it again and again.
    // The number of items of a list; 0 for anything else.
    static qsizetype count(const QVariant& value);
    // Whether a list has no items; true for anything else.
    static bool isEmptyList(const QVariant& value);
    // The item at the index of a list, nil outside it.
    static QVariant itemAt(const QVariant& value, qsizetype index);
    // Gives visit the items of a list in order until it returns false; false when it did.
    static bool forEachItem(
        const QVariant& value, const std::function<bool(const QVariant&)>& visit);
    // The shared object held, or null.
    static MustacheObjectPtr object(const QVariant& value);
    template<class T> static std::shared_ptr<T> objectAs(const QVariant& value)
    {
        return std::dynamic_pointer_cast<T>(object(value));
    }
    static bool boolValue(const QVariant& number);
    // Numbers as the shortest text that reads back (85, 1.21), booleans as 1 and 0,
    // strings as they are, lists and dictionaries in the platform's description form.
    static QString description(const QVariant& value);
    // Same object: shared data for strings, lists and maps, the same pointer for objects.
    static bool isIdentical(const QVariant& a, const QVariant& b);
};
