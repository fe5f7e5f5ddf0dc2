#include "utilities/text/IcuNumberFormatter.h"

#include "utilities/text/IcuDateFormatter.h"

#include <unicode/unum.h>

namespace {

UNumberFormat* numberFormatOf(void* format)
{
    return static_cast<UNumberFormat*>(format);
}

UNumberFormatStyle icuStyle(IcuNumberFormatter::Style style)
{
    switch (style) {
    case IcuNumberFormatter::Decimal:
        return UNUM_DECIMAL;
    case IcuNumberFormatter::Currency:
        return UNUM_CURRENCY;
    case IcuNumberFormatter::Percent:
        return UNUM_PERCENT;
    case IcuNumberFormatter::NoStyle:
        break;
    }
    return UNUM_DECIMAL;
}

// Calls an ICU function that writes UTF-16 into a buffer, growing the buffer once.
template<class Fill> QString readText(Fill fill)
{
    QString text(64, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = fill(reinterpret_cast<UChar*>(text.data()), int32_t(text.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        text.resize(length);
        status = U_ZERO_ERROR;
        length = fill(reinterpret_cast<UChar*>(text.data()), int32_t(text.size()), &status);
    }
    if (U_FAILURE(status))
        return {};
    text.resize(length);
    return text;
}

} // namespace

IcuNumberFormatter::IcuNumberFormatter(Style style, const QString& locale)
{
    const QByteArray id
        = locale.isEmpty() ? IcuDateFormatter::currentLocaleId() : locale.toLatin1();
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormat* format
        = unum_open(icuStyle(style), nullptr, 0, id.constData(), nullptr, &status);
    if (U_FAILURE(status)) {
        unum_close(format);
        return;
    }
    if (style == NoStyle) {
        // Whole numbers without grouping until told otherwise.
        unum_setAttribute(format, UNUM_GROUPING_USED, 0);
        unum_setAttribute(format, UNUM_MAX_FRACTION_DIGITS, 0);
    }
    m_format = format;
}

IcuNumberFormatter::~IcuNumberFormatter()
{
    if (m_format)
        unum_close(numberFormatOf(m_format));
}

QString IcuNumberFormatter::stringFromNumber(double value) const
{
    if (!m_format)
        return {};
    return readText([&](UChar* buffer, int32_t capacity, UErrorCode* status) {
        return unum_formatDouble(
            numberFormatOf(m_format), value, buffer, capacity, nullptr, status);
    });
}

QString IcuNumberFormatter::stringFromDecimal(const QString& decimal) const
{
    if (!m_format)
        return {};
    const QByteArray digits = decimal.toLatin1();
    return readText([&](UChar* buffer, int32_t capacity, UErrorCode* status) {
        return unum_formatDecimal(numberFormatOf(m_format), digits.constData(),
            int32_t(digits.size()), buffer, capacity, nullptr, status);
    });
}

std::optional<double> IcuNumberFormatter::numberFromString(const QString& text) const
{
    if (!m_format || text.isEmpty())
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    int32_t position = 0;
    const double value = unum_parseDouble(numberFormatOf(m_format),
        reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()), &position, &status);
    if (U_FAILURE(status) || position != text.size())
        return std::nullopt;
    return value;
}

int IcuNumberFormatter::maximumFractionDigits() const
{
    return m_format ? unum_getAttribute(numberFormatOf(m_format), UNUM_MAX_FRACTION_DIGITS) : 0;
}

void IcuNumberFormatter::setMaximumFractionDigits(int digits)
{
    if (m_format)
        unum_setAttribute(numberFormatOf(m_format), UNUM_MAX_FRACTION_DIGITS, digits);
}

int IcuNumberFormatter::minimumFractionDigits() const
{
    return m_format ? unum_getAttribute(numberFormatOf(m_format), UNUM_MIN_FRACTION_DIGITS) : 0;
}

void IcuNumberFormatter::setMinimumFractionDigits(int digits)
{
    if (m_format)
        unum_setAttribute(numberFormatOf(m_format), UNUM_MIN_FRACTION_DIGITS, digits);
}

void IcuNumberFormatter::setGroupingSize(int size)
{
    if (m_format)
        unum_setAttribute(numberFormatOf(m_format), UNUM_GROUPING_SIZE, size);
}

void IcuNumberFormatter::setGroupingSeparator(const QString& separator)
{
    if (!m_format)
        return;
    UErrorCode status = U_ZERO_ERROR;
    unum_setSymbol(numberFormatOf(m_format), UNUM_GROUPING_SEPARATOR_SYMBOL,
        reinterpret_cast<const UChar*>(separator.utf16()), int32_t(separator.size()), &status);
}

void IcuNumberFormatter::setUsesGroupingSeparator(bool uses)
{
    if (m_format)
        unum_setAttribute(numberFormatOf(m_format), UNUM_GROUPING_USED, uses ? 1 : 0);
}

QString IcuNumberFormatter::currencySymbol() const
{
    if (!m_format)
        return {};
    return readText([&](UChar* buffer, int32_t capacity, UErrorCode* status) {
        return unum_getSymbol(
            numberFormatOf(m_format), UNUM_CURRENCY_SYMBOL, buffer, capacity, status);
    });
}

QString IcuNumberFormatter::pattern() const
{
    if (!m_format)
        return {};
    return readText([&](UChar* buffer, int32_t capacity, UErrorCode* status) {
        return unum_toPattern(numberFormatOf(m_format), false, buffer, capacity, status);
    });
}

QString IcuNumberFormatter::positiveFormat() const
{
    return pattern().section(QLatin1Char(';'), 0, 0);
}

QString IcuNumberFormatter::negativeFormat() const
{
    const QString full = pattern();
    const qsizetype separator = full.indexOf(QLatin1Char(';'));
    if (separator >= 0)
        return full.mid(separator + 1);
    return QLatin1Char('-') + full;
}

void IcuNumberFormatter::setFormats(const QString& positive, const QString& negative)
{
    if (!m_format)
        return;
    const QString full = positive + QLatin1Char(';') + negative;
    UErrorCode status = U_ZERO_ERROR;
    unum_applyPattern(numberFormatOf(m_format), false, reinterpret_cast<const UChar*>(full.utf16()),
        int32_t(full.size()), nullptr, &status);
}
