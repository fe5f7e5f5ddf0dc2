#pragma once

#include "reports/mustache/MustacheRendering.h"

// Stands for nil: nothing in variables and sections, the content of an overridable or
// inverted section.
class MustacheNilRenderer : public MustacheRendering {
public:
    static const std::shared_ptr<MustacheNilRenderer>& sharedInstance();
    std::optional<QString> renderForMustacheTag(const MustacheTag& tag,
        const std::shared_ptr<MustacheContext>& context, bool* HTMLSafe,
        platform::Error* error) override;
};
