#pragma once

#include "reports/mustache/MustacheCaseFilter.h"

// "uppercase": The description in upper case.
class MustacheUppercaseFilter : public MustacheCaseFilter {
protected:
    QString caseChanged(const QString& text) const override;
};
