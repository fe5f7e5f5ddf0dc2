#pragma once

#include "reports/mustache/MustacheRenderingFilter.h"

// An escaper: null gives "", anything else its description escaped.
class MustacheEscaper : public MustacheRenderingFilter {
public:
    QVariant transformedValue(const QVariant& object) const override;
    // The same string when nothing needs replacing.
    virtual QString escape(const QString& string) const = 0;
};
