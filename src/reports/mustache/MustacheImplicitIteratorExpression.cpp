#include "reports/mustache/MustacheImplicitIteratorExpression.h"

MustacheExpressionPtr MustacheImplicitIteratorExpression::expression()
{
    return std::make_shared<MustacheImplicitIteratorExpression>();
}

bool MustacheImplicitIteratorExpression::hasValue(
    QVariant* value, const MustacheContextPtr& context, bool* isProtected, platform::Error*) const
{
    if (isProtected)
        *isProtected = false;
    if (value)
        *value = context->topMustacheObject();
    return true;
}

bool MustacheImplicitIteratorExpression::isEqual(const MustacheExpression& other) const
{
    return dynamic_cast<const MustacheImplicitIteratorExpression*>(&other) != nullptr;
}
