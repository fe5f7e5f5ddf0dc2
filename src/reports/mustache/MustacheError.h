#pragma once

#include "platform/Error.h"

#include <QString>

// The engine's errors: one domain, three codes, and the shared way of reporting them.
class MustacheError {
public:
    MustacheError() = delete;

    static const QString Domain; // "MustacheErrorDomain"
    static const QString RenderingException; // "MustacheRenderingException"
    enum Code : qint64 {
        ParseError = 0,
        TemplateNotFound = 1,
        RenderingError = 2,
    };

    static platform::Error make(Code code, const QString& description);
    // Stores the error in the caller's slot, or logs "Mustache error: %@" when there is none.
    static void report(const platform::Error& error, platform::Error* slot);
};
