#include "reports/mustache/MustacheEscaper.h"

#include "reports/mustache/MustacheValue.h"

QVariant MustacheEscaper::transformedValue(const QVariant& object) const
{
    if (MustacheValue::isNull(object))
        return QStringLiteral("");
    if (!object.isValid())
        return {};
    return escape(MustacheValue::description(object));
}
