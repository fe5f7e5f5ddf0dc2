#pragma once

#include "utilities/text/IcuNumberFormatter.h"

#include <QString>

#include <map>
#include <memory>
#include <optional>

// Numbers as decimal and currency texts with an exact number of decimals. Formatters are
// made once per number of decimals, style and thread, and kept.
namespace KivoNumber {

// Formatters keyed by their number of decimals written as unsigned decimal text.
using FormatterCache = std::map<QString, std::unique_ptr<IcuNumberFormatter>>;

// Decimals beyond this are written as this many.
inline constexpr unsigned MaximumDecimals = 20;

// The value in the locale's decimal form with exactly `decimals` decimals, grouping kept.
QString getStringWithDecimal(double value, unsigned decimals);
// The same in the locale's currency form.
QString getCurrencyWithDecimal(double value, unsigned decimals);
QString getCurrencySymbol();
// A length in UTF-16 units the value's text of that form surely does not exceed, found
// without making it: the longest text of a number with as many whole digits or one more
// (rounding may carry). nullopt for a value not finite or too large to bound so.
std::optional<qsizetype> getStringLengthBound(double value, unsigned decimals);
std::optional<qsizetype> getCurrencyLengthBound(double value, unsigned decimals);

const IcuNumberFormatter& getNumberFormatterWithDecimal(unsigned decimals);
const IcuNumberFormatter& getCurrencyFormatterWithDecimal(unsigned decimals);
// The cached formatter for the decimals, made on first use with its patterns rewritten to
// exactly that many decimals.
const IcuNumberFormatter& getFormatter(
    FormatterCache& cache, unsigned decimals, IcuNumberFormatter::Style style);
// A pattern of up to n decimals made one of exactly n decimals and one compulsory integer
// digit; text around the digits stays where it is.
QString getFormat(const QString& pattern);

} // namespace KivoNumber
