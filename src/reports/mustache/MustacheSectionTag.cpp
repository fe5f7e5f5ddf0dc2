#include "reports/mustache/MustacheSectionTag.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheAccumulatorTag.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheRenderingBudget.h"
#include "reports/mustache/MustacheRenderingDepth.h"

MustacheSectionTag::MustacheSectionTag(MustacheTagType type,
    MustacheTemplateRepository* templateRepository, MustacheExpressionPtr expression,
    MustacheContentType contentType, QString templateString, MustacheToken::Range innerRange,
    MustacheComponents components)
    : MustacheTag(type, templateRepository, std::move(expression), contentType)
    , m_templateString(std::move(templateString))
    , m_innerRange(innerRange)
    , m_components(std::move(components))
{
}

MustacheTagPtr MustacheSectionTag::sectionTagWithType(MustacheTagType type,
    MustacheTemplateRepository* templateRepository, const MustacheExpressionPtr& expression,
    MustacheContentType contentType, const QString& templateString, MustacheToken::Range innerRange,
    MustacheComponents components)
{
    return std::make_shared<MustacheSectionTag>(type, templateRepository, expression, contentType,
        templateString, innerRange, std::move(components));
}

QString MustacheSectionTag::innerTemplateString() const
{
    return m_templateString.mid(m_innerRange.location, m_innerRange.length);
}

std::optional<QString> MustacheSectionTag::renderContentWithContext(
    const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error) const
{
    if (!context)
        throw platform::Exception(
            platform::Exception::InvalidArgument, QStringLiteral("Invalid context:nil"));
    QString buffer;
    if (!appendContentWithContext(context, buffer, error))
        return std::nullopt;
    if (HTMLSafe)
        *HTMLSafe = contentType() == MustacheContentType::HTML;
    return buffer;
}

bool MustacheSectionTag::appendContentWithContext(
    const MustacheContextPtr& context, QString& buffer, platform::Error* error) const
{
    MustacheRenderingDepth depth;
    if (depth.exceeded()) {
        MustacheError::report(MustacheRenderingDepth::error(expression()->token().get()), error);
        return false;
    }
    // The content counts even when empty: sections nested over lists multiply it.
    const MustacheRenderingBudget budget;
    if (!MustacheRenderingBudget::spendSteps())
        return MustacheRenderingBudget::fail(error);
    const bool overridden = context->hasTemplateOverrides();
    for (const MustacheComponentPtr& component : m_components) {
        if (!MustacheRenderingBudget::spendSteps())
            return MustacheRenderingBudget::fail(error);
        const MustacheComponentPtr resolved
            = overridden ? context->resolveTemplateComponent(component) : nullptr;
        const MustacheTemplateComponent& rendered = resolved ? *resolved : *component;
        const qsizetype before = buffer.size();
        if (!rendered.renderContentType(contentType(), buffer, context, error))
            return false;
        if (!MustacheRenderingBudget::spendCharacters(buffer.size() - before))
            return MustacheRenderingBudget::fail(error);
    }
    return true;
}

std::shared_ptr<MustacheTag> MustacheSectionTag::tagWithOverridingTag(
    const std::shared_ptr<MustacheTag>& overridingTag) const
{
    return MustacheAccumulatorTag::accumulatorTagWithTag(overridingTag);
}
