#pragma once

#include "reports/mustache/MustacheFilter.h"
#include "reports/mustache/MustacheRendering.h"
#include "reports/mustache/MustacheTagDelegate.h"

// The pattern the escapers and formatters share: used as a filter they transform their
// argument; used as a section they transform every variable tag inside it.
class MustacheRenderingFilter : public MustacheFilter,
                                public MustacheRendering,
                                public MustacheTagDelegate {
public:
    std::optional<QString> renderForMustacheTag(const MustacheTag& tag,
        const std::shared_ptr<MustacheContext>& context, bool* HTMLSafe,
        platform::Error* error) override;
    QVariant mustacheTagWillRenderObject(const MustacheTag& tag, const QVariant& object) override;
};
