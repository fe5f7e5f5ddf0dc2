#include "reports/mustache/MustacheNilRenderer.h"

#include "reports/mustache/MustacheTag.h"

const std::shared_ptr<MustacheNilRenderer>& MustacheNilRenderer::sharedInstance()
{
    static const std::shared_ptr<MustacheNilRenderer> instance
        = std::make_shared<MustacheNilRenderer>();
    return instance;
}

std::optional<QString> MustacheNilRenderer::renderForMustacheTag(const MustacheTag& tag,
    const std::shared_ptr<MustacheContext>& context, bool* HTMLSafe, platform::Error* error)
{
    switch (tag.type()) {
    case MustacheTagType::OverridableSection:
    case MustacheTagType::InvertedSection:
        return tag.renderContentWithContext(context, HTMLSafe, error);
    default:
        return QStringLiteral("");
    }
}
