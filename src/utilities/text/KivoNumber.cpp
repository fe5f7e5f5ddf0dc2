#include "utilities/text/KivoNumber.h"

#include "utilities/text/LocaleBound.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <utility>

namespace KivoNumber {

namespace {

FormatterCache& decimalCache()
{
    thread_local LocaleBound<FormatterCache> cache;
    return cache.get();
}

FormatterCache& currencyCache()
{
    thread_local LocaleBound<FormatterCache> cache;
    return cache.get();
}

bool isDigitPlaceholder(QChar c)
{
    return c == QLatin1Char('#') || c == QLatin1Char('0');
}

} // namespace

QString getFormat(const QString& pattern)
{
    const QStringList parts = pattern.split(QLatin1Char('.'));
    QString integerPart = parts.first();
    integerPart.replace(QLatin1Char('0'), QLatin1Char('#'));
    // The last digit placeholder becomes the one compulsory digit; a sign or symbol after
    // the digits stays in place.
    for (qsizetype i = integerPart.size() - 1; i >= 0; --i) {
        if (isDigitPlaceholder(integerPart.at(i))) {
            integerPart[i] = QLatin1Char('0');
            break;
        }
    }
    QString result = integerPart;
    if (parts.size() > 1) {
        QString fraction = parts.at(1);
        fraction.replace(QLatin1Char('#'), QLatin1Char('0'));
        result += QLatin1Char('.') + fraction;
    }
    return result;
}

const IcuNumberFormatter& getFormatter(
    FormatterCache& cache, unsigned decimals, IcuNumberFormatter::Style style)
{
    decimals = std::min(decimals, MaximumDecimals);
    const QString key = QString::number(decimals);
    auto found = cache.find(key);
    if (found != cache.end())
        return *found->second;
    auto formatter = std::make_unique<IcuNumberFormatter>(style);
    formatter->setMaximumFractionDigits(int(decimals));
    formatter->setFormats(
        getFormat(formatter->positiveFormat()), getFormat(formatter->negativeFormat()));
    return *cache.emplace(key, std::move(formatter)).first->second;
}

const IcuNumberFormatter& getNumberFormatterWithDecimal(unsigned decimals)
{
    return getFormatter(decimalCache(), decimals, IcuNumberFormatter::Decimal);
}

const IcuNumberFormatter& getCurrencyFormatterWithDecimal(unsigned decimals)
{
    return getFormatter(currencyCache(), decimals, IcuNumberFormatter::Currency);
}

namespace {

// The texts each thread's formatters wrote last, by decimals and the value's bits: a column
// of counts or prices shows the same few numbers over and over, and a kept formatter
// writes a number the same way every time.
using NumberTexts = QHash<std::pair<unsigned, quint64>, QString>;

QString memoized(
    NumberTexts& texts, const IcuNumberFormatter& formatter, double value, unsigned decimals)
{
    const std::pair key { std::min(decimals, MaximumDecimals), std::bit_cast<quint64>(value) };
    auto found = texts.constFind(key);
    if (found != texts.constEnd())
        return *found;
    // Kept within bounds: a column of numbers that never come back fills it again.
    constexpr qsizetype kMemoSize = 16384;
    if (texts.size() >= kMemoSize)
        texts.clear();
    const QString text = formatter.stringFromNumber(value);
    texts.insert(key, text);
    return text;
}

// Numbers below this have their whole digits counted exactly in a 64-bit integer.
constexpr double kBoundedBelow = 1e15;
constexpr size_t kMostWholeDigits = 16;

// By whole digits (1 to 16): the longest text of a positive number with at most that many,
// and of a number of either sign (a negative one may round to a zero written either way).
// A form writes every number of n whole digits and one sign in as many units: its digits,
// its fixed decimals, the separators n digits take and the sign's fixed text around them.
struct LongestTexts {
    std::array<qsizetype, kMostWholeDigits + 1> positive {};
    std::array<qsizetype, kMostWholeDigits + 1> anySign {};
};

std::optional<qsizetype> lengthBound(std::map<unsigned, LongestTexts>& longest,
    const IcuNumberFormatter& formatter, double value, unsigned decimals)
{
    const double magnitude = std::fabs(value);
    if (!std::isfinite(value) || magnitude >= kBoundedBelow)
        return std::nullopt;
    // Rounding to the decimals gives at most the whole part plus one.
    quint64 whole = quint64(magnitude) + 1;
    int digits = 1;
    while (whole >= 10) {
        whole /= 10;
        ++digits;
    }
    decimals = std::min(decimals, MaximumDecimals);
    auto found = longest.find(decimals);
    if (found == longest.end()) {
        LongestTexts texts;
        double power = 1;
        for (size_t n = 1; n <= kMostWholeDigits; ++n, power *= 10) {
            const qsizetype positive = formatter.stringFromNumber(power).size();
            const qsizetype negative = formatter.stringFromNumber(-power).size();
            texts.positive[n] = std::max(texts.positive[n - 1], positive);
            texts.anySign[n] = std::max({ texts.anySign[n - 1], positive, negative });
        }
        found = longest.emplace(decimals, texts).first;
    }
    const auto& texts = std::signbit(value) ? found->second.anySign : found->second.positive;
    return texts[size_t(digits)];
}

} // namespace

QString getStringWithDecimal(double value, unsigned decimals)
{
    thread_local LocaleBound<NumberTexts> texts;
    return memoized(texts.get(), getNumberFormatterWithDecimal(decimals), value, decimals);
}

QString getCurrencyWithDecimal(double value, unsigned decimals)
{
    thread_local LocaleBound<NumberTexts> texts;
    return memoized(texts.get(), getCurrencyFormatterWithDecimal(decimals), value, decimals);
}

std::optional<qsizetype> getStringLengthBound(double value, unsigned decimals)
{
    thread_local LocaleBound<std::map<unsigned, LongestTexts>> longest;
    return lengthBound(longest.get(), getNumberFormatterWithDecimal(decimals), value, decimals);
}

std::optional<qsizetype> getCurrencyLengthBound(double value, unsigned decimals)
{
    thread_local LocaleBound<std::map<unsigned, LongestTexts>> longest;
    return lengthBound(longest.get(), getCurrencyFormatterWithDecimal(decimals), value, decimals);
}

QString getCurrencySymbol()
{
    return getCurrencyFormatterWithDecimal(0).currencySymbol();
}

} // namespace KivoNumber
