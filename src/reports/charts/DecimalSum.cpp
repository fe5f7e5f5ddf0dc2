#include "reports/charts/DecimalSum.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// Past this the mantissa could overflow on the next addition.
constexpr long double kWideLimit = 1e36L;

std::string wideText(DecimalSum::Wide value)
{
    const bool negative = value < 0;
    // Digits from the end; the magnitude is taken digit by digit so the lowest value works.
    std::string digits;
    do {
        const int digit = int(value % 10);
        digits.insert(digits.begin(), char('0' + (digit < 0 ? -digit : digit)));
        value /= 10;
    } while (value != 0);
    return negative ? "-" + digits : digits;
}

} // namespace

void DecimalSum::add(double value)
{
    ++m_count;
    m_binary += value;
    if (!m_exact)
        return;
    if (!std::isfinite(value)) {
        m_exact = false;
        return;
    }
    char text[64];
    const auto written
        = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    if (written.ec != std::errc()) {
        m_exact = false;
        return;
    }
    // "-d.ddde+XX": the digits make the mantissa, the exponent moves by the decimals.
    Wide digits = 0;
    int decimals = 0;
    bool negative = false;
    bool afterPoint = false;
    const char* p = text;
    for (; p < written.ptr && *p != 'e'; ++p) {
        if (*p == '-')
            negative = true;
        else if (*p == '.')
            afterPoint = true;
        else {
            digits = digits * 10 + (*p - '0');
            if (afterPoint)
                ++decimals;
        }
    }
    // The text has no terminator: the exponent is read within it.
    int exponent = 0;
    if (p < written.ptr) {
        const char* from = p + 1;
        if (from < written.ptr && *from == '+')
            ++from;
        if (std::from_chars(from, written.ptr, exponent).ec != std::errc()) {
            m_exact = false;
            return;
        }
    }
    exponent -= decimals;
    if (negative)
        digits = -digits;
    // Both on the smaller exponent.
    while (exponent > m_exponent && digits != 0) {
        if (std::abs(static_cast<long double>(digits)) > kWideLimit) {
            m_exact = false;
            return;
        }
        digits *= 10;
        --exponent;
    }
    if (digits == 0)
        return;
    while (m_exponent > exponent) {
        if (std::abs(static_cast<long double>(m_mantissa)) > kWideLimit) {
            m_exact = false;
            return;
        }
        m_mantissa *= 10;
        --m_exponent;
    }
    m_mantissa += digits;
    if (std::abs(static_cast<long double>(m_mantissa)) > kWideLimit)
        m_exact = false;
}

double DecimalSum::sum() const
{
    if (!m_exact)
        return double(m_binary);
    const std::string text = wideText(m_mantissa) + "e" + std::to_string(m_exponent);
    return std::strtod(text.c_str(), nullptr);
}

std::string DecimalSum::quotientText(qint64 divisor) const
{
    // Long division to 30 places after the mantissa's last digit: the exact quotient
    // as far as a double can tell.
    const bool negative = m_mantissa < 0;
    Wide rest = negative ? -m_mantissa : m_mantissa;
    const Wide whole = rest / divisor;
    rest %= divisor;
    std::string text = (negative ? "-" : "") + wideText(whole) + ".";
    for (int i = 0; i < 30; ++i) {
        rest *= 10;
        text += char('0' + int(rest / divisor));
        rest %= divisor;
    }
    return text + "e" + std::to_string(m_exponent);
}

double DecimalSum::average() const
{
    if (m_count == 0)
        return 0;
    if (!m_exact)
        return double(m_binary / m_count);
    return std::strtod(quotientText(m_count).c_str(), nullptr);
}
