#include "utilities/regex/RegexEngine.h"

#include "utilities/regex/RXLowMemoryWarningObserver.h"
#include "utilities/regex/RegexErrors.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

std::mutex rx_cacheSpinLock;

namespace {

constexpr int CacheSets = 13;
constexpr int CacheWays = 4;
constexpr int CacheLines = CacheSets * CacheWays;
constexpr int LookAsideSlots = 64;
constexpr quint16 ReplacementWordStart = 0x0137;
constexpr qsizetype HashSample = 32;

const QString CompileErrorDescription
    = QStringLiteral("There was an error compiling the regular expression.");
const QString UnexpectedICUDescription
    = QStringLiteral("The ICU library returned an unexpected error.");
const QString ReplacementNullReason = QStringLiteral("The replacement string argument is NULL.");
const QString KeysNullReason = QStringLiteral("The keys argument is NULL.");
const QString CapturesNullReason = QStringLiteral("The captures argument is NULL.");
const QString RegexTooLongReason = QStringLiteral("Regex string length exceeds INT_MAX");
const QString ReplacementTooLongReason
    = QStringLiteral("Replacement string length exceeds INT_MAX.");
const QString ReplacedTooLongReason = QStringLiteral("Replaced string length exceeds INT_MAX.");
const QString CaptureReason = QStringLiteral("The capture argument is not valid.");
const QString CaptureKeyNullReason = QStringLiteral("The capture key (key %1 of %2) is NULL.");
const QString CaptureKeyReason
    = QStringLiteral("The capture argument %1 (capture %2 of %3) for key '%4' is not valid.");
const QString UnknownOpReason = QStringLiteral("Unknown regexOp code.");
const QString BufferSetUpReason = QStringLiteral("Failed to set up UTF16 buffer.");

const UChar EmptyText[1] = { 0 };

// Compiled expressions in sets of four ways; the look-aside table remembers recent
// lines by pattern pointer so alternating patterns skip hashing.
struct RXCacheTables {
    RXCachedRegex lines[CacheLines];
    quint16 replacement[CacheSets];
    quint8 lookAside[LookAsideSlots] = {};
    RXCachedRegex* last = nullptr;

