#include "reports/mustache/MustacheCompiler.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheConfiguration.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheExpressionParser.h"
#include "reports/mustache/MustacheParser.h"
#include "reports/mustache/MustachePartial.h"
#include "reports/mustache/MustacheSectionTag.h"
#include "reports/mustache/MustacheTemplate.h"
#include "reports/mustache/MustacheTemplateOverride.h"
#include "reports/mustache/MustacheTemplateRepository.h"
#include "reports/mustache/MustacheTextComponent.h"
#include "reports/mustache/MustacheVariableTag.h"

MustacheCompiler::MustacheCompiler(const MustacheConfiguration& configuration)
    : m_contentType(configuration.contentType())
{
    m_componentsStack.emplace_back();
    m_componentsStack.back().reserve(20);
}

platform::Error MustacheCompiler::parseErrorAtToken(
    const MustacheToken& token, const QString& description) const
{
    const QString message = token.templateID().isEmpty()
        ? QStringLiteral("Parse error at line %1: %2").arg(token.line()).arg(description)
        : QStringLiteral("Parse error at line %1 of template %2: %3")
              .arg(token.line())
              .arg(token.templateID(), description);
    return MustacheError::make(MustacheError::ParseError, message);
}

bool MustacheCompiler::failWithFatalError(const platform::Error& error)
{
    m_fatalError = error;
    m_failed = true;
    m_componentsStack.clear();
    m_openingTokenStack.clear();
    m_tagValueStack.clear();
    return false;
}

void MustacheCompiler::parserDidFailWithError(MustacheParser&, const platform::Error& error)
{
    failWithFatalError(error);
}

bool MustacheCompiler::parserShouldContinueAfterParsingToken(
    MustacheParser&, const std::shared_ptr<const MustacheToken>& token)
{
    if (m_failed)
        return false;
    return handleToken(token);
}

void MustacheCompiler::openBlock(const std::shared_ptr<const MustacheToken>& token, TagValue value)
{
    if (value.expression)
        value.expression->setToken(token);
    m_tagValueStack.push_back(std::move(value));
    m_openingTokenStack.push_back(token);
    m_componentsStack.emplace_back();
}

