#pragma once

#include "reports/mustache/MustacheCaseFilter.h"

// "lowercase": The description in lower case.
class MustacheLowercaseFilter : public MustacheCaseFilter {
protected:
    QString caseChanged(const QString& text) const override;
};
