#pragma once

#include "platform/Error.h"
#include "reports/mustache/MustacheContext.h"
#include "reports/mustache/MustacheEnums.h"

#include <QString>

#include <memory>
#include <vector>

// One piece of a compiled template: text, a tag, a partial or a template override.
class MustacheTemplateComponent {
public:
    virtual ~MustacheTemplateComponent();
    // Appends the rendering to the buffer; false with the error at the first failure.
    virtual bool renderContentType(MustacheContentType contentType, QString& buffer,
        const MustacheContextPtr& context, platform::Error* error) const = 0;
    // Template inheritance: gives the component that replaces the offered one.
    virtual std::shared_ptr<MustacheTemplateComponent> resolveTemplateComponent(
        const std::shared_ptr<MustacheTemplateComponent>& component) const = 0;
};

using MustacheComponentPtr = std::shared_ptr<MustacheTemplateComponent>;
using MustacheComponents = std::vector<MustacheComponentPtr>;
