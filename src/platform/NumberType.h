#pragma once

#include <QMetaType>
#include <QVariant>

namespace platform {

// The types a number travels in: bool, the integer types (the C character types too)
// and the floating-point types.
bool isNumberType(QMetaType type);
// The same without the floating-point types.
bool isIntegerType(QMetaType type);

inline bool isNumber(const QVariant& value)
{
    return isNumberType(value.metaType());
}

} // namespace platform
