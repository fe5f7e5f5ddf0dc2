#include "reports/mustache/MustacheEmptyFilter.h"

#include "reports/mustache/MustacheBlankFilter.h"

QVariant MustacheEmptyFilter::transformedValue(const QVariant& object) const
{
    return MustacheBlankFilter::isEmpty(object, false);
}
