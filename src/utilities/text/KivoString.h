#pragma once

#include <QString>

// Substring and search helpers on texts. Positions and lengths count UTF-16 units.
namespace KivoString {

// HTTP::urlEncodedString of the text.
QString UrlEncode(const QString& text);
// The substring; the whole text when the range does not lie inside it.
QString ExtSubStringStartFrom(const QString& text, qsizetype start, qsizetype length);
// The first n characters, or the whole text when it is shorter.
QString Left(const QString& text, qsizetype n);
// The last n characters, or the whole text when it is shorter.
QString Right(const QString& text, qsizetype n);
// Case-sensitive.
bool ExtContains(const QString& text, const QString& part);

} // namespace KivoString
