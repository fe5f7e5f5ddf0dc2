#pragma once

#include "reports/mustache/MustacheTag.h"
#include "reports/mustache/MustacheToken.h"

// {{#name}}...{{/name}}, its inverted form and overridable sections ({{$name}}).
class MustacheSectionTag : public MustacheTag {
public:
    MustacheSectionTag(MustacheTagType type, MustacheTemplateRepository* templateRepository,
        MustacheExpressionPtr expression, MustacheContentType contentType, QString templateString,
        MustacheToken::Range innerRange, MustacheComponents components);
    static MustacheTagPtr sectionTagWithType(MustacheTagType type,
        MustacheTemplateRepository* templateRepository, const MustacheExpressionPtr& expression,
        MustacheContentType contentType, const QString& templateString,
        MustacheToken::Range innerRange, MustacheComponents components);

    const MustacheComponents& components() const { return m_components; }
    QString innerTemplateString() const override;
    std::optional<QString> renderContentWithContext(
        const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error) const override;
    bool appendContentWithContext(
        const MustacheContextPtr& context, QString& buffer, platform::Error* error) const override;
    std::shared_ptr<MustacheTag> tagWithOverridingTag(
        const std::shared_ptr<MustacheTag>& overridingTag) const override;

protected:
    QString className() const override { return QStringLiteral("MustacheSectionTag"); }

private:
    QString m_templateString;
    MustacheToken::Range m_innerRange;
    MustacheComponents m_components;
};