    RXCacheTables()
    {
        std::fill(std::begin(replacement), std::end(replacement), ReplacementWordStart);
    }
    ~RXCacheTables()
    {
        for (RXCachedRegex& line : lines) {
            if (line.icu_regex)
                uregex_close(line.icu_regex);
        }
    }
};

RXCacheTables& tables()
{
    static RXCacheTables cacheTables;
    return cacheTables;
}

[[noreturn]] void stopProcess(const char* condition, int line)
{
    std::fprintf(
        stderr, "%s:%d: Invalid parameter not satisfying: %s\n", __FILE__, line, condition);
    std::abort();
}

// A 4 x 4 bit matrix: using a way fills its row and clears its column, so the way whose
// row is empty is the least recently used.
void markWayUsed(quint16& word, int way)
{
    word = quint16(word | (0xF << (4 * way)));
    word = quint16(word & ~(0x1111 << (3 - way)));
}

int victimWay(quint16 word)
{
    for (int way = CacheWays - 1; way >= 0; --way) {
        if (((word >> (4 * way)) & 0xF) == 0)
            return way;
    }
    stopProcess("a replacement word has a way whose row is clear", __LINE__);
}

const UChar* unitsOf(const QString& string)
{
    // constData(), not utf16(): utf16() may reallocate literal and raw strings to add a
    // terminator, which is both a copy and a write to a possibly shared string.
    return reinterpret_cast<const UChar*>(string.constData());
}

void releaseSubject(RXCachedRegex& line)
{
    if (line.icu_regex && line.hasSubject) {
        // ICU must keep no pointer into a string we let go of.
        UErrorCode status = U_ZERO_ERROR;
        uregex_setText(line.icu_regex, EmptyText, 0, &status);
    }
    line.setToString = QString();
    line.hasSubject = false;
    line.setToHash = 0;
    line.setToLength = 0;
    line.setToUniChar = nullptr;
    line.setToRange = RXNullRange;
    line.lastFindRange = RXNullRange;
    line.lastMatchRange = RXNullRange;
}

void releaseLine(RXCachedRegex& line)
{
    releaseSubject(line);
    if (line.icu_regex)
        uregex_close(line.icu_regex);
    line.icu_regex = nullptr;
    line.captureCount = -1;
    line.regexString = QString();
    line.regexHash = 0;
    line.options = 0;
}

bool isSamePointer(const QString& a, const QString& b)
{
    return a.constData() == b.constData() && a.size() == b.size();
}

// Every line set to the string, or to one of the same length and hash, lets it go.
void flushSubjectLocked(const QString& string, qint64 length, quint64 hash)
{
    for (RXCachedRegex& line : tables().lines) {
        if (line.hasSubject
            && (isSamePointer(line.setToString, string)
                || (line.setToLength == length && line.setToHash == hash)))
            releaseSubject(line);
    }
}

bool holdsPattern(const RXCachedRegex& line, const QString& regex, RXRegexOptions options)
{
    return line.icu_regex && line.options == options
        && (isSamePointer(line.regexString, regex) || line.regexString == regex);
}

void useLine(RXCacheTables& cache, int index, quint32 slot)
{
    cache.last = &cache.lines[index];
    cache.lookAside[slot] = quint8(index);
    markWayUsed(cache.replacement[index / CacheWays], index % CacheWays);
}

QString rangeText(const QString& subject, RXRange range)
{
    static const QString empty = QStringLiteral("");
    if (range.isNull() || range.length == 0)
        return empty;
    return subject.mid(qsizetype(range.location), qsizetype(range.length));
}

RXRange groupRange(RXCachedRegex& cachedRegex, qint64 group, UErrorCode& status)
{
    const int32_t start = uregex_start(cachedRegex.icu_regex, int32_t(group), &status);
    const int32_t end = uregex_end(cachedRegex.icu_regex, int32_t(group), &status);
    if (U_FAILURE(status))
        return RXNullRange;
    return rx_rangeFromICU(cachedRegex, start, end);
}

QStringList makeStrings(const QString& subject, const std::vector<RXRange>& ranges)
{
    QStringList strings;
    strings.reserve(qsizetype(ranges.size()));
    for (const RXRange& range : ranges)
        strings.append(rangeText(subject, range));
    return strings;
}

QList<QStringList> makeArrays(
    const QString& subject, const std::vector<RXRange>& ranges, qint64 captureCount)
{
    QList<QStringList> arrays;
    const size_t perMatch = size_t(captureCount + 1);
    for (size_t first = 0; first + perMatch <= ranges.size(); first += perMatch) {
        QStringList strings;
        strings.reserve(qsizetype(perMatch));
        for (size_t i = first; i < first + perMatch; ++i)
            strings.append(rangeText(subject, ranges[i]));
        arrays.append(strings);
    }
    return arrays;
}

QList<QVariantMap> makeDictionaries(const QString& subject, const std::vector<RXRange>& ranges,
    qint64 captureCount, const QString* keys, const int* captures, qint64 keyCount)
{
    QList<QVariantMap> dictionaries;
    const size_t perMatch = size_t(captureCount + 1);
    for (size_t first = 0; first + perMatch <= ranges.size(); first += perMatch) {
        QVariantMap dictionary;
        for (qint64 i = 0; i < keyCount; ++i) {
            const RXRange range = ranges[first + size_t(captures[i])];
            // A group that took no part leaves its key out.
            if (!range.isNull())
                dictionary.insert(keys[i], rangeText(subject, range));
        }
        dictionaries.append(dictionary);
    }
    return dictionaries;
}

struct ReplaceOutcome {
    QString text;
    bool exists = false;
    qint64 count = -1;
};

// One pass of ICU's replacement loop into `buffer`; the length it needs, written or not.
int64_t replacePass(RXCachedRegex& cachedRegex, const QString& replacement, QString& buffer,
    qint64& count, UErrorCode& status)
{
    URegularExpression* regex = cachedRegex.icu_regex;
    cachedRegex.lastFindRange = RXNullRange;
    cachedRegex.lastMatchRange = RXNullRange;
    uregex_reset(regex, 0, &status);
    if (status == U_INDEX_OUTOFBOUNDS_ERROR && cachedRegex.setToRange.length == 0)
        status = U_ZERO_ERROR;

    UChar* destination = reinterpret_cast<UChar*>(buffer.data());
    int32_t capacity = int32_t(buffer.size());
    int64_t needed = 0;
    bool overflowed = false;
    count = 0;
    while (U_SUCCESS(status) && uregex_findNext(regex, &status)) {
        needed += uregex_appendReplacement(regex, unitsOf(replacement), int32_t(replacement.size()),
            &destination, &capacity, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            overflowed = true;
            status = U_ZERO_ERROR;
        }
        ++count;
    }
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        overflowed = true;
        status = U_ZERO_ERROR;
    }
    if (U_SUCCESS(status))
        needed += uregex_appendTail(regex, &destination, &capacity, &status);
    if (status == U_STRING_NOT_TERMINATED_WARNING || (overflowed && U_SUCCESS(status)))
        status = U_BUFFER_OVERFLOW_ERROR;
    return needed;
}

