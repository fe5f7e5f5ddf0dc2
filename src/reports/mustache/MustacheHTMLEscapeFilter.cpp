#include "reports/mustache/MustacheHTMLEscapeFilter.h"

#include "reports/mustache/Mustache.h"

QString MustacheHTMLEscapeFilter::escape(const QString& string) const
{
    return Mustache::escapeHTML(string);
}
