#include "reports/mustache/MustacheFilteredExpression.h"

#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheFilter.h"
#include "reports/mustache/MustacheValue.h"

#include <algorithm>

MustacheFilteredExpression::MustacheFilteredExpression(
    MustacheExpressionPtr filterExpression, MustacheExpressionPtr argumentExpression, bool curry)
    : m_filterExpression(std::move(filterExpression))
    , m_argumentExpression(std::move(argumentExpression))
    , m_curry(curry)
    , m_depth(std::max(m_filterExpression->depth(), m_argumentExpression->depth()) + 1)
{
}

MustacheExpressionPtr MustacheFilteredExpression::expressionWithFilterExpression(
    const MustacheExpressionPtr& filterExpression, const MustacheExpressionPtr& argumentExpression,
    bool curry)
{
    return std::make_shared<MustacheFilteredExpression>(
        filterExpression, argumentExpression, curry);
}

void MustacheFilteredExpression::setToken(const std::shared_ptr<const MustacheToken>& token)
{
    MustacheExpression::setToken(token);
    m_filterExpression->setToken(token);
    m_argumentExpression->setToken(token);
}

platform::Error MustacheFilteredExpression::failure(
    const QString& what, const QString& object) const
{
    // "what" is the message up to where the tag's place is named; object follows a colon.
    QString message = what;
    if (const auto& tag = token()) {
        message += QStringLiteral(" in tag `%1` at line %2")
                       .arg(tag->templateSubstring())
                       .arg(tag->line());
        if (!tag->templateID().isEmpty())
            message += QStringLiteral(" of template %1").arg(tag->templateID());
    }
    if (!object.isNull())
        message += QStringLiteral(": ") + object;
    return MustacheError::make(MustacheError::RenderingError, message);
}

bool MustacheFilteredExpression::hasValue(QVariant* value, const MustacheContextPtr& context,
    bool* isProtected, platform::Error* error) const
{
    QVariant filterValue;
    if (!m_filterExpression->hasValue(&filterValue, context, nullptr, error))
        return false;
    QVariant argument;
    if (!m_argumentExpression->hasValue(&argument, context, nullptr, error))
        return false;
    if (!filterValue.isValid()) {
        MustacheError::report(failure(QStringLiteral("Missing filter"), QString()), error);
        return false;
    }
    auto filter = MustacheValue::objectAs<MustacheFilter>(filterValue);
    if (!filter) {
        MustacheError::report(
            failure(QStringLiteral("Object does not conform to MustacheFilter protocol"),
                MustacheValue::description(filterValue)),
            error);
        return false;
    }
    if (isProtected)
        *isProtected = false;
    if (value) {
        if (m_curry && filter->respondsToFilterByCurryingArgument())
            *value = MustacheValue::fromObject(filter->filterByCurryingArgument(argument));
        else
            *value = filter->transformedValue(argument);
    }
    return true;
}

bool MustacheFilteredExpression::isEqual(const MustacheExpression& other) const
{
    auto filtered = dynamic_cast<const MustacheFilteredExpression*>(&other);
    return filtered && filtered->m_filterExpression->isEqual(*m_filterExpression)
        && filtered->m_argumentExpression->isEqual(*m_argumentExpression);
}
