#pragma once

#include "reports/mustache/MustacheFilter.h"

// "isBlank": true for nil, null, an empty list, and a description that is empty once
// trimmed of whitespace. Dictionaries are judged by their description, which never is.
class MustacheBlankFilter : public MustacheFilter {
public:
    QVariant transformedValue(const QVariant& object) const override;

    static bool isEmpty(const QVariant& object, bool trimmed);
};