ReplaceOutcome rx_replaceString(RXCachedRegex& cachedRegex, const QString& replacement,
    UErrorCode& status, std::optional<platform::Exception>& exception)
{
    ReplaceOutcome outcome;
    const quint64 subjectLength = quint64(cachedRegex.setToLength);
    const quint64 templateLength = quint64(replacement.size());
    if (templateLength >= RXIntMax || templateLength * 2 + subjectLength / 2 >= RXIntMax) {
        exception = platform::Exception(platform::Exception::RangeError, ReplacementTooLongReason);
        return outcome;
    }
    const quint64 rangeLength = cachedRegex.setToRange.length;
    quint64 capacity = rangeLength + rangeLength / 2 + templateLength * 2 + 16;
    if (capacity >= RXIntMax) {
        exception = platform::Exception(platform::Exception::RangeError, ReplacementTooLongReason);
        return outcome;
    }

    QString buffer(qsizetype(capacity), Qt::Uninitialized);
    qint64 count = 0;
    int64_t needed = replacePass(cachedRegex, replacement, buffer, count, status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        // The second pass knows the exact length.
        needed += 4;
        if (quint64(needed) + 4 >= RXIntMax) {
            exception = platform::Exception(
                platform::Exception::InternalInconsistency, ReplacedTooLongReason);
            return outcome;
        }
        buffer = QString(qsizetype(needed + 4), Qt::Uninitialized);
        status = U_ZERO_ERROR;
        needed = replacePass(cachedRegex, replacement, buffer, count, status);
    }
    if (U_FAILURE(status))
        return outcome;

    outcome.exists = true;
    outcome.count = count;
    if (needed == 0) {
        outcome.text = QStringLiteral("");
    } else if (count == 0 && quint64(needed) == subjectLength) {
        outcome.text = cachedRegex.setToString;
    } else {
        buffer.truncate(qsizetype(needed));
        outcome.text = std::move(buffer);
    }
    return outcome;
}

} // namespace

quint64 rx_stringHash(const QString& string)
{
    // FNV-1a over the length and the sampled units.
    quint64 hash = 14695981039346656037ull;
    auto mix = [&hash](quint64 value) {
        hash ^= value;
        hash *= 1099511628211ull;
    };
    const qsizetype length = string.size();
    mix(quint64(length));
    const char16_t* units = reinterpret_cast<const char16_t*>(string.constData());
    auto mixSpan = [&](qsizetype from, qsizetype count) {
        for (qsizetype i = from; i < from + count; ++i)
            mix(units[i]);
    };
    if (length <= 3 * HashSample) {
        mixSpan(0, length);
    } else {
        mixSpan(0, HashSample);
        mixSpan(length / 2 - HashSample / 2, HashSample);
        mixSpan(length - HashSample, HashSample);
    }
    return hash;
}

RXRange rx_rangeFromICU(const RXCachedRegex& cachedRegex, int32_t start, int32_t end)
{
    if (start < 0 || end < start)
        return RXNullRange;
    return { cachedRegex.setToRange.location + quint64(start), quint64(end - start) };
}

