#pragma once

#include "reports/mustache/MustacheExpression.h"

// filter "(" argument ")"; curried when more arguments follow.
class MustacheFilteredExpression : public MustacheExpression {
public:
    MustacheFilteredExpression(MustacheExpressionPtr filterExpression,
        MustacheExpressionPtr argumentExpression, bool curry);
    static MustacheExpressionPtr expressionWithFilterExpression(
        const MustacheExpressionPtr& filterExpression,
        const MustacheExpressionPtr& argumentExpression, bool curry);

    const MustacheExpressionPtr& filterExpression() const { return m_filterExpression; }
    const MustacheExpressionPtr& argumentExpression() const { return m_argumentExpression; }
    bool curry() const { return m_curry; }
    void setToken(const std::shared_ptr<const MustacheToken>& token) override;
    bool hasValue(QVariant* value, const MustacheContextPtr& context, bool* isProtected,
        platform::Error* error) const override;
    bool isEqual(const MustacheExpression& other) const override;
    int depth() const override { return m_depth; }

private:
    platform::Error failure(const QString& what, const QString& object) const;

    MustacheExpressionPtr m_filterExpression;
    MustacheExpressionPtr m_argumentExpression;
    bool m_curry;
    int m_depth;
};
