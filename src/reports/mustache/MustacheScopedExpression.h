#pragma once

#include "reports/mustache/MustacheExpression.h"

#include <QString>

// base "." identifier.
class MustacheScopedExpression : public MustacheExpression {
public:
    MustacheScopedExpression(MustacheExpressionPtr baseExpression, QString scopeIdentifier);
    static MustacheExpressionPtr expressionWithBaseExpression(
        const MustacheExpressionPtr& baseExpression, const QString& scopeIdentifier);

    const MustacheExpressionPtr& baseExpression() const { return m_baseExpression; }
    const QString& scopeIdentifier() const { return m_scopeIdentifier; }
    void setToken(const std::shared_ptr<const MustacheToken>& token) override;
    bool hasValue(QVariant* value, const MustacheContextPtr& context, bool* isProtected,
        platform::Error* error) const override;
    bool isEqual(const MustacheExpression& other) const override;
    int depth() const override { return m_depth; }

private:
    MustacheExpressionPtr m_baseExpression;
    QString m_scopeIdentifier;
    int m_depth;
};
