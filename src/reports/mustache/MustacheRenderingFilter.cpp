#include "reports/mustache/MustacheRenderingFilter.h"

#include "reports/mustache/MustacheTag.h"

std::optional<QString> MustacheRenderingFilter::renderForMustacheTag(const MustacheTag& tag,
    const std::shared_ptr<MustacheContext>& context, bool* HTMLSafe, platform::Error* error)
{
    switch (tag.type()) {
    case MustacheTagType::InvertedSection:
        return QStringLiteral("");
    case MustacheTagType::Variable:
        if (HTMLSafe)
            *HTMLSafe = false;
        return description();
    default:
        return tag.renderContentWithContext(
            context->contextByAddingTagDelegate(
                std::dynamic_pointer_cast<MustacheTagDelegate>(shared_from_this())),
            HTMLSafe, error);
    }
}

QVariant MustacheRenderingFilter::mustacheTagWillRenderObject(
    const MustacheTag& tag, const QVariant& object)
{
    return tag.type() == MustacheTagType::Variable ? transformedValue(object) : object;
}