RXCachedRegex* rx_getCachedRegex(const QString& regexString, RXRegexOptions options,
    platform::Error* error, std::optional<platform::Exception>& exception)
{
    if (exception)
        return nullptr;
    RXCacheTables& cache = tables();
    if (cache.last && cache.last->icu_regex && cache.last->options == options
        && isSamePointer(cache.last->regexString, regexString))
        return cache.last;

    const quint32 pointerBits = quint32(quintptr(regexString.constData()) >> 4);
    const quint32 slot = (pointerBits + options + (options >> 4)) % LookAsideSlots;
    const int lookedAside = cache.lookAside[slot];
    if (holdsPattern(cache.lines[lookedAside], regexString, options)) {
        useLine(cache, lookedAside, slot);
        return cache.last;
    }

    const quint64 hash = rx_stringHash(regexString);
    const int set = int((hash ^ options) % CacheSets);
    for (int way = 0; way < CacheWays; ++way) {
        const int index = set * CacheWays + way;
        const RXCachedRegex& line = cache.lines[index];
        if (line.regexHash == hash && holdsPattern(line, regexString, options)) {
            useLine(cache, index, slot);
            return cache.last;
        }
    }

    const int index = set * CacheWays + victimWay(cache.replacement[set]);
    RXCachedRegex& line = cache.lines[index];
    if (cache.last == &line)
        cache.last = nullptr;
    releaseLine(line);
    if (quint64(regexString.size()) >= RXIntMax) {
        exception = platform::Exception(platform::Exception::RangeError, RegexTooLongReason);
        return nullptr;
    }
    // A literal or raw pattern may not outlive this call; only owned data is shared.
    line.regexString = regexString.data_ptr().isMutable()
        ? regexString
        : QString(regexString.constData(), regexString.size());
    line.regexHash = hash;
    line.options = options;

    UParseError parseError {};
    parseError.line = -1;
    UErrorCode status = U_ZERO_ERROR;
    line.icu_regex = uregex_open(
        unitsOf(line.regexString), int32_t(line.regexString.size()), options, &parseError, &status);
    if (U_FAILURE(status)) {
        releaseLine(line);
        cache.last = nullptr;
        if (error) {
            RXErrorFacts facts;
            facts.regexString = &regexString;
            facts.options = options;
            facts.parseError = &parseError;
            facts.status = status;
            *error = rx_makeError(facts, CompileErrorDescription);
        }
        return nullptr;
    }
    line.captureCount = uregex_groupCount(line.icu_regex, &status);
    rx_setTimeLimit(line.icu_regex, status);
    if (U_FAILURE(status)) {
        releaseLine(line);
        cache.last = nullptr;
        exception = rx_makeICUException(&regexString, options, status);
        return nullptr;
    }
    useLine(cache, index, slot);
    return &line;
}

void rx_setTimeLimit(URegularExpression* regex, UErrorCode& status)
{
    uregex_setTimeLimit(regex, RXMatchTimeLimit, &status);
}

bool rx_setCachedRegexToString(
    RXCachedRegex& cachedRegex, const QString& subject, RXRange range, UErrorCode& status)
{
    const qint64 length = subject.size();
    const quint64 hash = rx_stringHash(subject);
    // A held, owned string cannot change under us; literal and raw data is set up afresh.
    const bool sameSubject = cachedRegex.hasSubject && subject.data_ptr().isMutable()
        && isSamePointer(cachedRegex.setToString, subject) && cachedRegex.setToLength == length
        && cachedRegex.setToHash == hash;
    if (!sameSubject) {
        releaseSubject(cachedRegex);
        cachedRegex.setToString = subject;
        cachedRegex.hasSubject = true;
        cachedRegex.setToHash = hash;
        cachedRegex.setToLength = length;
        cachedRegex.setToUniChar = unitsOf(cachedRegex.setToString);
    }
    if (cachedRegex.setToRange != range) {
        cachedRegex.lastFindRange = RXNullRange;
        cachedRegex.lastMatchRange = RXNullRange;
        cachedRegex.setToRange = range;
        uregex_setText(cachedRegex.icu_regex, cachedRegex.setToUniChar + range.location,
            int32_t(range.length), &status);
        if (U_FAILURE(status)) {
            cachedRegex.setToRange = RXNullRange;
            return false;
        }
    }
    return true;
}

