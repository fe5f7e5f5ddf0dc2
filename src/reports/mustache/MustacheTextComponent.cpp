#include "reports/mustache/MustacheTextComponent.h"

MustacheTextComponent::MustacheTextComponent(QString text)
    : m_text(std::move(text))
{
}

MustacheComponentPtr MustacheTextComponent::textComponentWithString(const QString& text)
{
    return std::make_shared<MustacheTextComponent>(text);
}

bool MustacheTextComponent::renderContentType(
    MustacheContentType, QString& buffer, const MustacheContextPtr&, platform::Error*) const
{
    buffer += m_text;
    return true;
}

MustacheComponentPtr MustacheTextComponent::resolveTemplateComponent(
    const MustacheComponentPtr& component) const
{
    return component;
}
