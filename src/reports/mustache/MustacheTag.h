#pragma once

#include "reports/mustache/MustacheExpression.h"
#include "reports/mustache/MustacheTemplateComponent.h"

#include <optional>

class MustacheIdentifierExpression;
class MustacheTemplateRepository;

// Base of variable and section tags: evaluates its expression, lets the tag delegates
// see the value, renders it and escapes the result where the template is HTML.
class MustacheTag : public MustacheTemplateComponent,
                    public std::enable_shared_from_this<MustacheTag> {
public:
    MustacheTag(MustacheTagType type, MustacheTemplateRepository* templateRepository,
        MustacheExpressionPtr expression, MustacheContentType contentType);

    MustacheTagType type() const { return m_type; }
    const MustacheExpressionPtr& expression() const { return m_expression; }
    MustacheTemplateRepository* templateRepository() const { return m_templateRepository; }
    MustacheContentType contentType() const { return m_contentType; }

    virtual bool escapesHTML() const { return true; }
    virtual QString innerTemplateString() const { return QStringLiteral(""); }
    // The tag's content rendered in the context; empty for a variable tag.
    virtual std::optional<QString> renderContentWithContext(
        const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error) const;
    // The content rendered straight into the buffer, for values the engine renders itself.
    virtual bool appendContentWithContext(
        const MustacheContextPtr& context, QString& buffer, platform::Error* error) const;
    virtual std::shared_ptr<MustacheTag> tagWithOverridingTag(
        const std::shared_ptr<MustacheTag>& overridingTag) const;
    QString description() const;

    bool renderContentType(MustacheContentType contentType, QString& buffer,
        const MustacheContextPtr& context, platform::Error* error) const override;
    MustacheComponentPtr resolveTemplateComponent(
        const MustacheComponentPtr& component) const override;

protected:
    virtual QString className() const;

private:
    MustacheTagType m_type;
    MustacheTemplateRepository* m_templateRepository;
    MustacheExpressionPtr m_expression;
    // The expression when it is a plain identifier, for the quick way of rendering strings.
    const MustacheIdentifierExpression* m_identifier;
    MustacheContentType m_contentType;
};

using MustacheTagPtr = std::shared_ptr<MustacheTag>;
