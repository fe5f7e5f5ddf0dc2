#pragma once

#include "reports/mustache/MustacheFilter.h"

// "isEmpty": as "isBlank", but the description is not trimmed.
class MustacheEmptyFilter : public MustacheFilter {
public:
    QVariant transformedValue(const QVariant& object) const override;
};
