#include "reports/mustache/MustacheBlankFilter.h"

#include "reports/mustache/MustacheValue.h"

bool MustacheBlankFilter::isEmpty(const QVariant& object, bool trimmed)
{
    if (!object.isValid() || MustacheValue::isNull(object))
        return true;
    if (MustacheValue::isEnumerable(object))
        return MustacheValue::isEmptyList(object);
    const QString description = MustacheValue::description(object);
    return trimmed ? description.trimmed().isEmpty() : description.isEmpty();
}

QVariant MustacheBlankFilter::transformedValue(const QVariant& object) const
{
    return isEmpty(object, true);
}