bool MustacheCompiler::handleToken(const std::shared_ptr<const MustacheToken>& token)
{
    const MustacheExpressionParser expressionParser;
    auto parseExpression = [&](MustacheExpressionPtr* expression) {
        bool empty = false;
        platform::Error error;
        *expression = expressionParser.parseExpression(token->tagInnerContent(), &empty, &error);
        if (!*expression)
            return failWithFatalError(parseErrorAtToken(*token, error.localizedDescription()));
        (*expression)->setToken(token);
        return true;
    };
    auto parseName = [&](QString* name) {
        bool empty = false;
        platform::Error error;
        *name = MustacheParser::parseTemplateName(token->tagInnerContent(), &empty, &error);
        if (name->isNull())
            return failWithFatalError(parseErrorAtToken(
                *token, QStringLiteral("%1 in partial tag").arg(error.localizedDescription())));
        return true;
    };
    auto checkNesting = [&] {
        if (m_openingTokenStack.size() < size_t(MustacheMaximumDepth))
            return true;
        return failWithFatalError(parseErrorAtToken(*token,
            QStringLiteral("Sections nested deeper than %1 levels").arg(MustacheMaximumDepth)));
    };
    // Closes the open part of an "else" pair as a tag of the given type and starts the other part.
    auto elseRule = [&](MustacheToken::Type openedBy, MustacheTagType closedType) {
        if (m_openingTokenStack.empty() || m_openingTokenStack.back()->type() != openedBy)
            return false;
        const MustacheExpressionPtr& blockExpression = m_tagValueStack.back().expression;
        bool empty = false;
        const MustacheExpressionPtr expression
            = expressionParser.parseExpression(token->tagInnerContent(), &empty, nullptr);
        if (!(expression ? expression->isEqual(*blockExpression) : empty))
            return false;
        const std::shared_ptr<const MustacheToken>& opening = m_openingTokenStack.back();
        const MustacheToken::Range inner { opening->range().end(),
            token->range().location - opening->range().end() };
        MustacheComponents gathered = std::move(m_componentsStack.back());
        m_componentsStack.pop_back();
        currentComponents().push_back(MustacheSectionTag::sectionTagWithType(closedType,
            m_templateRepository, blockExpression, m_contentType, token->templateString(), inner,
            std::move(gathered)));
        m_openingTokenStack.back() = token;
        m_componentsStack.emplace_back();
        return true;
    };

    switch (token->type()) {
    case MustacheToken::Text:
        currentComponents().push_back(
            MustacheTextComponent::textComponentWithString(token->templateSubstring()));
        return true;
    case MustacheToken::EscapedVariable:
    case MustacheToken::UnescapedVariable: {
        MustacheExpressionPtr expression;
        if (!parseExpression(&expression))
            return false;
        currentComponents().push_back(
            MustacheVariableTag::variableTagWithTemplateRepository(m_templateRepository, expression,
                m_contentType, token->type() == MustacheToken::EscapedVariable));
        m_contentTypeLocked = true;
        return true;
    }
    case MustacheToken::Comment:
    case MustacheToken::SetDelimiter:
        return true;
    case MustacheToken::SectionOpening:
    case MustacheToken::InvertedSectionOpening: {
        m_contentTypeLocked = true;
        const bool section = token->type() == MustacheToken::SectionOpening;
        if (section
                ? elseRule(MustacheToken::InvertedSectionOpening, MustacheTagType::InvertedSection)
                : elseRule(MustacheToken::SectionOpening, MustacheTagType::Section))
            return true;
        MustacheExpressionPtr expression;
        if (!parseExpression(&expression) || !checkNesting())
            return false;
        openBlock(token, { expression, QString() });
        return true;
    }
    case MustacheToken::OverridableSectionOpening: {
        m_contentTypeLocked = true;
        MustacheExpressionPtr expression;
        if (!parseExpression(&expression) || !checkNesting())
            return false;
        openBlock(token, { expression, QString() });
        return true;
    }
    case MustacheToken::OverridablePartial: {
        m_contentTypeLocked = true;
        QString name;
        if (!parseName(&name) || !checkNesting())
            return false;
        openBlock(token, { nullptr, name });
        return true;
    }
    case MustacheToken::Partial: {
        m_contentTypeLocked = true;
        QString name;
        if (!parseName(&name))
            return false;
        MustacheTemplate* partial = loadPartial(name, *token);
        if (!partial)
            return false;
        currentComponents().push_back(std::make_shared<MustachePartial>(partial, token));
        return true;
    }
    case MustacheToken::Pragma: {
        const QString pragma = MustacheParser::parsePragma(token->tagInnerContent());
        const bool text = pragma == QLatin1String("CONTENT_TYPE:TEXT");
        if (!text && pragma != QLatin1String("CONTENT_TYPE:HTML"))
            return true;
        if (m_contentTypeLocked)
            return failWithFatalError(parseErrorAtToken(*token,
                QStringLiteral(
                    "%1 pragma tag must prepend any Mustache variable, section, or partial tag.")
                    .arg(pragma)));
        m_contentType = text ? MustacheContentType::Text : MustacheContentType::HTML;
        return true;
    }
    case MustacheToken::Closing:
        return closeBlock(token);
    }
    return true;
}

