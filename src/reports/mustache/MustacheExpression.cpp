#include "reports/mustache/MustacheExpression.h"

MustacheExpression::~MustacheExpression() = default;

void MustacheExpression::setToken(const std::shared_ptr<const MustacheToken>& token)
{
    m_token = token;
}

bool MustacheExpression::hasValue(
    QVariant*, const MustacheContextPtr&, bool*, platform::Error*) const
{
    return false;
}

bool MustacheExpression::isEqual(const MustacheExpression& other) const
{
    return this == &other;
}
