#pragma once

#include "reports/mustache/MustacheCaseFilter.h"

// "capitalized": Each word with a capital first letter and the rest in lower case.
class MustacheCapitalizedFilter : public MustacheCaseFilter {
protected:
    QString caseChanged(const QString& text) const override;
};
