#include "reports/mustache/MustacheAST.h"

MustacheAST::MustacheAST(MustacheComponents templateComponents, MustacheContentType contentType)
    : m_templateComponents(std::move(templateComponents))
    , m_contentType(contentType)
{
}
