#include "reports/mustache/MustacheCapitalizedFilter.h"

QString MustacheCapitalizedFilter::caseChanged(const QString& text) const
{
    QString result = text.toLower();
    bool wordStart = true;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result.at(i);
        if (c.isSpace()) {
            wordStart = true;
        } else if (wordStart) {
            result[i] = c.toUpper();
            wordStart = false;
        }
    }
    return result;
}
