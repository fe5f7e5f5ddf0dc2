#include "reports/mustache/MustacheLowercaseFilter.h"

QString MustacheLowercaseFilter::caseChanged(const QString& text) const
{
    return text.toLower();
}
