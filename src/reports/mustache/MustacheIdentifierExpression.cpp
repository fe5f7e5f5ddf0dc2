#include "reports/mustache/MustacheIdentifierExpression.h"

MustacheIdentifierExpression::MustacheIdentifierExpression(QString identifier)
    : m_identifier(std::move(identifier))
{
}

MustacheExpressionPtr MustacheIdentifierExpression::expressionWithIdentifier(
    const QString& identifier)
{
    return std::make_shared<MustacheIdentifierExpression>(identifier);
}

bool MustacheIdentifierExpression::hasValue(
    QVariant* value, const MustacheContextPtr& context, bool* isProtected, platform::Error*) const
{
    if (!value)
        return true;
    *value = context->valueForMustacheKey(m_identifier, isProtected);
    return true;
}

bool MustacheIdentifierExpression::isEqual(const MustacheExpression& other) const
{
    auto identifier = dynamic_cast<const MustacheIdentifierExpression*>(&other);
    return identifier && identifier->m_identifier == m_identifier;
}
