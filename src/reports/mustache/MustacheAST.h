#pragma once

#include "reports/mustache/MustacheEnums.h"
#include "reports/mustache/MustacheTemplateComponent.h"

// What compiling one template text gives: its components and its content type.
class MustacheAST {
public:
    MustacheAST(MustacheComponents templateComponents, MustacheContentType contentType);

    const MustacheComponents& templateComponents() const { return m_templateComponents; }
    MustacheContentType contentType() const { return m_contentType; }

private:
    MustacheComponents m_templateComponents;
    MustacheContentType m_contentType;
};
