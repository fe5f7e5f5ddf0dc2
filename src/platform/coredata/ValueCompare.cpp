#include "platform/coredata/ValueCompare.h"

#include "platform/coredata/AttributeDescription.h"
#include "platform/coredata/StoredText.h"

namespace platform::coredata {

namespace {

bool isNull(const QVariant& value)
{
    return !value.isValid() || value.isNull();
}

// A text may be held as its stored UTF-8 bytes or as an id (see StoredText).
bool isText(const QVariant& value)
{
    const int id = value.metaType().id();
    return id == QMetaType::QString || StoredText::isHeld(value);
}

} // namespace

int compareValues(const QVariant& a, const QVariant& b)
{
    const bool aNull = isNull(a);
    const bool bNull = isNull(b);
    if (aNull || bNull)
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    if (isText(a) || isText(b)) {
        // Text sorts after numbers, as the store orders mixed columns.
        if (isText(a) != isText(b))
            return isText(a) ? 1 : -1;
        const int order = QString::compare(StoredText::readable(a).toString(),
            StoredText::readable(b).toString(), Qt::CaseSensitive);
        return order < 0 ? -1 : (order > 0 ? 1 : 0);
    }
    const double x = a.toDouble();
    const double y = b.toDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool valuesEqual(const QVariant& a, const QVariant& b)
{
    return compareValues(a, b) == 0;
}

QVariant predicateOperand(const AttributeDescription& attribute, const QVariant& value)
{
    if (const auto coerced = attribute.coerce(value))
        return *coerced;
    if (attribute.type == AttributeType::String && value.canConvert<QString>())
        return value.toString();
    return value;
}

} // namespace platform::coredata
