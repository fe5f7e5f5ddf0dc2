#pragma once

#include "reports/mustache/MustacheTemplateComponent.h"

// Text between tags, copied as it stands whatever the content type.
class MustacheTextComponent : public MustacheTemplateComponent {
public:
    explicit MustacheTextComponent(QString text);
    static MustacheComponentPtr textComponentWithString(const QString& text);

    const QString& text() const { return m_text; }
    bool renderContentType(MustacheContentType contentType, QString& buffer,
        const MustacheContextPtr& context, platform::Error* error) const override;
    MustacheComponentPtr resolveTemplateComponent(
        const MustacheComponentPtr& component) const override;

private:
    QString m_text;
};
