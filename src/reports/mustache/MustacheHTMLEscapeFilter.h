#pragma once

#include "reports/mustache/MustacheEscaper.h"

// "HTML.escape".
class MustacheHTMLEscapeFilter : public MustacheEscaper {
public:
    QString escape(const QString& string) const override;
};
