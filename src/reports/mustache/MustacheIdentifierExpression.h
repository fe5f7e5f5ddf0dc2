#pragma once

#include "reports/mustache/MustacheExpression.h"

#include <QString>

// A key looked up in the context.
class MustacheIdentifierExpression : public MustacheExpression {
public:
    explicit MustacheIdentifierExpression(QString identifier);
    static MustacheExpressionPtr expressionWithIdentifier(const QString& identifier);

    const QString& identifier() const { return m_identifier; }
    bool hasValue(QVariant* value, const MustacheContextPtr& context, bool* isProtected,
        platform::Error* error) const override;
    bool isEqual(const MustacheExpression& other) const override;

private:
    QString m_identifier;
};
