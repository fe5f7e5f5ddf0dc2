#pragma once

#include "utilities/text/IcuNumberFormatter.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

// Formatters for fixed machine forms and a few number styles.
class Formatter {
public:
    // Whole numbers grouped by three with a space ("1 234 567").
    static std::unique_ptr<IcuNumberFormatter> NumberFormatter();
    // Percent style with at most one decimal.
    static std::unique_ptr<IcuNumberFormatter> NumberFormatterPercent();
    // "yyyy-MM-dd HH:mm:ss" in the device's time zone; nullopt when the text does not match.
    [[nodiscard]] static std::optional<QDateTime> DateForString(const QString& text);
    // "yyyy-MM-dd" in the device's time zone.
    static QString FormatDate(const QDateTime& date);
    // The double as a decimal number; zero for infinities and NaN.
    static double NumberWithDouble(double value);
};
