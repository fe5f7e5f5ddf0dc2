#pragma once

#include <QVariant>

namespace platform::coredata {

struct AttributeDescription;

// Equality and order of attribute values as fetches see them: null equals only null and
// sorts first; numbers and flags compare by value; text by UTF-16 code unit.
bool valuesEqual(const QVariant& a, const QVariant& b);
int compareValues(const QVariant& a, const QVariant& b);
// The value a predicate compares an attribute with, in the attribute's type where it
// converts (a number given for a text attribute becomes its text).
QVariant predicateOperand(const AttributeDescription& attribute, const QVariant& value);

} // namespace platform::coredata