bool rx_search(RXCachedRegex& cachedRegex, RXRange& searchRange, bool advance, UErrorCode& status)
{
    const quint64 setToEnd = cachedRegex.setToRange.end();
    bool matched = false;
    if (searchRange == cachedRegex.lastFindRange
        && (cachedRegex.lastMatchRange.length != 0 || cachedRegex.lastMatchRange.isNull())) {
        matched = !cachedRegex.lastMatchRange.isNull();
    } else if (searchRange.location >= cachedRegex.setToRange.location
        && searchRange.end() <= setToEnd) {
        const int32_t start = int32_t(searchRange.location - cachedRegex.setToRange.location);
        cachedRegex.lastFindRange = searchRange;
        bool continues = false;
        if (!cachedRegex.lastMatchRange.isNull()) {
            quint64 next = cachedRegex.lastMatchRange.end();
            if (cachedRegex.lastMatchRange.length == 0 && next != setToEnd)
                ++next;
            continues = searchRange.location == next;
        }
        matched = continues ? uregex_findNext(cachedRegex.icu_regex, &status)
                            : uregex_find(cachedRegex.icu_regex, start, &status);
        if (matched && U_SUCCESS(status)) {
            const int32_t matchStart = uregex_start(cachedRegex.icu_regex, 0, &status);
            const int32_t matchEnd = uregex_end(cachedRegex.icu_regex, 0, &status);
            cachedRegex.lastMatchRange = U_SUCCESS(status)
                ? rx_rangeFromICU(cachedRegex, matchStart, matchEnd)
                : RXNullRange;
            const RXRange& match = cachedRegex.lastMatchRange;
            matched = !match.isNull() && match.location >= searchRange.location
                && match.end() <= searchRange.end();
        } else {
            matched = false;
        }
        if (!matched) {
            cachedRegex.lastFindRange = RXNullRange;
            cachedRegex.lastMatchRange = RXNullRange;
        }
    }

    if (!matched) {
        if (advance)
            searchRange = { searchRange.end(), 0 };
        return false;
    }
    if (advance) {
        quint64 next = cachedRegex.lastMatchRange.end();
        // Past an empty match by one unit, except at the very end.
        if (cachedRegex.lastMatchRange.length == 0 && next != setToEnd)
            ++next;
        const quint64 end = searchRange.end();
        searchRange = next >= end ? RXRange { end, 0 } : RXRange { next, end - next };
    }
    return true;
}

bool rx_findRanges(
    RXCachedRegex& cachedRegex, quint32 regexOp, RXFindAll& findAll, UErrorCode& status)
{
    const quint32 op = regexOp & RXOpMask;
    const qint64 groups = cachedRegex.captureCount;
    quint64 lastLocation = findAll.findInRange.location;
    RXRange searchRange = findAll.findInRange;
    size_t keep = 0;
    findAll.ranges.clear();
    findAll.found = 0;
    findAll.addedSplitRanges = 0;

    while (findAll.found < findAll.findUpTo) {
        bool matched = rx_search(cachedRegex, searchRange, true, status);
        if (op == RXSplitOp) {
            // An empty separator right where the last piece ended would make an empty piece.
            while (matched && U_SUCCESS(status) && cachedRegex.lastMatchRange.length == 0
                && cachedRegex.lastMatchRange.location == lastLocation)
                matched = rx_search(cachedRegex, searchRange, true, status);
        }
        if (!matched || U_FAILURE(status))
            break;

        const RXRange match = cachedRegex.lastMatchRange;
        const size_t firstOfPass = findAll.ranges.size();
        if (op == RXSplitOp) {
            findAll.ranges.push_back({ lastLocation, match.location - lastLocation });
            for (qint64 group = 1; group <= groups; ++group)
                findAll.ranges.push_back(groupRange(cachedRegex, group, status));
        } else if (op == RXMatchedStringsOp) {
            findAll.ranges.push_back(
                findAll.capture == 0 ? match : groupRange(cachedRegex, findAll.capture, status));
        } else {
            findAll.ranges.push_back(match);
            for (qint64 group = 1; group <= groups; ++group)
                findAll.ranges.push_back(groupRange(cachedRegex, group, status));
        }
        if (findAll.ranges[firstOfPass].length != 0)
            keep = findAll.ranges.size();
        lastLocation = match.end();
        ++findAll.found;
    }
    findAll.remainingRange = searchRange;
    findAll.lastLocation = lastLocation;

    if (op == RXSplitOp) {
        const quint64 end = findAll.findInRange.end();
        if (lastLocation < end) {
            findAll.ranges.push_back({ lastLocation, end - lastLocation });
            findAll.addedSplitRanges = 1;
            keep = findAll.ranges.size();
        }
        // Trailing empty pieces, and the separator groups after them, are dropped.
        findAll.ranges.resize(keep);
    }
    return U_FAILURE(status);
}

