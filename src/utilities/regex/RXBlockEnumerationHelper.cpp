#include "utilities/regex/RXBlockEnumerationHelper.h"

#include "utilities/regex/RegexErrors.h"

#include <limits>

namespace {

constexpr RXRegexEnumerationOptions KnownOptions = RXRegexEnumerationCapturedStringsNotRequired
    | RXRegexEnumerationConsumeReplacement | RXRegexEnumerationReuseCapturedStrings;

const QString OptionsReason
    = QStringLiteral("The RXRegexEnumerationOptions argument is not valid.");
const QString UnexpectedDescription = QStringLiteral("An unexpected error occurred.");
const QString NotSatisfying = QStringLiteral("Invalid parameter not satisfying: %1");

bool validOptions(RXRegexEnumerationOptions options, RXBlockEnumerationOp kind)
{
    if (options & ~KnownOptions)
        return false;
    if ((options & RXRegexEnumerationCapturedStringsNotRequired)
        && (options & RXRegexEnumerationReuseCapturedStrings))
        return false;
    return !((options & RXRegexEnumerationConsumeReplacement) && kind == RXBlockEnumerationMatchOp);
}

QString pieceOf(const QString& snapshot, RXRange range)
{
    static const QString empty = QStringLiteral("");
    if (range.isNull() || range.length == 0)
        return empty;
    return snapshot.mid(qsizetype(range.location), qsizetype(range.length));
}

// Points into the snapshot without copying; valid while the snapshot lives.
QString rawPieceOf(const QString& snapshot, RXRange range)
{
    if (range.isNull() || range.length == 0)
        return QString::fromRawData(snapshot.constData(), 0);
    return QString::fromRawData(snapshot.constData() + range.location, qsizetype(range.length));
}

} // namespace

RXBlockEnumerationHelper::~RXBlockEnumerationHelper()
{
    if (cachedRegex.icu_regex)
        uregex_close(cachedRegex.icu_regex);
}

std::unique_ptr<RXBlockEnumerationHelper> RXBlockEnumerationHelper::initWithRegex(
    const QString& regex, RXRegexOptions options, const QString& string, RXRange range,
    platform::Error* error, std::optional<platform::Exception>& exception)
{
    std::unique_ptr<RXBlockEnumerationHelper> helper(new RXBlockEnumerationHelper);
    RXCachedRegex& record = helper->cachedRegex;
    UErrorCode status = U_ZERO_ERROR;
    {
        std::lock_guard lock(rx_cacheSpinLock);
        RXCachedRegex* cached = rx_getCachedRegex(regex, options, error, exception);
        if (!cached)
            return nullptr;
        record.icu_regex = uregex_clone(cached->icu_regex, &status);
        // A clone starts without the original's time limit.
        rx_setTimeLimit(record.icu_regex, status);
        record.regexString = cached->regexString;
        record.regexHash = cached->regexHash;
        record.options = cached->options;
        record.captureCount = cached->captureCount;
    }
    if (U_FAILURE(status)) {
        exception = rx_makeICUException(&regex, options, status);
        return nullptr;
    }

    // The snapshot shares owned characters (a later change to the string copies on its
    // side); literal or raw characters are copied, since their owner may change them.
    if (string.data_ptr().isMutable()) {
        helper->buffer = string;
    } else {
        helper->buffer = QString(string.constData(), string.size());
        helper->needToFreeBufferUniChar = true;
    }
    record.setToString = helper->buffer;
    record.hasSubject = true;
    record.setToHash = rx_stringHash(helper->buffer);
    record.setToLength = helper->buffer.size();
    record.setToUniChar = reinterpret_cast<const UChar*>(helper->buffer.constData());
    record.lastFindRange = RXNullRange;
    record.lastMatchRange = RXNullRange;
    record.setToRange = range;
    uregex_setText(
        record.icu_regex, record.setToUniChar + range.location, int32_t(range.length), &status);
    if (U_FAILURE(status)) {
        exception = rx_makeICUException(&regex, options, status);
        return nullptr;
    }
    if (status < U_ZERO_ERROR && error) {
        RXErrorFacts facts;
        facts.regexString = &regex;
        facts.options = options;
        facts.status = status;
        facts.subject = &string;
        *error = rx_makeError(facts);
        return nullptr;
    }
    return helper;
}

