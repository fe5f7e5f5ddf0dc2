#pragma once

#include "platform/Error.h"

#include <memory>

class MustacheParser;
class MustacheToken;

// Receives the tokens of one pass; both calls are optional.
class MustacheParserDelegate {
public:
    virtual ~MustacheParserDelegate();
    // False stops the pass at once.
    virtual bool parserShouldContinueAfterParsingToken(
        MustacheParser& parser, const std::shared_ptr<const MustacheToken>& token);
    virtual void parserDidFailWithError(MustacheParser& parser, const platform::Error& error);
};
