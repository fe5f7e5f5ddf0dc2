#include "reports/mustache/MustacheAccumulatorTag.h"

#include "platform/Exception.h"
#include "reports/mustache/MustacheRenderingBudget.h"

MustacheAccumulatorTag::MustacheAccumulatorTag(std::vector<MustacheTagPtr> tags)
    : MustacheTag(tags.front()->type(), tags.front()->templateRepository(),
        tags.front()->expression(), tags.front()->contentType())
    , m_tags(std::move(tags))
{
}

MustacheTagPtr MustacheAccumulatorTag::accumulatorTagWithTag(const MustacheTagPtr& tag)
{
    return std::make_shared<MustacheAccumulatorTag>(std::vector<MustacheTagPtr> { tag });
}

bool MustacheAccumulatorTag::escapesHTML() const
{
    return m_tags.front()->escapesHTML();
}

QString MustacheAccumulatorTag::innerTemplateString() const
{
    QString text;
    for (const MustacheTagPtr& tag : m_tags)
        text += tag->innerTemplateString();
    return text;
}

std::optional<QString> MustacheAccumulatorTag::renderContentWithContext(
    const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error) const
{
    QString buffer;
    for (const MustacheTagPtr& tag : m_tags) {
        std::optional<QString> rendering = tag->renderContentWithContext(context, HTMLSafe, error);
        if (!rendering)
            return std::nullopt;
        buffer += *rendering;
    }
    return buffer;
}

std::shared_ptr<MustacheTag> MustacheAccumulatorTag::tagWithOverridingTag(
    const std::shared_ptr<MustacheTag>& overridingTag) const
{
    if (overridingTag->escapesHTML() != escapesHTML())
        throw platform::Exception(
            platform::Exception::InternalInconsistency, QStringLiteral("Tag escapesHTML mismatch"));
    // Each pass copies all gathered so far, and a partial included many times inside an
    // override makes many passes. Once the budget is spent the tags stay as they are.
    const MustacheRenderingBudget budget;
    if (!MustacheRenderingBudget::spendSteps(qint64(m_tags.size())))
        return std::const_pointer_cast<MustacheTag>(shared_from_this());
    std::vector<MustacheTagPtr> tags = m_tags;
    tags.push_back(overridingTag);
    return std::make_shared<MustacheAccumulatorTag>(std::move(tags));
}