RXEnumerationOutcome rx_performEnumerationUsingBlock(const RXCaller& caller, quint32 regexOp,
    const QString& regexString, RXRegexOptions options, const QString& subject, RXRange matchRange,
    RXBlockEnumerationOp blockEnumerationOp, RXRegexEnumerationOptions enumerationOptions,
    platform::Error* error, const RXMatchBlock* matchBlock, const RXReplaceBlock* replaceBlock)
{
    using platform::Exception;
    if (error)
        *error = platform::Error();
    if (!validOptions(enumerationOptions, blockEnumerationOp))
        rx_raiseDeferred(caller, Exception(Exception::InvalidArgument, OptionsReason));
    const quint64 length = quint64(subject.size());
    if (matchRange.length == RXRangeToEnd && matchRange.location <= length)
        matchRange.length = length - matchRange.location;
    if (matchRange.location > length || matchRange.length > length - matchRange.location)
        rx_raiseDeferred(caller, Exception(Exception::RangeError, RXRangeReason));
    if (length >= RXIntMax)
        rx_raiseDeferred(caller, Exception(Exception::RangeError, RXStringTooLongReason));
    if (regexString.isNull())
        rx_raiseDeferred(caller, Exception(Exception::InvalidArgument, RXRegexNullReason));
    const quint32 op = regexOp & RXOpMask;
    const bool matchKind = blockEnumerationOp == RXBlockEnumerationMatchOp
        && (op == RXCapturesArrayOp || op == RXSplitOp) && matchBlock && *matchBlock
        && !replaceBlock;
    const bool replaceKind = blockEnumerationOp == RXBlockEnumerationReplaceOp
        && op == RXCapturesArrayOp && !matchBlock && replaceBlock && *replaceBlock;
    if (!matchKind && !replaceKind)
        rx_raiseDeferred(caller,
            rx_makeFailureDictionary(__func__, __FILE__, __LINE__,
                NotSatisfying.arg("the block fits the kind of enumeration")));
    rx_registerLowMemoryObserver();

    RXEnumerationOutcome outcome;
    std::optional<Exception> exception;
    std::unique_ptr<RXBlockEnumerationHelper> helper = RXBlockEnumerationHelper::initWithRegex(
        regexString, options, subject, matchRange, error, exception);
    if (exception)
        rx_raiseDeferred(caller, *exception);
    if (!helper)
        return outcome;

    RXCachedRegex& record = helper->cachedRegex;
    const QString& snapshot = helper->buffer;
    const bool makeStrings = !(enumerationOptions & RXRegexEnumerationCapturedStringsNotRequired);
    const bool reuseStrings = enumerationOptions & RXRegexEnumerationReuseCapturedStrings;
    QString result;
    std::vector<QString> strings(size_t(record.captureCount + 2));
    UErrorCode status = U_ZERO_ERROR;
    qint64 calls = 0;
    quint64 previousEnd = matchRange.location;
    RXFindAll findAll;
    findAll.findInRange = matchRange;
    findAll.findUpTo = 1;
    bool stop = false;

    while (!stop) {
        if (rx_findRanges(record, regexOp, findAll, status) || findAll.ranges.empty())
            break;
        const std::vector<RXRange>& ranges = findAll.ranges;
        qint64 count = qint64(ranges.size()) - findAll.addedSplitRanges;
        if (count < 1)
            count = 1; // the last piece of a split, on its own
        if (replaceKind)
            result.append(
                snapshot.constData() + previousEnd, qsizetype(ranges[0].location - previousEnd));
        if (makeStrings) {
            for (qint64 i = 0; i < count; ++i) {
                strings[size_t(i)] = reuseStrings ? rawPieceOf(snapshot, ranges[size_t(i)])
                                                  : pieceOf(snapshot, ranges[size_t(i)]);
            }
        }
        const QString* captured = makeStrings ? strings.data() : nullptr;
        if (replaceKind)
            result.append((*replaceBlock)(count, captured, ranges.data(), &stop));
        else
            (*matchBlock)(count, captured, ranges.data(), &stop);
        ++calls;
        previousEnd = ranges[0].end();
        // The next piece starts where this separator ended; after an empty separator the
        // remaining range has already moved one unit on, which would drop that unit.
        if (op == RXSplitOp && findAll.found > 0)
            findAll.findInRange = { findAll.lastLocation, matchRange.end() - findAll.lastLocation };
        else
            findAll.findInRange = findAll.remainingRange;
    }

    if (U_FAILURE(status)) {
        // An ICU failure part-way is a failed enumeration, not a short one.
        if (error && error->isNull()) {
            RXErrorFacts facts;
            facts.userInfoOptions = RXUserInfoSubjectRange | RXUserInfoEnumerationOptions;
            facts.regexString = &regexString;
            facts.options = options;
            facts.status = status;
            facts.subject = &snapshot;
            facts.range = matchRange;
            facts.enumerationOptions = enumerationOptions;
            if (replaceKind) {
                facts.userInfoOptions |= RXUserInfoReplacedCount;
                facts.replacedCount = calls;
            }
            *error = rx_makeError(facts, UnexpectedDescription);
        }
        return outcome;
    }

    if (replaceKind) {
        if (calls == 0) {
            result = snapshot.mid(qsizetype(matchRange.location), qsizetype(matchRange.length));
        } else {
            result.append(
                snapshot.constData() + previousEnd, qsizetype(matchRange.end() - previousEnd));
        }
        outcome.exists = true;
        outcome.replaced = result;
    }
    outcome.callCount = calls;
    outcome.errorFree = true;
    return outcome;
}
