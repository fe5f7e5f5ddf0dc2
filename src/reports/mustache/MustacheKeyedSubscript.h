#pragma once

#include "reports/mustache/MustacheObject.h"

// An object that answers any key itself, like a dictionary (the report generator does).
class MustacheKeyedSubscript : public virtual MustacheObject {
public:
    // An invalid QVariant when the object has nothing for the key.
    virtual QVariant objectForKeyedSubscript(const QString& key) const = 0;
};