RXOpResult rx_performRegexOp(const RXCaller& caller, quint32 regexOp, const QString& regexString,
    RXRegexOptions options, qint64 capture, const QString& subject, RXRange matchRange,
    const QString* replacementString, platform::Error* error, const QString* keys,
    const int* captureKeyIndexes, qint64 keyCount, QString* mutableReceiver)
{
    using platform::Exception;
    if (error)
        *error = platform::Error();
    const quint32 op = regexOp & RXOpMask;
    if (regexString.isNull())
        rx_raiseDeferred(caller, Exception(Exception::InvalidArgument, RXRegexNullReason));
    if (op == RXReplaceAllOp && (!replacementString || replacementString->isNull()))
        rx_raiseDeferred(caller, Exception(Exception::InvalidArgument, ReplacementNullReason));
    if (op == RXCaptureDictionaryOp || op == RXCaptureDictionariesOp) {
        if (!keys)
            rx_raiseDeferred(caller, Exception(Exception::InvalidArgument, KeysNullReason));
        if (!captureKeyIndexes)
            rx_raiseDeferred(caller, Exception(Exception::InvalidArgument, CapturesNullReason));
    }
    rx_registerLowMemoryObserver();

    RXOpResult result;
    std::optional<Exception> exception;
    std::optional<QVariantMap> failure;
    UErrorCode status = U_ZERO_ERROR;
    const quint64 length = quint64(subject.size());
    if (matchRange.length == RXRangeToEnd && matchRange.location <= length)
        matchRange.length = length - matchRange.location;
    ReplaceOutcome replaced;
    {
        std::lock_guard lock(rx_cacheSpinLock);
        RXCachedRegex* cachedRegex = rx_getCachedRegex(regexString, options, error, exception);
        if (matchRange.location > length || matchRange.length > length - matchRange.location)
            exception = Exception(Exception::RangeError, RXRangeReason);
        else if (length >= RXIntMax)
            exception = Exception(Exception::RangeError, RXStringTooLongReason);
        else if (cachedRegex && (op == RXFirstRangeOp || op == RXMatchedStringsOp)
            && (capture < 0 || capture > cachedRegex->captureCount))
            exception = Exception(Exception::InvalidArgument, CaptureReason);
        else if (cachedRegex && (op == RXCaptureDictionaryOp || op == RXCaptureDictionariesOp)) {
            for (qint64 i = 0; i < keyCount && !exception; ++i) {
                if (keys[i].isNull())
                    exception = Exception(
                        Exception::InvalidArgument, CaptureKeyNullReason.arg(i + 1).arg(keyCount));
                else if (captureKeyIndexes[i] < 0
                    || captureKeyIndexes[i] > cachedRegex->captureCount)
                    exception = Exception(Exception::InvalidArgument,
                        CaptureKeyReason.arg(captureKeyIndexes[i])
                            .arg(i + 1)
                            .arg(keyCount)
                            .arg(keys[i]));
            }
        }
        if (op == RXNoOp || op > RXCaptureDictionariesOp)
            failure = rx_makeFailureDictionary(__func__, __FILE__, __LINE__, UnknownOpReason);

        if (cachedRegex && !exception && !failure) {
            if (!rx_setCachedRegexToString(*cachedRegex, subject, matchRange, status)) {
                failure = rx_makeFailureDictionary(__func__, __FILE__, __LINE__, BufferSetUpReason);
            } else if (op == RXReplaceAllOp) {
                replaced = rx_replaceString(*cachedRegex, *replacementString, status, exception);
                result.exists = replaced.exists;
                result.string = replaced.text;
                result.replacedCount = replaced.count;
                if (mutableReceiver && replaced.exists && replaced.count > 0) {
                    // The receiver is about to change: no line may keep its old characters,
                    // or writing to it would copy them.
                    flushSubjectLocked(subject, cachedRegex->setToLength, cachedRegex->setToHash);
                }
            } else if (op == RXFirstRangeOp) {
                RXRange searchRange = matchRange;
                result.exists = true;
                if (rx_search(*cachedRegex, searchRange, false, status)) {
                    result.range = capture == 0 ? cachedRegex->lastMatchRange
                                                : groupRange(*cachedRegex, capture, status);
                }
            } else {
                RXFindAll findAll;
                findAll.findInRange = matchRange;
                findAll.capture = capture;
                if (op == RXCapturesArrayOp || op == RXCaptureDictionaryOp)
                    findAll.findUpTo = 1;
                if (!rx_findRanges(*cachedRegex, regexOp, findAll, status)) {
                    result.exists = true;
                    const QString& text = cachedRegex->setToString;
                    const qint64 groups = cachedRegex->captureCount;
                    if (op == RXCaptureDictionaryOp || op == RXCaptureDictionariesOp) {
                        result.dictionaries = makeDictionaries(
                            text, findAll.ranges, groups, keys, captureKeyIndexes, keyCount);
                        if (op == RXCaptureDictionaryOp && !result.dictionaries.isEmpty())
                            result.dictionary = result.dictionaries.takeFirst();
                    } else if (regexOp & RXNestedArraysFlag) {
                        result.arrays = makeArrays(text, findAll.ranges, groups);
                    } else {
                        result.strings = makeStrings(text, findAll.ranges);
                    }
                }
            }
        }
    }

    if (U_FAILURE(status) && !exception && !failure)
        exception = rx_makeICUException(&regexString, options, status);
    if (exception)
        rx_raiseDeferred(caller, *exception);
    if (failure)
        rx_raiseDeferred(caller, *failure);

    if (op == RXReplaceAllOp && (regexOp & RXMutableReplaceFlag) && mutableReceiver
        && status == U_ZERO_ERROR && replaced.exists && replaced.count > 0)
        mutableReceiver->replace(
            qsizetype(matchRange.location), qsizetype(matchRange.length), replaced.text);

    if (status < U_ZERO_ERROR && !result.exists && error) {
        RXErrorFacts facts;
        facts.userInfoOptions = RXUserInfoSubjectRange;
        facts.regexString = &regexString;
        facts.options = options;
        facts.status = status;
        facts.subject = &subject;
        facts.range = matchRange;
        facts.replacementString = replacementString;
        if (op == RXReplaceAllOp) {
            facts.userInfoOptions |= RXUserInfoReplacedCount;
            facts.replacedCount = result.replacedCount;
        }
        *error = rx_makeError(facts, UnexpectedICUDescription);
    }
    return result;
}

bool rx_validateRegex(const RXCaller& caller, const QString& regexString, RXRegexOptions options,
    qint64* captureCount, platform::Error* error)
{
    if (error)
        *error = platform::Error();
    if (regexString.isNull())
        rx_raiseDeferred(
            caller, platform::Exception(platform::Exception::InvalidArgument, RXRegexNullReason));
    rx_registerLowMemoryObserver();
    std::optional<platform::Exception> exception;
    qint64 count = -1;
    {
        std::lock_guard lock(rx_cacheSpinLock);
        if (RXCachedRegex* cachedRegex = rx_getCachedRegex(regexString, options, error, exception))
            count = cachedRegex->captureCount;
    }
    if (exception)
        rx_raiseDeferred(caller, *exception);
    if (captureCount)
        *captureCount = count;
    return count >= 0;
}

void rx_clearCachesLocked()
{
    RXCacheTables& cache = tables();
    cache.last = nullptr;
    for (RXCachedRegex& line : cache.lines)
        releaseLine(line);
}

void rx_flushCachedRegexData(const QString& string)
{
    const qint64 length = string.size();
    const quint64 hash = rx_stringHash(string);
    std::lock_guard lock(rx_cacheSpinLock);
    flushSubjectLocked(string, length, hash);
}
