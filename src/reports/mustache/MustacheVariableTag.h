#pragma once

#include "reports/mustache/MustacheTag.h"

// {{name}} and its unescaped forms.
class MustacheVariableTag : public MustacheTag {
public:
    MustacheVariableTag(MustacheTemplateRepository* templateRepository,
        MustacheExpressionPtr expression, MustacheContentType contentType, bool escapesHTML);
    static MustacheTagPtr variableTagWithTemplateRepository(
        MustacheTemplateRepository* templateRepository, const MustacheExpressionPtr& expression,
        MustacheContentType contentType, bool escapesHTML);

    bool escapesHTML() const override { return m_escapesHTML; }

protected:
    QString className() const override { return QStringLiteral("MustacheVariableTag"); }

private:
    bool m_escapesHTML;
};
