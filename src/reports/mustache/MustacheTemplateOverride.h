#pragma once

#include "reports/mustache/MustacheTemplateComponent.h"
#include "reports/mustache/MustacheToken.h"

class MustacheTemplate;

// {{<name}}...{{/name}}: renders the named template with the overridable sections
// written between the tags in place of its own.
class MustacheTemplateOverride : public MustacheTemplateComponent,
                                 public std::enable_shared_from_this<MustacheTemplateOverride> {
public:
    // The template belongs to the repository's cache, which outlives every template of it.
    MustacheTemplateOverride(const MustacheTemplate* overriddenTemplate,
        MustacheComponents components, std::shared_ptr<const MustacheToken> token);
    static MustacheComponentPtr templateOverrideWithTemplate(
        const MustacheTemplate* overriddenTemplate, MustacheComponents components,
        std::shared_ptr<const MustacheToken> token);

    const MustacheTemplate* overriddenTemplate() const { return m_template; }
    const MustacheComponents& components() const { return m_components; }
    bool renderContentType(MustacheContentType contentType, QString& buffer,
        const MustacheContextPtr& context, platform::Error* error) const override;
    MustacheComponentPtr resolveTemplateComponent(
        const MustacheComponentPtr& component) const override;

private:
    const MustacheTemplate* m_template;
    MustacheComponents m_components;
    std::shared_ptr<const MustacheToken> m_token;
};
