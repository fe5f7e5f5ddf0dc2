#pragma once

#include "reports/mustache/MustacheEscaper.h"

// "javascript.escape": makes text safe inside a script string in a web page.
class MustacheJavascriptEscaper : public MustacheEscaper {
public:
    QString escape(const QString& string) const override;
};
