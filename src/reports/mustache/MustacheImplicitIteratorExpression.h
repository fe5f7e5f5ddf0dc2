#pragma once

#include "reports/mustache/MustacheExpression.h"

// ".": the context's top object.
class MustacheImplicitIteratorExpression : public MustacheExpression {
public:
    static MustacheExpressionPtr expression();

    bool hasValue(QVariant* value, const MustacheContextPtr& context, bool* isProtected,
        platform::Error* error) const override;
    bool isEqual(const MustacheExpression& other) const override;
};
