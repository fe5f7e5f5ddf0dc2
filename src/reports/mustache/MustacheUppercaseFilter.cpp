#include "reports/mustache/MustacheUppercaseFilter.h"

QString MustacheUppercaseFilter::caseChanged(const QString& text) const
{
    return text.toUpper();
}
