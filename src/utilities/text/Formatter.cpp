#include "utilities/text/Formatter.h"

#include "utilities/text/IcuDateFormatter.h"

#include <cmath>

namespace {

const char kDateTimePattern[] = "yyyy-MM-dd HH:mm:ss";
const char kDatePattern[] = "yyyy-MM-dd";
const char kGroupingSeparator[] = " ";
constexpr int kGroupingSize = 3;
constexpr int kPercentDecimals = 1;

} // namespace

std::unique_ptr<IcuNumberFormatter> Formatter::NumberFormatter()
{
    auto formatter = std::make_unique<IcuNumberFormatter>(IcuNumberFormatter::NoStyle);
    formatter->setGroupingSize(kGroupingSize);
    formatter->setGroupingSeparator(QString::fromLatin1(kGroupingSeparator));
    formatter->setUsesGroupingSeparator(true);
    formatter->setMaximumFractionDigits(0);
    return formatter;
}

std::unique_ptr<IcuNumberFormatter> Formatter::NumberFormatterPercent()
{
    auto formatter = std::make_unique<IcuNumberFormatter>(IcuNumberFormatter::Percent);
    formatter->setMaximumFractionDigits(kPercentDecimals);
    return formatter;
}

std::optional<QDateTime> Formatter::DateForString(const QString& text)
{
    // Stored forms use ASCII digits whatever the user's locale.
    const auto formatter = IcuDateFormatter::withPattern(
        QString::fromLatin1(kDateTimePattern), IcuDateFormatter::PosixLocale);
    return formatter ? formatter->dateFromString(text) : std::nullopt;
}

QString Formatter::FormatDate(const QDateTime& date)
{
    const auto formatter = IcuDateFormatter::withPattern(
        QString::fromLatin1(kDatePattern), IcuDateFormatter::PosixLocale);
    return formatter ? formatter->stringFromDate(date) : QString();
}

double Formatter::NumberWithDouble(double value)
{
    return std::isfinite(value) ? value : 0.0;
}
