#pragma once

#include "platform/Error.h"
#include "reports/mustache/MustacheExpression.h"

#include <QString>

// Turns the text of a tag into an expression: identifiers, ".", scoped names (a.b, .b,
// f(x).b) and filter calls with one or more arguments.
class MustacheExpressionParser {
public:
    // Null with "Missing expression" (empty set true) or "Invalid expression" (empty set
    // false); on success empty is left untouched.
    MustacheExpressionPtr parseExpression(
        const QString& string, bool* empty, platform::Error* error) const;
};
