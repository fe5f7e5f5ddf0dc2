#pragma once

#include "reports/mustache/MustacheObject.h"

#include <QVariant>
#include <QVariantList>

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
    static QVariantList items(const QVariant& value);
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
