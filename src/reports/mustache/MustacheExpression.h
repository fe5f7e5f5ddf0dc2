#pragma once

#include "platform/Error.h"
#include "reports/mustache/MustacheContext.h"
#include "reports/mustache/MustacheToken.h"

#include <QVariant>

#include <memory>

// What a tag looks up: an identifier, ".", a scoped name or a filter call.
class MustacheExpression {
public:
    virtual ~MustacheExpression();

    const std::shared_ptr<const MustacheToken>& token() const { return m_token; }
    virtual void setToken(const std::shared_ptr<const MustacheToken>& token);

    // True when the evaluation succeeded (the value may still be nil). Any out-parameter
    // may be null.
    virtual bool hasValue(QVariant* value, const MustacheContextPtr& context, bool* isProtected,
        platform::Error* error) const;
    // Equal expressions close each other's sections; tokens play no part.
    virtual bool isEqual(const MustacheExpression& other) const;
    // How many expressions deep this one is.
    virtual int depth() const { return 1; }

private:
    std::shared_ptr<const MustacheToken> m_token;
};

using MustacheExpressionPtr = std::shared_ptr<MustacheExpression>;
