#pragma once

#include <QtGlobal>

#include <string>

// A sum of numbers as their decimal texts add up: each number counts as the shortest
// decimal that reads back as it (0.1 as 0.1), so 0.1 + 0.2 is 0.3 and many amounts in
// cents add up to the cent. Sums beyond 38 digits go on in binary.
class DecimalSum {
public:
    // Wide enough for 38 decimal digits.
    __extension__ typedef __int128 Wide;

    void add(double value);
    qsizetype count() const { return m_count; }
    // The sum, and the sum divided by the count, each the nearest double to the exact one.
    double sum() const;
    double average() const;

private:
    // The digits of the mantissa over the count, to 30 places, as text.
    std::string quotientText(qint64 divisor) const;

    Wide m_mantissa = 0;
    int m_exponent = 0;
    bool m_exact = true;
    long double m_binary = 0;
    qsizetype m_count = 0;
};
