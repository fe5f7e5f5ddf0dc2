#include "reports/mustache/MustachePartial.h"

#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheRenderingDepth.h"
#include "reports/mustache/MustacheTemplate.h"

MustachePartial::MustachePartial(
    const MustacheTemplate* partialTemplate, std::shared_ptr<const MustacheToken> token)
    : m_template(partialTemplate)
    , m_token(std::move(token))
{
}

bool MustachePartial::renderContentType(MustacheContentType contentType, QString& buffer,
    const MustacheContextPtr& context, platform::Error* error) const
{
    MustacheRenderingDepth depth;
    if (depth.exceeded()) {
        MustacheError::report(MustacheRenderingDepth::error(m_token.get()), error);
        return false;
    }
    return m_template->renderContentType(contentType, buffer, context, error);
}

MustacheComponentPtr MustachePartial::resolveTemplateComponent(
    const MustacheComponentPtr& component) const
{
    return m_template->resolveTemplateComponent(component);
}
