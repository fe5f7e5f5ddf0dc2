#include "forms/FormDecimalElement.h"

#include "forms/FormDecimalTableViewCell.h"
#include "forms/FormTableView.h"
#include "platform/NumberType.h"
#include "utilities/text/IcuNumberFormatter.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

bool isMinus(QChar c)
{
    return c == u'-' || c == QChar(0x2212);
}

// The number as plain decimal text ("-1234.5"), its shortest form for a double.
QString decimalText(const QVariant& number)
{
    if (platform::isIntegerType(number.metaType()))
        return QString::number(number.toLongLong());
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return {};
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

// The decimal digits of the text in order, without leading zeros; counts the minus
// signs met when asked.
QString significantDigits(const QString& text, int* minus = nullptr)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit())
            digits.append(QChar(u'0' + c.digitValue()));
        else if (minus && isMinus(c))
            ++*minus;
    }
    while (digits.startsWith(u'0'))
        digits.remove(0, 1);
    return digits;
}

// More fraction digits than any column holds are shown as this many.
constexpr qulonglong kFractionDigitLimit = 100;

} // namespace

FormDecimalElement::FormDecimalElement()
{
    setKeyboardType(int(platform::ui::TextInputTraits::KeyboardType::DecimalPad));
}

std::shared_ptr<FormDecimalElement> FormDecimalElement::initWithValue(const QVariant& value)
{
    auto element = std::make_shared<FormDecimalElement>();
    element->setNumberValue(value);
    return element;
}

std::shared_ptr<FormDecimalElement> FormDecimalElement::initWithTitle(
    const QString& title, const QVariant& value)
{
    auto element = initWithValue(value);
    element->setTitle(title);
    return element;
}

void FormDecimalElement::setNumberValue(const QVariant& number)
{
    m_numberValue = number;
    m_negativeZero = false;
}

void FormDecimalElement::setFloatValue(const QVariant& number)
{
    setNumberValue(KeyValueCoding::isNil(number) || KeyValueCoding::isNullObject(number)
            ? QVariant(0)
            : number);
}

QString FormDecimalElement::formattedValue() const
{
    if (KeyValueCoding::isNil(m_numberValue) || KeyValueCoding::isNullObject(m_numberValue))
        return {};
    QString decimal = decimalText(m_numberValue);
    if (decimal.isEmpty())
        return {};
    if (m_negativeZero && !decimal.startsWith(u'-'))
        decimal.prepend(u'-');
    IcuNumberFormatter formatter(IcuNumberFormatter::Decimal);
    const int digits = int(std::min(m_fractionDigits, kFractionDigitLimit));
    formatter.setMaximumFractionDigits(digits);
    formatter.setMinimumFractionDigits(digits);
    return formatter.stringFromDecimal(decimal);
}

bool FormDecimalElement::applyChange(
    const QString& text, const platform::ui::TextRange& range, const QString& replacement)
{
    const qsizetype start = std::clamp<qsizetype>(range.location, 0, text.size());
    const qsizetype length = std::clamp<qsizetype>(range.length, 0, text.size() - start);
    const QString changed = QString(text).replace(start, length, replacement);
    int minus = 0;
    const QString digits = significantDigits(changed, &minus);
    // A stored number may already be longer than typing allows; deleting from it must
    // still work, so only a change that adds digits past the limit is refused.
    if (digits.size() > MaximumDigits && digits.size() >= significantDigits(text).size())
        return false;
    const bool negative = minus % 2 == 1;
    const qsizetype fraction = qsizetype(std::min(m_fractionDigits, kFractionDigitLimit));
    if (digits.isEmpty()) {
        m_numberValue = fraction == 0 ? QVariant(qlonglong(0)) : QVariant(0.0);
        m_negativeZero = negative;
        return true;
    }
    m_negativeZero = false;
    bool whole = false;
    const qlonglong units = digits.toLongLong(&whole);
    if (fraction == 0 && whole) {
        m_numberValue = QVariant(negative ? -units : units);
        return true;
    }
    // Units of the smallest fraction written out as decimal text, then read as the
    // nearest double: up to MaximumDigits digits, that double's shortest form is this text.
    QString padded = digits.rightJustified(fraction + 1, u'0');
    if (fraction > 0)
        padded.insert(padded.size() - fraction, u'.');
    if (negative)
        padded.prepend(u'-');
    m_numberValue = QVariant(padded.toDouble());
    return true;
}

void FormDecimalElement::fetchValueIntoObject(const QVariant& target)
{
    if (!key().isEmpty())
        KeyValueCoding::setValueForKey(target, m_numberValue, key());
}

platform::ui::TableViewCell* FormDecimalElement::getCellForTableView(
    FormTableView* tableView, FormControllerProtocol* controller)
{
    auto* cell = qobject_cast<FormDecimalTableViewCell*>(
        tableView->dequeueReusableCellWithIdentifier(FormDecimalTableViewCell::ReuseIdentifier));
    if (!cell)
        cell = new FormDecimalTableViewCell;
    setUpEntryCell(cell, controller);
    cell->prepareForElement(this, tableView);
    return cell;
}
