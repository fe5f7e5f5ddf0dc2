#include "reports/mustache/MustacheExpressionParser.h"

#include "reports/mustache/MustacheEnums.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheFilteredExpression.h"
#include "reports/mustache/MustacheIdentifierExpression.h"
#include "reports/mustache/MustacheImplicitIteratorExpression.h"
#include "reports/mustache/MustacheScopedExpression.h"

#include <vector>

namespace {

enum class State { Initial, LeadingDot, Identifier, ScopingDot, Done, Filter };

bool isWhitespace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isOneOf(QChar c, const char16_t* characters)
{
    for (const char16_t* p = characters; *p; ++p)
        if (c == QChar(*p))
            return true;
    return false;
}

} // namespace

MustacheExpressionPtr MustacheExpressionParser::parseExpression(
    const QString& string, bool* empty, platform::Error* error) const
{
    MustacheExpressionPtr current;
    std::vector<MustacheExpressionPtr> filterStack;
    State state = State::Initial;
    qsizetype identifierStart = 0;
    bool tooDeep = false;

    auto invalid = [&]() -> MustacheExpressionPtr {
        if (empty)
            *empty = false;
        if (error)
            *error = MustacheError::make(MustacheError::ParseError,
                tooDeep ? QStringLiteral("Expression nested deeper than %1 levels")
                              .arg(MustacheMaximumDepth)
                        : QStringLiteral("Invalid expression"));
        return nullptr;
    };
    // Guards every expression built, so evaluating and freeing it cannot recurse too deep.
    auto checked = [&](MustacheExpressionPtr expression) {
        if (expression->depth() > MustacheMaximumDepth)
            tooDeep = true;
        return expression;
    };
    auto endIdentifier = [&](qsizetype end) {
        const QString identifier = string.mid(identifierStart, end - identifierStart);
        current = current
            ? checked(MustacheScopedExpression::expressionWithBaseExpression(current, identifier))
            : MustacheIdentifierExpression::expressionWithIdentifier(identifier);
    };
    auto pushFilter = [&]() {
        filterStack.push_back(current);
        current = nullptr;
        if (filterStack.size() > size_t(MustacheMaximumDepth))
            tooDeep = true;
        state = State::Initial;
    };
    auto closeCall = [&]() {
        if (filterStack.empty())
            return false;
        MustacheExpressionPtr filter = filterStack.back();
        filterStack.pop_back();
        current = checked(
            MustacheFilteredExpression::expressionWithFilterExpression(filter, current, false));
        state = State::Filter;
        return true;
    };
    auto nextArgument = [&]() {
        if (filterStack.empty())
            return false;
        MustacheExpressionPtr filter = filterStack.back();
        filterStack.pop_back();
        filterStack.push_back(checked(
            MustacheFilteredExpression::expressionWithFilterExpression(filter, current, true)));
        current = nullptr;
        state = State::Initial;
        return true;
    };
    // '(' opens a filter call, ')' closes it and ',' starts its next argument; false for a
    // ')' or ',' outside any call.
    auto isCallPunctuation = [](QChar c) { return c == u'(' || c == u')' || c == u','; };
    auto applyCallPunctuation = [&](QChar c) {
        if (c == u'(') {
            pushFilter();
            return true;
        }
        return c == u')' ? closeCall() : nextArgument();
    };

    for (qsizetype i = 0; i < string.size(); ++i) {
        if (tooDeep)
            return invalid();
        const QChar c = string.at(i);
        switch (state) {
        case State::Initial:
            if (isWhitespace(c))
                break;
            if (c == u'.') {
                current = MustacheImplicitIteratorExpression::expression();
                state = State::LeadingDot;
            } else if (isOneOf(c, u"{}^#$&(),/<>")) {
                return invalid();
            } else {
                identifierStart = i;
                state = State::Identifier;
            }
            break;
        case State::LeadingDot:
            if (isWhitespace(c)) {
                state = State::Done;
            } else if (isOneOf(c, u"{}^<>#$&./")) {
                return invalid();
            } else if (isCallPunctuation(c)) {
                if (!applyCallPunctuation(c))
                    return invalid();
            } else {
                identifierStart = i;
                state = State::Identifier;
            }
            break;
        case State::Identifier:
            if (isWhitespace(c)) {
                endIdentifier(i);
                state = State::Done;
            } else if (isCallPunctuation(c)) {
                endIdentifier(i);
                if (!applyCallPunctuation(c))
                    return invalid();
            } else if (c == u'.') {
                endIdentifier(i);
                state = State::ScopingDot;
            }
            break;
        case State::ScopingDot:
            if (isWhitespace(c) || isOneOf(c, u"{}^#$&(),./<>"))
                return invalid();
            identifierStart = i;
            state = State::Identifier;
            break;
        case State::Done:
        case State::Filter:
            if (isWhitespace(c))
                break;
            if (isCallPunctuation(c)) {
                if (!applyCallPunctuation(c))
                    return invalid();
            } else if (c == u'.' && state == State::Filter) {
                state = State::ScopingDot;
            } else {
                return invalid();
            }
            break;
        }
    }
    if (tooDeep)
        return invalid();

    switch (state) {
    case State::Initial:
        if (!filterStack.empty())
            return invalid();
        if (empty)
            *empty = true;
        if (error)
            *error = MustacheError::make(
                MustacheError::ParseError, QStringLiteral("Missing expression"));
        return nullptr;
    case State::Identifier:
        endIdentifier(string.size());
        if (tooDeep || !filterStack.empty())
            return invalid();
        return current;
    case State::ScopingDot:
        return invalid();
    default:
        if (!filterStack.empty())
            return invalid();
        return current;
    }
}