bool MustacheCompiler::closeBlock(const std::shared_ptr<const MustacheToken>& token)
{
    if (m_openingTokenStack.empty())
        return failWithFatalError(parseErrorAtToken(
            *token, QStringLiteral("Unexpected %1 closing tag").arg(token->templateSubstring())));
    const std::shared_ptr<const MustacheToken> opening = m_openingTokenStack.back();
    const TagValue value = m_tagValueStack.back();

    if (opening->type() != MustacheToken::OverridablePartial) {
        bool empty = false;
        platform::Error error;
        const MustacheExpressionPtr expression
            = MustacheExpressionParser().parseExpression(token->tagInnerContent(), &empty, &error);
        if (!expression && !empty)
            return failWithFatalError(parseErrorAtToken(*token, error.localizedDescription()));
        if (expression && !expression->isEqual(*value.expression))
            return failWithFatalError(parseErrorAtToken(*token,
                QStringLiteral("Unexpected %1 closing tag").arg(token->templateSubstring())));
        if (!opening->templateString().isSharedWith(token->templateString()))
            throw platform::Exception(platform::Exception::InternalInconsistency,
                QStringLiteral(
                    "Support for tokens coming from different strings is not implemented."));
        const MustacheToken::Range inner { opening->range().end(),
            token->range().location - opening->range().end() };
        const MustacheTagType type = opening->type() == MustacheToken::InvertedSectionOpening
            ? MustacheTagType::InvertedSection
            : opening->type() == MustacheToken::OverridableSectionOpening
            ? MustacheTagType::OverridableSection
            : MustacheTagType::Section;
        MustacheComponents components = std::move(m_componentsStack.back());
        m_componentsStack.pop_back();
        m_openingTokenStack.pop_back();
        m_tagValueStack.pop_back();
        currentComponents().push_back(
            MustacheSectionTag::sectionTagWithType(type, m_templateRepository, value.expression,
                m_contentType, token->templateString(), inner, std::move(components)));
        return true;
    }

    bool empty = false;
    platform::Error error;
    const QString name
        = MustacheParser::parseTemplateName(token->tagInnerContent(), &empty, &error);
    if (name.isNull() && !empty)
        return failWithFatalError(parseErrorAtToken(
            *token, QStringLiteral("%1 in partial closing tag").arg(error.localizedDescription())));
    if (!name.isNull() && name != value.partialName)
        return failWithFatalError(parseErrorAtToken(
            *token, QStringLiteral("Unexpected %1 closing tag").arg(token->templateSubstring())));
    MustacheTemplate* overridden = loadPartial(value.partialName, *opening);
    if (!overridden)
        return false;
    const bool beingCompiled = !overridden->isCompiled();
    if (!beingCompiled && overridden->contentType() != m_contentType)
        return failWithFatalError(
            parseErrorAtToken(*opening, QStringLiteral("HTML safety mismatch")));
    MustacheComponents components = std::move(m_componentsStack.back());
    m_componentsStack.pop_back();
    m_openingTokenStack.pop_back();
    m_tagValueStack.pop_back();
    currentComponents().push_back(MustacheTemplateOverride::templateOverrideWithTemplate(
        overridden, std::move(components), opening));
    return true;
}

MustacheTemplate* MustacheCompiler::loadPartial(const QString& name, const MustacheToken& token)
{
    // Each partial not yet compiled is compiled inside this one: a chain of distinct
    // partials would otherwise recurse as deep as it is long.
    if (m_templateRepository && m_templateRepository->loadDepth() >= MustacheMaximumDepth) {
        failWithFatalError(parseErrorAtToken(token,
            QStringLiteral("Partials nested deeper than %1 levels").arg(MustacheMaximumDepth)));
        return nullptr;
    }
    platform::Error error;
    MustacheTemplate* loaded = m_templateRepository
        ? m_templateRepository->templateForCompiler(name, m_baseTemplateID, &error)
        : nullptr;
    if (!loaded)
        failWithFatalError(error);
    return loaded;
}

std::optional<MustacheAST> MustacheCompiler::ASTReturningError(platform::Error* error)
{
    if (m_fatalError) {
        MustacheError::report(*m_fatalError, error);
        return std::nullopt;
    }
    if (!m_openingTokenStack.empty()) {
        const MustacheToken& opening = *m_openingTokenStack.back();
        MustacheError::report(
            parseErrorAtToken(
                opening, QStringLiteral("Unclosed %1 section").arg(opening.templateSubstring())),
            error);
        return std::nullopt;
    }
    return MustacheAST(m_componentsStack.front(), m_contentType);
}
