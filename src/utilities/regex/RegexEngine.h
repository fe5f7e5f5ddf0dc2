#pragma once

#include "utilities/regex/RegexTypes.h"

#include "platform/Error.h"
#include "platform/Exception.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <mutex>
#include <optional>
#include <vector>

#include <unicode/uregex.h>

// The engine under the string operations: compiled expressions cached process-wide under
// one lock, each set to the subject's own UTF-16 characters (never copied).

// How long one match may run, in ICU's steps (each some ten thousand steps of its engine,
// about a millisecond): far more than any sane pattern needs on any subject the system
// holds, and a bound on a pattern that backtracks without end, such as (a+)+b against a
// few dozen "a"s. A match that reaches it fails with U_REGEX_TIME_OUT, reported as every
// other ICU failure is.
inline constexpr int32_t RXMatchTimeLimit = 10000;

// Gives the compiled expression the time limit; `status` says whether ICU took it.
void rx_setTimeLimit(URegularExpression* regex, UErrorCode& status);

// One compiled expression and the subject it is set to.
struct RXCachedRegex {
    QString regexString; // the pattern, held so its characters stay put
    quint64 regexHash = 0;
    RXRegexOptions options = 0;
    URegularExpression* icu_regex = nullptr;
    qint64 captureCount = -1; // -1 when the line is empty
    QString setToString; // the subject, held (not copied) while ICU points into it
    bool hasSubject = false;
    quint64 setToHash = 0;
    qint64 setToLength = 0;
    const UChar* setToUniChar = nullptr;
    RXRange setToRange = RXNullRange; // the part handed to ICU; ICU offsets are relative to it
    RXRange lastFindRange = RXNullRange;
    RXRange lastMatchRange = RXNullRange;
};

// The working record of one search for all matches.
struct RXFindAll {
    std::vector<RXRange> ranges;
    RXRange findInRange = RXNullRange;
    RXRange remainingRange = RXNullRange; // what is left to search after the last match
    quint64 lastLocation = 0; // where the last match (or separator) ended
    qint64 found = 0; // matches recorded
    qint64 findUpTo = qint64(RXNotFound); // limit on `found`
    qint64 capture = 0;
    qint64 addedSplitRanges = 0; // pieces added after the last separator
};

// What one operation produced; `exists` is false where the operation gives none.
struct RXOpResult {
    bool exists = false;
    QStringList strings;
    QList<QStringList> arrays;
    QVariantMap dictionary;
    QList<QVariantMap> dictionaries;
    QString string;
    RXRange range = RXNullRange;
    qint64 replacedCount = -1;
};

// Guards every cache table. Never held while caller code runs or while raising.
extern std::mutex rx_cacheSpinLock;

// A cheap hash: the length and at most 96 units sampled from the start, middle and end.
quint64 rx_stringHash(const QString& string);

// Lock held. The compiled line for the pattern and options, compiling on a miss; null when
// the pattern does not compile (then `error`, when given, is filled) or when an exception
// was already prepared.
[[nodiscard]] RXCachedRegex* rx_getCachedRegex(const QString& regexString, RXRegexOptions options,
    platform::Error* error, std::optional<platform::Exception>& exception);
// Lock held for cached lines. Points the line at the subject's characters over `range`
// (its length already resolved); false when it could not.
[[nodiscard]] bool rx_setCachedRegexToString(
    RXCachedRegex& cachedRegex, const QString& subject, RXRange range, UErrorCode& status);
// One search; true when it matched. With `advance` the search range moves past the match.
bool rx_search(RXCachedRegex& cachedRegex, RXRange& searchRange, bool advance, UErrorCode& status);
// Fills `findAll` with the ranges of the operation; true on failure.
[[nodiscard]] bool rx_findRanges(
    RXCachedRegex& cachedRegex, quint32 regexOp, RXFindAll& findAll, UErrorCode& status);

// The one entry of every string operation. Takes the lock itself. Raises for bad arguments
// (with the caller in the reason) and for ICU failures; a pattern that does not compile
// gives no result and fills `error`. For an in-place replacement `mutableReceiver` is the
// string written back after the lock is released.
[[nodiscard]] RXOpResult rx_performRegexOp(const RXCaller& caller, quint32 regexOp,
    const QString& regexString, RXRegexOptions options, qint64 capture, const QString& subject,
    RXRange matchRange, const QString* replacementString, platform::Error* error,
    const QString* keys = nullptr, const int* captureKeyIndexes = nullptr, qint64 keyCount = 0,
    QString* mutableReceiver = nullptr);
// True when the pattern compiles; the capture-group count (or -1) through `captureCount`.
[[nodiscard]] bool rx_validateRegex(const RXCaller& caller, const QString& regexString,
    RXRegexOptions options, qint64* captureCount, platform::Error* error);

// Empties every table. The lock must be held.
void rx_clearCachesLocked();
// Forgets every cached use of the string as a subject.
void rx_flushCachedRegexData(const QString& string);
// Registers the low-memory observer the first time the engine is used.
void rx_registerLowMemoryObserver();

// Null range as ICU's group offsets give it: -1 for a group that took no part.
RXRange rx_rangeFromICU(const RXCachedRegex& cachedRegex, int32_t start, int32_t end);
