#pragma once

#include "platform/Error.h"

#include <QString>

class MustacheToken;

// Counts how deep the current thread renders (sections, partials, overrides, nested
// lists, templates found in the data), so that recursion through data or partials ends
// in an error, not a crash.
class MustacheRenderingDepth {
public:
    MustacheRenderingDepth();
    ~MustacheRenderingDepth();
    MustacheRenderingDepth(const MustacheRenderingDepth&) = delete;
    MustacheRenderingDepth& operator=(const MustacheRenderingDepth&) = delete;

    bool exceeded() const;
    // The rendering error naming the tag that went too deep.
    static platform::Error error(const MustacheToken* token);
};
