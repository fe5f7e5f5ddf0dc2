#include "reports/mustache/MustacheBlockRenderer.h"

MustacheBlockRenderer::MustacheBlockRenderer(Block block)
    : m_block(std::move(block))
{
}

std::optional<QString> MustacheBlockRenderer::renderForMustacheTag(const MustacheTag& tag,
    const std::shared_ptr<MustacheContext>& context, bool* HTMLSafe, platform::Error* error)
{
    return m_block(tag, context, HTMLSafe, error);
}
