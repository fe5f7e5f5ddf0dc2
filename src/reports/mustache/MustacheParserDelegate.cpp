#include "reports/mustache/MustacheParserDelegate.h"

MustacheParserDelegate::~MustacheParserDelegate() = default;

bool MustacheParserDelegate::parserShouldContinueAfterParsingToken(
    MustacheParser&, const std::shared_ptr<const MustacheToken>&)
{
    return true;
}

void MustacheParserDelegate::parserDidFailWithError(MustacheParser&, const platform::Error&)
{
}
