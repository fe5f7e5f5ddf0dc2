#pragma once

#include "reports/mustache/MustacheTag.h"

#include <vector>

// An overridable section overridden at several levels: every override's content renders,
// innermost first. The first tag gives the type, expression and escaping of the whole.
class MustacheAccumulatorTag : public MustacheTag {
public:
    explicit MustacheAccumulatorTag(std::vector<MustacheTagPtr> tags);
    static MustacheTagPtr accumulatorTagWithTag(const MustacheTagPtr& tag);

    const std::vector<MustacheTagPtr>& tags() const { return m_tags; }
    bool escapesHTML() const override;
    QString innerTemplateString() const override;
    std::optional<QString> renderContentWithContext(
        const MustacheContextPtr& context, bool* HTMLSafe, platform::Error* error) const override;
    std::shared_ptr<MustacheTag> tagWithOverridingTag(
        const std::shared_ptr<MustacheTag>& overridingTag) const override;

protected:
    QString className() const override { return QStringLiteral("MustacheAccumulatorTag"); }

private:
    std::vector<MustacheTagPtr> m_tags;
};
