#pragma once

#include <QString>

#include <optional>

// A number formatter over ICU's C interface, in the current locale unless one is given.
class IcuNumberFormatter {
public:
    enum Style { NoStyle = 0, Decimal = 1, Currency = 2, Percent = 3 };

    explicit IcuNumberFormatter(Style style, const QString& locale = {});
    ~IcuNumberFormatter();
    IcuNumberFormatter(const IcuNumberFormatter&) = delete;
    IcuNumberFormatter& operator=(const IcuNumberFormatter&) = delete;

    bool isValid() const { return m_format != nullptr; }
    QString stringFromNumber(double value) const;
    // The number written as plain decimal text ("-12345.60"), formatted without passing
    // through a double, so every digit shows as written.
    QString stringFromDecimal(const QString& decimal) const;
    [[nodiscard]] std::optional<double> numberFromString(const QString& text) const;

    int maximumFractionDigits() const;
    void setMaximumFractionDigits(int digits);
    int minimumFractionDigits() const;
    void setMinimumFractionDigits(int digits);
    void setGroupingSize(int size);
    void setGroupingSeparator(const QString& separator);
    void setUsesGroupingSeparator(bool uses);
    QString currencySymbol() const;

    // The pattern for positive numbers, and the one for negatives ("-" and the positive
    // pattern when the locale has no separate one).
    QString positiveFormat() const;
    QString negativeFormat() const;
    // Both patterns at once.
    void setFormats(const QString& positive, const QString& negative);

private:
    QString pattern() const;
    void* m_format = nullptr;
};
