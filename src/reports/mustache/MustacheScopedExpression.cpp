#include "reports/mustache/MustacheScopedExpression.h"

#include "reports/mustache/MustacheKeyAccess.h"

MustacheScopedExpression::MustacheScopedExpression(
    MustacheExpressionPtr baseExpression, QString scopeIdentifier)
    : m_baseExpression(std::move(baseExpression))
    , m_scopeIdentifier(std::move(scopeIdentifier))
    , m_depth(m_baseExpression->depth() + 1)
{
}

MustacheExpressionPtr MustacheScopedExpression::expressionWithBaseExpression(
    const MustacheExpressionPtr& baseExpression, const QString& scopeIdentifier)
{
    return std::make_shared<MustacheScopedExpression>(baseExpression, scopeIdentifier);
}

void MustacheScopedExpression::setToken(const std::shared_ptr<const MustacheToken>& token)
{
    MustacheExpression::setToken(token);
    m_baseExpression->setToken(token);
}

bool MustacheScopedExpression::hasValue(QVariant* value, const MustacheContextPtr& context,
    bool* isProtected, platform::Error* error) const
{
    QVariant base;
    if (!m_baseExpression->hasValue(&base, context, nullptr, error))
        return false;
    if (isProtected)
        *isProtected = false;
    if (value)
        *value = MustacheKeyAccess::valueForMustacheKey(m_scopeIdentifier, base);
    return true;
}

bool MustacheScopedExpression::isEqual(const MustacheExpression& other) const
{
    auto scoped = dynamic_cast<const MustacheScopedExpression*>(&other);
    return scoped && scoped->m_scopeIdentifier == m_scopeIdentifier
        && scoped->m_baseExpression->isEqual(*m_baseExpression);
}
