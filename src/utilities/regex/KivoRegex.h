#pragma once

#include "utilities/regex/RegexTypes.h"

#include "platform/Error.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// Regular expressions (ICU syntax) over a string's own UTF-16: test, search, split,
// extract, replace and enumerate. Ranges count UTF-16 units as QString does. Every
// operation may be called from any thread.
//
// A pattern that does not compile gives NO, the null range, no result (std::nullopt) or -1,
// and fills `error` (domain "RXICURegexErrorDomain") when one is given; it never raises.
// Bad arguments (a null pattern or template, a range beyond the string, a capture number
// outside the pattern's groups) raise platform::Exception, as do ICU failures while
// matching ("RXICURegexException").
namespace KivoRegex {

// Pairs of dictionary key and capture-group number; a null key ends the list.
using KeysAndCaptures = QList<QPair<QString, int>>;

// Counting and validity: the string is the pattern.
[[nodiscard]] qint64 captureCountForRegex(const QString& regex);
[[nodiscard]] qint64 captureCountForRegex(
    const QString& regex, RXRegexOptions options, platform::Error* error);
[[nodiscard]] qint64 captureCount(const QString& string);
[[nodiscard]] qint64 captureCountWithOptions(
    const QString& string, RXRegexOptions options, platform::Error* error);
[[nodiscard]] bool isRegexValid(const QString& string);
[[nodiscard]] bool isRegexValidWithOptions(
    const QString& string, RXRegexOptions options, platform::Error* error);

// YES when the pattern matches somewhere in the range.
[[nodiscard]] bool isMatchedByRegex(const QString& string, const QString& regex);
[[nodiscard]] bool isMatchedByRegex(const QString& string, const QString& regex, RXRange inRange);
[[nodiscard]] bool isMatchedByRegex(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange inRange, platform::Error* error);

// The range of the first match (or of one of its groups), else the null range.
[[nodiscard]] RXRange rangeOfRegex(const QString& string, const QString& regex);
[[nodiscard]] RXRange rangeOfRegex(const QString& string, const QString& regex, qint64 capture);
[[nodiscard]] RXRange rangeOfRegex(const QString& string, const QString& regex, RXRange inRange);
[[nodiscard]] RXRange rangeOfRegex(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange inRange, qint64 capture, platform::Error* error);

// The text of that range; none when nothing matched (an empty match gives "").
[[nodiscard]] std::optional<QString> stringByMatching(const QString& string, const QString& regex);
[[nodiscard]] std::optional<QString> stringByMatching(
    const QString& string, const QString& regex, qint64 capture);
[[nodiscard]] std::optional<QString> stringByMatching(
    const QString& string, const QString& regex, RXRange inRange);
[[nodiscard]] std::optional<QString> stringByMatching(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange inRange, qint64 capture, platform::Error* error);

// The pieces between matches, each followed by the separator's groups; trailing empty
// pieces are dropped, inner and leading ones kept; the empty string gives an empty list.
[[nodiscard]] std::optional<QStringList> componentsSeparatedByRegex(
    const QString& string, const QString& regex);
[[nodiscard]] std::optional<QStringList> componentsSeparatedByRegex(
    const QString& string, const QString& regex, RXRange range);
[[nodiscard]] std::optional<QStringList> componentsSeparatedByRegex(const QString& string,
    const QString& regex, RXRegexOptions options, RXRange range, platform::Error* error);

// The text of every match, or of one group of every match ("" where it took no part).
[[nodiscard]] std::optional<QStringList> componentsMatchedByRegex(
    const QString& string, const QString& regex);
[[nodiscard]] std::optional<QStringList> componentsMatchedByRegex(
    const QString& string, const QString& regex, qint64 capture);
[[nodiscard]] std::optional<QStringList> componentsMatchedByRegex(
    const QString& string, const QString& regex, RXRange range);
[[nodiscard]] std::optional<QStringList> componentsMatchedByRegex(const QString& string,
    const QString& regex, RXRegexOptions options, RXRange range, qint64 capture,
    platform::Error* error);

// The first match, then its groups 1 to n.
[[nodiscard]] std::optional<QStringList> captureComponentsMatchedByRegex(
    const QString& string, const QString& regex);
[[nodiscard]] std::optional<QStringList> captureComponentsMatchedByRegex(
    const QString& string, const QString& regex, RXRange range);
[[nodiscard]] std::optional<QStringList> captureComponentsMatchedByRegex(const QString& string,
    const QString& regex, RXRegexOptions options, RXRange range, platform::Error* error);

// One such list per match.
[[nodiscard]] std::optional<QList<QStringList>> arrayOfCaptureComponentsMatchedByRegex(
    const QString& string, const QString& regex);
[[nodiscard]] std::optional<QList<QStringList>> arrayOfCaptureComponentsMatchedByRegex(
    const QString& string, const QString& regex, RXRange range);
[[nodiscard]] std::optional<QList<QStringList>> arrayOfCaptureComponentsMatchedByRegex(
    const QString& string, const QString& regex, RXRegexOptions options, RXRange range,
    platform::Error* error);

// For the first match, key -> text of its group; a group that took no part leaves its key
// out. At most 62 pairs are read.
[[nodiscard]] std::optional<QVariantMap> dictionaryByMatchingRegex(
    const QString& string, const QString& regex, const KeysAndCaptures& withKeysAndCaptures);
[[nodiscard]] std::optional<QVariantMap> dictionaryByMatchingRegex(const QString& string,
    const QString& regex, RXRange range, const KeysAndCaptures& withKeysAndCaptures);
[[nodiscard]] std::optional<QVariantMap> dictionaryByMatchingRegex(const QString& string,
    const QString& regex, RXRegexOptions options, RXRange range, platform::Error* error,
    const KeysAndCaptures& withKeysAndCaptures);
[[nodiscard]] std::optional<QVariantMap> dictionaryByMatchingRegex(const QString& string,
    const QString& regex, RXRegexOptions options, RXRange range, platform::Error* error,
    const QString* withKeys, const int* forCaptures, qint64 count);

// The same dictionary for every match.
[[nodiscard]] std::optional<QList<QVariantMap>> arrayOfDictionariesByMatchingRegex(
    const QString& string, const QString& regex, const KeysAndCaptures& withKeysAndCaptures);
[[nodiscard]] std::optional<QList<QVariantMap>> arrayOfDictionariesByMatchingRegex(
    const QString& string, const QString& regex, RXRange range,
    const KeysAndCaptures& withKeysAndCaptures);
[[nodiscard]] std::optional<QList<QVariantMap>> arrayOfDictionariesByMatchingRegex(
    const QString& string, const QString& regex, RXRegexOptions options, RXRange range,
    platform::Error* error, const KeysAndCaptures& withKeysAndCaptures);
[[nodiscard]] std::optional<QList<QVariantMap>> arrayOfDictionariesByMatchingRegex(
    const QString& string, const QString& regex, RXRegexOptions options, RXRange range,
    platform::Error* error, const QString* withKeys, const int* forCaptures, qint64 count);

// Every match replaced by the template (ICU's syntax: $1, \$ ...). The result covers the
// range only.
[[nodiscard]] std::optional<QString> stringByReplacingOccurrencesOfRegex(
    const QString& string, const QString& regex, const QString& withString);
[[nodiscard]] std::optional<QString> stringByReplacingOccurrencesOfRegex(
    const QString& string, const QString& regex, const QString& withString, RXRange range);
[[nodiscard]] std::optional<QString> stringByReplacingOccurrencesOfRegex(const QString& string,
    const QString& regex, const QString& withString, RXRegexOptions options, RXRange range,
    platform::Error* error);

// Calls the block once per match; YES when the enumeration completed. The lock of the
// caches is not held while the block runs, so it may use regular expressions itself.
[[nodiscard]] bool enumerateStringsMatchedByRegex(
    const QString& string, const QString& regex, const RXMatchBlock& usingBlock);
[[nodiscard]] bool enumerateStringsMatchedByRegex(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange inRange, platform::Error* error,
    RXRegexEnumerationOptions enumerationOptions, const RXMatchBlock& usingBlock);
// Calls the block once per piece between matches (count 1 for the last piece).
[[nodiscard]] bool enumerateStringsSeparatedByRegex(
    const QString& string, const QString& regex, const RXMatchBlock& usingBlock);
[[nodiscard]] bool enumerateStringsSeparatedByRegex(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange inRange, platform::Error* error,
    RXRegexEnumerationOptions enumerationOptions, const RXMatchBlock& usingBlock);
// Every match replaced by what the block returns for it; the result covers the range.
[[nodiscard]] std::optional<QString> stringByReplacingOccurrencesOfRegex(
    const QString& string, const QString& regex, const RXReplaceBlock& usingBlock);
[[nodiscard]] std::optional<QString> stringByReplacingOccurrencesOfRegex(const QString& string,
    const QString& regex, RXRegexOptions options, RXRange inRange, platform::Error* error,
    RXRegexEnumerationOptions enumerationOptions, const RXReplaceBlock& usingBlock);

// Cache upkeep: forget everything, or every use of one string as a subject.
void clearStringCache();
void flushCachedRegexData(const QString& string);

} // namespace KivoRegex
