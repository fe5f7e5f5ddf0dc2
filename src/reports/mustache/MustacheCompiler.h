#pragma once

#include "platform/Error.h"
#include "reports/mustache/MustacheAST.h"
#include "reports/mustache/MustacheExpression.h"
#include "reports/mustache/MustacheParserDelegate.h"
#include "reports/mustache/MustacheToken.h"

#include <optional>
#include <vector>

class MustacheConfiguration;
class MustacheTemplate;
class MustacheTemplateRepository;

// Builds the component tree of one template text from the parser's tokens: checks the
// nesting of sections, loads partials through the repository, handles the content-type
// pragmas and turns every problem into a parse error with its line.
class MustacheCompiler : public MustacheParserDelegate {
public:
    explicit MustacheCompiler(const MustacheConfiguration& configuration);

    void setTemplateRepository(MustacheTemplateRepository* repository)
    {
        m_templateRepository = repository;
    }
    void setBaseTemplateID(const QString& templateID) { m_baseTemplateID = templateID; }

    bool parserShouldContinueAfterParsingToken(
        MustacheParser& parser, const std::shared_ptr<const MustacheToken>& token) override;
    void parserDidFailWithError(MustacheParser& parser, const platform::Error& error) override;

    std::optional<MustacheAST> ASTReturningError(platform::Error* error);

private:
    // A block's tag value: the expression of a section, or the name of a template override.
    struct TagValue {
        MustacheExpressionPtr expression;
        QString partialName;
    };

    bool handleToken(const std::shared_ptr<const MustacheToken>& token);
    bool closeBlock(const std::shared_ptr<const MustacheToken>& token);
    void openBlock(const std::shared_ptr<const MustacheToken>& token, TagValue value);
    // The partial's template, or null after failing the compilation.
    MustacheTemplate* loadPartial(const QString& name, const MustacheToken& token);
    bool failWithFatalError(const platform::Error& error);
    platform::Error parseErrorAtToken(const MustacheToken& token, const QString& description) const;
    MustacheComponents& currentComponents() { return m_componentsStack.back(); }

    std::optional<platform::Error> m_fatalError;
    bool m_failed = false;
    std::vector<MustacheComponents> m_componentsStack;
    std::vector<std::shared_ptr<const MustacheToken>> m_openingTokenStack;
    std::vector<TagValue> m_tagValueStack;
    MustacheTemplateRepository* m_templateRepository = nullptr;
    QString m_baseTemplateID;
    MustacheContentType m_contentType;
    bool m_contentTypeLocked = false;
};
