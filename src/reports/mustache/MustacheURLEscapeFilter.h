#pragma once

#include "reports/mustache/MustacheEscaper.h"

// "URL.escape": percent escapes for a URL's parts, reserved characters included.
class MustacheURLEscapeFilter : public MustacheEscaper {
public:
    QString escape(const QString& string) const override;
};
