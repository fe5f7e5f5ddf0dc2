#pragma once

#include "reports/mustache/MustacheRendering.h"

#include <functional>

// A rendering object made of a function, through which code supplies computed content.
class MustacheBlockRenderer : public MustacheRendering {
public:
    using Block = std::function<std::optional<QString>(
        const MustacheTag&, const std::shared_ptr<MustacheContext>&, bool*, platform::Error*)>;
    explicit MustacheBlockRenderer(Block block);
    std::optional<QString> renderForMustacheTag(const MustacheTag& tag,
        const std::shared_ptr<MustacheContext>& context, bool* HTMLSafe,
        platform::Error* error) override;

private:
    Block m_block;
};
