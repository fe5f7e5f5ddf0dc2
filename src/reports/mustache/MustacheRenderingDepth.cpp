#include "reports/mustache/MustacheRenderingDepth.h"

#include "reports/mustache/MustacheEnums.h"
#include "reports/mustache/MustacheError.h"
#include "reports/mustache/MustacheToken.h"

namespace {
thread_local int t_depth = 0;
} // namespace

MustacheRenderingDepth::MustacheRenderingDepth()
{
    ++t_depth;
}

MustacheRenderingDepth::~MustacheRenderingDepth()
{
    --t_depth;
}

bool MustacheRenderingDepth::exceeded() const
{
    return t_depth > MustacheMaximumDepth;
}

platform::Error MustacheRenderingDepth::error(const MustacheToken* token)
{
    QString message
        = QStringLiteral("Rendering nested deeper than %1 levels").arg(MustacheMaximumDepth);
    if (token) {
        message += QStringLiteral(" in tag `%1` at line %2")
                       .arg(token->templateSubstring())
                       .arg(token->line());
        if (!token->templateID().isEmpty())
            message += QStringLiteral(" of template %1").arg(token->templateID());
    }
    return MustacheError::make(MustacheError::RenderingError, message);
}
