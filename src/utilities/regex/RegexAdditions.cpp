#include "utilities/regex/RegexAdditions.h"

#include "utilities/regex/RXBlockEnumerationHelper.h"
#include "utilities/regex/RegexEngine.h"

namespace RegexAdditions {

namespace {

const RXCaller Caller = { "QString", "replaceOccurrencesOfRegex", false };

} // namespace

qint64 replaceOccurrencesOfRegex(QString& string, const QString& regex, const QString& withString)
{
    return replaceOccurrencesOfRegex(string, regex, withString, 0, RXWholeRange, nullptr);
}

qint64 replaceOccurrencesOfRegex(
    QString& string, const QString& regex, const QString& withString, RXRange range)
{
    return replaceOccurrencesOfRegex(string, regex, withString, 0, range, nullptr);
}

qint64 replaceOccurrencesOfRegex(QString& string, const QString& regex, const QString& withString,
    RXRegexOptions options, RXRange range, platform::Error* error)
{
    const RXOpResult result = rx_performRegexOp(Caller, RXReplaceAllOp | RXMutableReplaceFlag,
        regex, options, 0, string, range, &withString, error, nullptr, nullptr, 0, &string);
    return result.exists ? result.replacedCount : -1;
}

qint64 replaceOccurrencesOfRegex(
    QString& string, const QString& regex, const RXReplaceBlock& usingBlock)
{
    return replaceOccurrencesOfRegex(
        string, regex, 0, RXWholeRange, nullptr, RXRegexEnumerationNoOptions, usingBlock);
}

qint64 replaceOccurrencesOfRegex(QString& string, const QString& regex, RXRegexOptions options,
    RXRange inRange, platform::Error* error, RXRegexEnumerationOptions enumerationOptions,
    const RXReplaceBlock& usingBlock)
{
    RXEnumerationOutcome outcome
        = rx_performEnumerationUsingBlock(Caller, RXCapturesArrayOp, regex, options, string,
            inRange, RXBlockEnumerationReplaceOp, enumerationOptions, error, nullptr, &usingBlock);
    if (!outcome.errorFree)
        return -1;
    if (outcome.callCount > 0) {
        // The range was checked against the string as it was; the block may have changed it
        // since, so resolve it again against the present length.
        const quint64 length = quint64(string.size());
        quint64 location = qMin(inRange.location, length);
        quint64 rangeLength = inRange.length == RXRangeToEnd
            ? length - location
            : qMin(inRange.length, length - location);
        // No cached line may keep the old characters, or the write would copy them.
        rx_flushCachedRegexData(string);
        string.replace(qsizetype(location), qsizetype(rangeLength), outcome.replaced);
    }
    return outcome.callCount;
}

} // namespace RegexAdditions
