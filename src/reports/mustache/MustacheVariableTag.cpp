#include "reports/mustache/MustacheVariableTag.h"

MustacheVariableTag::MustacheVariableTag(MustacheTemplateRepository* templateRepository,
    MustacheExpressionPtr expression, MustacheContentType contentType, bool escapesHTML)
    : MustacheTag(MustacheTagType::Variable, templateRepository, std::move(expression), contentType)
    , m_escapesHTML(escapesHTML)
{
}

MustacheTagPtr MustacheVariableTag::variableTagWithTemplateRepository(
    MustacheTemplateRepository* templateRepository, const MustacheExpressionPtr& expression,
    MustacheContentType contentType, bool escapesHTML)
{
    return std::make_shared<MustacheVariableTag>(
        templateRepository, expression, contentType, escapesHTML);
}
