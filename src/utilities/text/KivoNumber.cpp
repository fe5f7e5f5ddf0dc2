#include "utilities/text/KivoNumber.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <bit>
#include <utility>

namespace KivoNumber {

namespace {

FormatterCache& decimalCache()
{
    thread_local FormatterCache cache;
    return cache;
}

FormatterCache& currencyCache()
{
    thread_local FormatterCache cache;
    return cache;
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

} // namespace

QString getStringWithDecimal(double value, unsigned decimals)
{
    thread_local NumberTexts texts;
    return memoized(texts, getNumberFormatterWithDecimal(decimals), value, decimals);
}

QString getCurrencyWithDecimal(double value, unsigned decimals)
{
    thread_local NumberTexts texts;
    return memoized(texts, getCurrencyFormatterWithDecimal(decimals), value, decimals);
}

QString getCurrencySymbol()
{
    return getCurrencyFormatterWithDecimal(0).currencySymbol();
}

} // namespace KivoNumber
