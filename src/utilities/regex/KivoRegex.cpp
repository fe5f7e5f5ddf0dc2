#include "utilities/regex/KivoRegex.h"

#include "utilities/regex/RXBlockEnumerationHelper.h"
#include "utilities/regex/RegexEngine.h"

namespace KivoRegex {

namespace {

constexpr const char* ReceiverClass = "QString";
constexpr qsizetype MaximumKeys = 62;

RXCaller instance(const char* selector)
{
    return { ReceiverClass, selector, false };
}

// Keys and capture numbers read pair by pair, up to a null key or the limit.
struct KeyList {
    QList<QString> keys;
    QList<int> captures;

    explicit KeyList(const KeysAndCaptures& pairs)
    {
        for (const auto& [key, capture] : pairs) {
            if (key.isNull() || keys.size() >= MaximumKeys)
                break;
            keys.append(key);
            captures.append(capture);
        }
    }

    // An empty list is still a list: only a missing argument counts as NULL.
    const QString* keyData() const { return keys.isEmpty() ? &NoKey : keys.constData(); }
    const int* captureData() const
    {
        return captures.isEmpty() ? &NoCapture : captures.constData();
    }

    static inline const QString NoKey;
    static constexpr int NoCapture = 0;
};

template<typename T> std::optional<T> existing(const RXOpResult& result, T value)
{
    if (!result.exists)
        return std::nullopt;
    return value;
}

std::optional<QVariantMap> dictionary(const char* selector, const QString& string,
    const QString& regex, RXRegexOptions options, RXRange range, platform::Error* error,
    const QString* keys, const int* captures, qint64 count)
{
    const RXOpResult result = rx_performRegexOp(instance(selector), RXCaptureDictionaryOp, regex,
        options, 0, string, range, nullptr, error, keys, captures, count);
    return existing(result, result.dictionary);
}

std::optional<QList<QVariantMap>> dictionaries(const char* selector, const QString& string,
    const QString& regex, RXRegexOptions options, RXRange range, platform::Error* error,
    const QString* keys, const int* captures, qint64 count)
{
    const RXOpResult result = rx_performRegexOp(instance(selector), RXCaptureDictionariesOp, regex,
        options, 0, string, range, nullptr, error, keys, captures, count);
    return existing(result, result.dictionaries);
}

} // namespace

qint64 captureCountForRegex(const QString& regex)
{
    return captureCountForRegex(regex, 0, nullptr);
}

qint64 captureCountForRegex(const QString& regex, RXRegexOptions options, platform::Error* error)
{
    qint64 count = -1;
    if (!rx_validateRegex(
            { ReceiverClass, "captureCountForRegex", true }, regex, options, &count, error))
        return -1;
    return count;
}

qint64 captureCount(const QString& string)
{
    return captureCountWithOptions(string, 0, nullptr);
}

qint64 captureCountWithOptions(
    const QString& string, RXRegexOptions options, platform::Error* error)
{
    qint64 count = -1;
    if (!rx_validateRegex(instance("captureCountWithOptions"), string, options, &count, error))
        return -1;
    return count;
}

bool isRegexValid(const QString& string)
{
    return isRegexValidWithOptions(string, 0, nullptr);
}

bool isRegexValidWithOptions(const QString& string, RXRegexOptions options, platform::Error* error)
{
    return rx_validateRegex(instance("isRegexValidWithOptions"), string, options, nullptr, error);
}

bool isMatchedByRegex(const QString& string, const QString& regex)
{
    return isMatchedByRegex(string, regex, 0, RXWholeRange, nullptr);
}

bool isMatchedByRegex(const QString& string, const QString& regex, RXRange inRange)
{
    return isMatchedByRegex(string, regex, 0, inRange, nullptr);
}

bool isMatchedByRegex(const QString& string, const QString& regex, RXRegexOptions options,
    RXRange inRange, platform::Error* error)
{
    const RXOpResult result = rx_performRegexOp(instance("isMatchedByRegex"), RXFirstRangeOp, regex,
        options, 0, string, inRange, nullptr, error);
    return result.range.location != RXNotFound;
}

RXRange rangeOfRegex(const QString& string, const QString& regex)
{
    return rangeOfRegex(string, regex, 0, RXWholeRange, 0, nullptr);
}

RXRange rangeOfRegex(const QString& string, const QString& regex, qint64 capture)
{
    return rangeOfRegex(string, regex, 0, RXWholeRange, capture, nullptr);
}

RXRange rangeOfRegex(const QString& string, const QString& regex, RXRange inRange)
{
    return rangeOfRegex(string, regex, 0, inRange, 0, nullptr);
}

RXRange rangeOfRegex(const QString& string, const QString& regex, RXRegexOptions options,
    RXRange inRange, qint64 capture, platform::Error* error)
{
    return rx_performRegexOp(instance("rangeOfRegex"), RXFirstRangeOp, regex, options, capture,
        string, inRange, nullptr, error)
        .range;
}

std::optional<QString> stringByMatching(const QString& string, const QString& regex)
{
    return stringByMatching(string, regex, 0, RXWholeRange, 0, nullptr);
}

std::optional<QString> stringByMatching(const QString& string, const QString& regex, qint64 capture)
{
    return stringByMatching(string, regex, 0, RXWholeRange, capture, nullptr);
}

std::optional<QString> stringByMatching(
    const QString& string, const QString& regex, RXRange inRange)
{
    return stringByMatching(string, regex, 0, inRange, 0, nullptr);
}

std::optional<QString> stringByMatching(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange inRange, qint64 capture, platform::Error* error)
{
    const RXRange range = rx_performRegexOp(instance("stringByMatching"), RXFirstRangeOp, regex,
        options, capture, string, inRange, nullptr, error)
                              .range;
    if (range.location == RXNotFound)
        return std::nullopt;
    if (range.length == 0)
        return QStringLiteral("");
    return string.mid(qsizetype(range.location), qsizetype(range.length));
}

std::optional<QStringList> componentsSeparatedByRegex(const QString& string, const QString& regex)
{
    return componentsSeparatedByRegex(string, regex, 0, RXWholeRange, nullptr);
}

std::optional<QStringList> componentsSeparatedByRegex(
    const QString& string, const QString& regex, RXRange range)
{
    return componentsSeparatedByRegex(string, regex, 0, range, nullptr);
}

std::optional<QStringList> componentsSeparatedByRegex(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange range, platform::Error* error)
{
    const RXOpResult result = rx_performRegexOp(instance("componentsSeparatedByRegex"), RXSplitOp,
        regex, options, 0, string, range, nullptr, error);
    return existing(result, result.strings);
}

std::optional<QStringList> componentsMatchedByRegex(const QString& string, const QString& regex)
{
    return componentsMatchedByRegex(string, regex, 0, RXWholeRange, 0, nullptr);
}

std::optional<QStringList> componentsMatchedByRegex(
    const QString& string, const QString& regex, qint64 capture)
{
    return componentsMatchedByRegex(string, regex, 0, RXWholeRange, capture, nullptr);
}

std::optional<QStringList> componentsMatchedByRegex(
    const QString& string, const QString& regex, RXRange range)
{
    return componentsMatchedByRegex(string, regex, 0, range, 0, nullptr);
}

std::optional<QStringList> componentsMatchedByRegex(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange range, qint64 capture, platform::Error* error)
{
    const RXOpResult result = rx_performRegexOp(instance("componentsMatchedByRegex"),
        RXMatchedStringsOp, regex, options, capture, string, range, nullptr, error);
    return existing(result, result.strings);
}

std::optional<QStringList> captureComponentsMatchedByRegex(
    const QString& string, const QString& regex)
{
    return captureComponentsMatchedByRegex(string, regex, 0, RXWholeRange, nullptr);
}

std::optional<QStringList> captureComponentsMatchedByRegex(
    const QString& string, const QString& regex, RXRange range)
{
    return captureComponentsMatchedByRegex(string, regex, 0, range, nullptr);
}

std::optional<QStringList> captureComponentsMatchedByRegex(const QString& string,
    const QString& regex, RXRegexOptions options, RXRange range, platform::Error* error)
{
    const RXOpResult result = rx_performRegexOp(instance("captureComponentsMatchedByRegex"),
        RXCapturesArrayOp, regex, options, 0, string, range, nullptr, error);
    return existing(result, result.strings);
}

std::optional<QList<QStringList>> arrayOfCaptureComponentsMatchedByRegex(
    const QString& string, const QString& regex)
{
    return arrayOfCaptureComponentsMatchedByRegex(string, regex, 0, RXWholeRange, nullptr);
}

std::optional<QList<QStringList>> arrayOfCaptureComponentsMatchedByRegex(
    const QString& string, const QString& regex, RXRange range)
{
    return arrayOfCaptureComponentsMatchedByRegex(string, regex, 0, range, nullptr);
}

std::optional<QList<QStringList>> arrayOfCaptureComponentsMatchedByRegex(const QString& string,
    const QString& regex, RXRegexOptions options, RXRange range, platform::Error* error)
{
    const RXOpResult result = rx_performRegexOp(instance("arrayOfCaptureComponentsMatchedByRegex"),
        RXAllCapturesOp | RXNestedArraysFlag, regex, options, 0, string, range, nullptr, error);
    return existing(result, result.arrays);
}

std::optional<QVariantMap> dictionaryByMatchingRegex(
    const QString& string, const QString& regex, const KeysAndCaptures& withKeysAndCaptures)
{
    return dictionaryByMatchingRegex(string, regex, 0, RXWholeRange, nullptr, withKeysAndCaptures);
}

std::optional<QVariantMap> dictionaryByMatchingRegex(const QString& string, const QString& regex,
    RXRange range, const KeysAndCaptures& withKeysAndCaptures)
{
    return dictionaryByMatchingRegex(string, regex, 0, range, nullptr, withKeysAndCaptures);
}

std::optional<QVariantMap> dictionaryByMatchingRegex(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange range, platform::Error* error,
    const KeysAndCaptures& withKeysAndCaptures)
{
    const KeyList list(withKeysAndCaptures);
    return dictionary("dictionaryByMatchingRegex", string, regex, options, range, error,
        list.keyData(), list.captureData(), list.keys.size());
}

std::optional<QVariantMap> dictionaryByMatchingRegex(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange range, platform::Error* error, const QString* withKeys,
    const int* forCaptures, qint64 count)
{
    return dictionary("dictionaryByMatchingRegex", string, regex, options, range, error, withKeys,
        forCaptures, count);
}

std::optional<QList<QVariantMap>> arrayOfDictionariesByMatchingRegex(
    const QString& string, const QString& regex, const KeysAndCaptures& withKeysAndCaptures)
{
    return arrayOfDictionariesByMatchingRegex(
        string, regex, 0, RXWholeRange, nullptr, withKeysAndCaptures);
}

std::optional<QList<QVariantMap>> arrayOfDictionariesByMatchingRegex(const QString& string,
    const QString& regex, RXRange range, const KeysAndCaptures& withKeysAndCaptures)
{
    return arrayOfDictionariesByMatchingRegex(
        string, regex, 0, range, nullptr, withKeysAndCaptures);
}

std::optional<QList<QVariantMap>> arrayOfDictionariesByMatchingRegex(const QString& string,
    const QString& regex, RXRegexOptions options, RXRange range, platform::Error* error,
    const KeysAndCaptures& withKeysAndCaptures)
{
    const KeyList list(withKeysAndCaptures);
    return dictionaries("arrayOfDictionariesByMatchingRegex", string, regex, options, range, error,
        list.keyData(), list.captureData(), list.keys.size());
}

std::optional<QList<QVariantMap>> arrayOfDictionariesByMatchingRegex(const QString& string,
    const QString& regex, RXRegexOptions options, RXRange range, platform::Error* error,
    const QString* withKeys, const int* forCaptures, qint64 count)
{
    return dictionaries("arrayOfDictionariesByMatchingRegex", string, regex, options, range, error,
        withKeys, forCaptures, count);
}

std::optional<QString> stringByReplacingOccurrencesOfRegex(
    const QString& string, const QString& regex, const QString& withString)
{
    return stringByReplacingOccurrencesOfRegex(string, regex, withString, 0, RXWholeRange, nullptr);
}

std::optional<QString> stringByReplacingOccurrencesOfRegex(
    const QString& string, const QString& regex, const QString& withString, RXRange range)
{
    return stringByReplacingOccurrencesOfRegex(string, regex, withString, 0, range, nullptr);
}

std::optional<QString> stringByReplacingOccurrencesOfRegex(const QString& string,
    const QString& regex, const QString& withString, RXRegexOptions options, RXRange range,
    platform::Error* error)
{
    const RXOpResult result = rx_performRegexOp(instance("stringByReplacingOccurrencesOfRegex"),
        RXReplaceAllOp, regex, options, 0, string, range, &withString, error);
    return existing(result, result.string);
}

bool enumerateStringsMatchedByRegex(
    const QString& string, const QString& regex, const RXMatchBlock& usingBlock)
{
    return enumerateStringsMatchedByRegex(
        string, regex, 0, RXWholeRange, nullptr, RXRegexEnumerationNoOptions, usingBlock);
}

bool enumerateStringsMatchedByRegex(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange inRange, platform::Error* error,
    RXRegexEnumerationOptions enumerationOptions, const RXMatchBlock& usingBlock)
{
    return rx_performEnumerationUsingBlock(instance("enumerateStringsMatchedByRegex"),
        RXCapturesArrayOp, regex, options, string, inRange, RXBlockEnumerationMatchOp,
        enumerationOptions, error, &usingBlock, nullptr)
        .errorFree;
}

bool enumerateStringsSeparatedByRegex(
    const QString& string, const QString& regex, const RXMatchBlock& usingBlock)
{
    return enumerateStringsSeparatedByRegex(
        string, regex, 0, RXWholeRange, nullptr, RXRegexEnumerationNoOptions, usingBlock);
}

bool enumerateStringsSeparatedByRegex(const QString& string, const QString& regex,
    RXRegexOptions options, RXRange inRange, platform::Error* error,
    RXRegexEnumerationOptions enumerationOptions, const RXMatchBlock& usingBlock)
{
    return rx_performEnumerationUsingBlock(instance("enumerateStringsSeparatedByRegex"), RXSplitOp,
        regex, options, string, inRange, RXBlockEnumerationMatchOp, enumerationOptions, error,
        &usingBlock, nullptr)
        .errorFree;
}

std::optional<QString> stringByReplacingOccurrencesOfRegex(
    const QString& string, const QString& regex, const RXReplaceBlock& usingBlock)
{
    return stringByReplacingOccurrencesOfRegex(
        string, regex, 0, RXWholeRange, nullptr, RXRegexEnumerationNoOptions, usingBlock);
}

std::optional<QString> stringByReplacingOccurrencesOfRegex(const QString& string,
    const QString& regex, RXRegexOptions options, RXRange inRange, platform::Error* error,
    RXRegexEnumerationOptions enumerationOptions, const RXReplaceBlock& usingBlock)
{
    const RXEnumerationOutcome outcome = rx_performEnumerationUsingBlock(
        instance("stringByReplacingOccurrencesOfRegex"), RXCapturesArrayOp, regex, options, string,
        inRange, RXBlockEnumerationReplaceOp, enumerationOptions, error, nullptr, &usingBlock);
    if (!outcome.exists)
        return std::nullopt;
    return outcome.replaced;
}

void clearStringCache()
{
    std::lock_guard lock(rx_cacheSpinLock);
    rx_clearCachesLocked();
}

void flushCachedRegexData(const QString& string)
{
    rx_flushCachedRegexData(string);
}

} // namespace KivoRegex
