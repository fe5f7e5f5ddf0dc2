#pragma once

#include "utilities/regex/RegexTypes.h"

#include "platform/Error.h"

#include <QString>

// In-place replacement on a string the caller owns. Each returns the number of matches
// replaced, 0 leaving the string as it was, or -1 when the pattern does not compile or
// the replacement fails. With a range only that range of the string changes.
namespace RegexAdditions {

[[nodiscard]] qint64 replaceOccurrencesOfRegex(
    QString& string, const QString& regex, const QString& withString);
[[nodiscard]] qint64 replaceOccurrencesOfRegex(
    QString& string, const QString& regex, const QString& withString, RXRange range);
[[nodiscard]] qint64 replaceOccurrencesOfRegex(QString& string, const QString& regex,
    const QString& withString, RXRegexOptions options, RXRange range, platform::Error* error);

// The block's text takes each match's place; the string changes only after the
// enumeration has ended, so the block sees (and may change) it as it was.
[[nodiscard]] qint64 replaceOccurrencesOfRegex(
    QString& string, const QString& regex, const RXReplaceBlock& usingBlock);
[[nodiscard]] qint64 replaceOccurrencesOfRegex(QString& string, const QString& regex,
    RXRegexOptions options, RXRange inRange, platform::Error* error,
    RXRegexEnumerationOptions enumerationOptions, const RXReplaceBlock& usingBlock);

} // namespace RegexAdditions
