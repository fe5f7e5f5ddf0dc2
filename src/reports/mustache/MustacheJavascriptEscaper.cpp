#include "reports/mustache/MustacheJavascriptEscaper.h"

namespace {

bool needsEscape(char16_t c)
{
    if (c < 32)
        return true;
    switch (c) {
    case u'"':
    case u'&':
    case u'\'':
    case u'-':
    case u';':
    case u'<':
    case u'=':
    case u'>':
    case u'\\':
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

} // namespace

QString MustacheJavascriptEscaper::escape(const QString& string) const
{
    const QChar* begin = string.constData();
    const qsizetype length = string.size();
    qsizetype first = 0;
    while (first < length && !needsEscape(begin[first].unicode()))
        ++first;
    if (first == length)
        return string;
    QString result;
    result.reserve(length + 32);
    qsizetype runStart = 0;
    for (qsizetype i = first; i < length; ++i) {
        const char16_t c = begin[i].unicode();
        if (!needsEscape(c))
            continue;
        result.append(QStringView(begin + runStart, i - runStart));
        result.append(QLatin1String("\\u"));
        result.append(QString::number(uint(c), 16).rightJustified(4, u'0').toUpper());
        runStart = i + 1;
    }
    result.append(QStringView(begin + runStart, length - runStart));
    return result;
}
