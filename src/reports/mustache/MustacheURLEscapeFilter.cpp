#include "reports/mustache/MustacheURLEscapeFilter.h"

namespace {

// Kept as they are: letters, digits and the marks a URL allows unescaped in any part.
bool staysUnescaped(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
        return true;
    switch (c) {
    case u'!':
    case u'\'':
    case u'(':
    case u')':
    case u'*':
    case u'-':
    case u'.':
    case u'_':
    case u'~':
        return true;
    default:
        return false;
    }
}

} // namespace

QString MustacheURLEscapeFilter::escape(const QString& string) const
{
    const QChar* begin = string.constData();
    const qsizetype length = string.size();
    qsizetype first = 0;
    while (first < length && staysUnescaped(begin[first].unicode()))
        ++first;
    if (first == length)
        return string;
    QString result;
    result.reserve(length * 3);
    result.append(QStringView(begin, first));
    qsizetype i = first;
    while (i < length) {
        qsizetype run = i;
        while (run < length && staysUnescaped(begin[run].unicode()))
            ++run;
        result.append(QStringView(begin + i, run - i));
        if (run == length)
            break;
        // One character (a surrogate pair counts as one) as its UTF-8 bytes.
        qsizetype next = run + 1;
        if (begin[run].isHighSurrogate() && next < length && begin[next].isLowSurrogate())
            ++next;
        for (const char byte : QStringView(begin + run, next - run).toUtf8())
            result.append(
                QStringLiteral("%%1").arg(uint(uchar(byte)), 2, 16, QLatin1Char('0')).toUpper());
        i = next;
    }
    return result;
}
