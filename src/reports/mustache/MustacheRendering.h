#pragma once

#include "platform/Error.h"
#include "reports/mustache/MustacheObject.h"

#include <optional>

class MustacheTag;
class MustacheContext;

// An object that renders itself in a tag. Answering nullopt with an error fails the
// rendering; nullopt without one renders nothing.
class MustacheRendering : public virtual MustacheObject {
public:
    virtual std::optional<QString> renderForMustacheTag(const MustacheTag& tag,
        const std::shared_ptr<MustacheContext>& context, bool* HTMLSafe, platform::Error* error)
        = 0;
};
