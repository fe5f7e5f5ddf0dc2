#include "reports/mustache/MustacheTemplateOverride.h"

#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheRenderingBudget.h"
#include "reports/mustache/MustacheRenderingDepth.h"
#include "reports/mustache/MustacheTemplate.h"

MustacheTemplateOverride::MustacheTemplateOverride(const MustacheTemplate* overriddenTemplate,
    MustacheComponents components, std::shared_ptr<const MustacheToken> token)
    : m_template(overriddenTemplate)
    , m_components(std::move(components))
    , m_token(std::move(token))
{
}

MustacheComponentPtr MustacheTemplateOverride::templateOverrideWithTemplate(
    const MustacheTemplate* overriddenTemplate, MustacheComponents components,
    std::shared_ptr<const MustacheToken> token)
{
    return std::make_shared<MustacheTemplateOverride>(
        overriddenTemplate, std::move(components), std::move(token));
}

bool MustacheTemplateOverride::renderContentType(MustacheContentType contentType, QString& buffer,
    const MustacheContextPtr& context, platform::Error* error) const
{
    MustacheRenderingDepth depth;
    if (depth.exceeded()) {
        MustacheError::report(MustacheRenderingDepth::error(m_token.get()), error);
        return false;
    }
    const MustacheContextPtr overridden
        = context->contextByAddingTemplateOverride(shared_from_this());
    return m_template->renderContentType(contentType, buffer, overridden, error);
}

MustacheComponentPtr MustacheTemplateOverride::resolveTemplateComponent(
    const MustacheComponentPtr& component) const
{
    // Counted like the template's passes: overrides in force see every component rendered.
    const MustacheRenderingBudget budget;
    MustacheComponentPtr resolved = component;
    for (const MustacheComponentPtr& own : m_components) {
        if (!MustacheRenderingBudget::spendSteps())
            break;
        resolved = own->resolveTemplateComponent(resolved);
    }
    return resolved;
}
