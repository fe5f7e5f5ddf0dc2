#pragma once

#include "reports/mustache/MustacheTemplateComponent.h"
#include "reports/mustache/MustacheToken.h"

class MustacheTemplate;

// {{>name}} in a tree: a reference to a template of the repository's cache, which owns it.
// Partials may include themselves, so the tree never owns them.
class MustachePartial : public MustacheTemplateComponent {
public:
    MustachePartial(
        const MustacheTemplate* partialTemplate, std::shared_ptr<const MustacheToken> token);

    const MustacheTemplate* partialTemplate() const { return m_template; }
    bool renderContentType(MustacheContentType contentType, QString& buffer,
        const MustacheContextPtr& context, platform::Error* error) const override;
    MustacheComponentPtr resolveTemplateComponent(
        const MustacheComponentPtr& component) const override;

private:
    const MustacheTemplate* m_template;
    std::shared_ptr<const MustacheToken> m_token;
};
