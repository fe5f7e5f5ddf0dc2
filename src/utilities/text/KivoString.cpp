#include "utilities/text/KivoString.h"

#include "utilities/text/HTTP.h"

namespace KivoString {

QString UrlEncode(const QString& text)
{
    return HTTP::urlEncodedString(text);
}

QString ExtSubStringStartFrom(const QString& text, qsizetype start, qsizetype length)
{
    if (start < 0 || length < 0 || start > text.size() || length > text.size() - start)
        return text;
    return text.mid(start, length);
}

QString Left(const QString& text, qsizetype n)
{
    return ExtSubStringStartFrom(text, 0, n);
}

QString Right(const QString& text, qsizetype n)
{
    return ExtSubStringStartFrom(text, text.size() - n, n);
}

bool ExtContains(const QString& text, const QString& part)
{
    return text.contains(part, Qt::CaseSensitive);
}

} // namespace KivoString
