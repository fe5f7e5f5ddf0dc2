#include "platform/NumberType.h"

namespace platform {

bool isIntegerType(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isNumberType(QMetaType type)
{
    return isIntegerType(type) || type.id() == QMetaType::Double || type.id() == QMetaType::Float;
}

} // namespace platform
