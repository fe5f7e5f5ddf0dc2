#include "reports/mustache/MustacheCaseFilter.h"

#include "reports/mustache/MustacheValue.h"

QVariant MustacheCaseFilter::transformedValue(const QVariant& object) const
{
    if (MustacheValue::isNull(object))
        return QStringLiteral("");
    if (!object.isValid())
        return {};
    return caseChanged(MustacheValue::description(object));
}
