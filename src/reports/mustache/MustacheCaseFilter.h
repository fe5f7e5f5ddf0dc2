#pragma once

#include "reports/mustache/MustacheFilter.h"

// Base of the three case filters: null gives "", nil stays nil, anything else its
// description changed by caseChanged.
class MustacheCaseFilter : public MustacheFilter {
public:
    QVariant transformedValue(const QVariant& object) const override;

protected:
    virtual QString caseChanged(const QString& text) const = 0;
};
