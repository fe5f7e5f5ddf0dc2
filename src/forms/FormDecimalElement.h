#pragma once

#include "forms/FormEntryElement.h"

// A fixed-point number typed like a cash register: the typed digits fill the number from
// its smallest unit, so with 2 fraction digits typing 1, 2, 3 shows 0.01, 0.12, 1.23.
// Typed digits are kept exactly (at most 15 of them); each "-" typed flips the sign.
class FormDecimalElement : public FormEntryElement {
    Q_OBJECT
    Q_PROPERTY(qulonglong fractionDigits READ fractionDigits WRITE setFractionDigits)
    Q_PROPERTY(QVariant numberValue READ numberValue WRITE setNumberValue)
    Q_PROPERTY(QVariant floatValue READ numberValue WRITE setFloatValue)

public:
    // More digits than this are refused: every number of up to 15 digits has a double
    // that reads back as exactly those digits.
    static constexpr int MaximumDigits = 15;

    Q_INVOKABLE FormDecimalElement();
    static std::shared_ptr<FormDecimalElement> initWithValue(const QVariant& value);
    static std::shared_ptr<FormDecimalElement> initWithTitle(
        const QString& title, const QVariant& value);

    qulonglong fractionDigits() const { return m_fractionDigits; }
    void setFractionDigits(qulonglong digits) { m_fractionDigits = digits; }
    // The number: an integer with no fraction digits, else the double whose shortest
    // decimal form is the text shown. Nil when none was given.
    QVariant numberValue() const { return m_numberValue; }
    void setNumberValue(const QVariant& number);
    // As numberValue, with nil taken as 0.
    void setFloatValue(const QVariant& number);

    // The text the field shows: the number in the locale's decimal style with exactly
    // fractionDigits digits after the separator; empty for no number.
    QString formattedValue() const;
    // A change the user proposes to the shown text (replacing the range with the
    // replacement): the number becomes the digits of the resulting text, negative when it
    // holds an odd number of minus signs. False, and nothing changes, when the result
    // has more than MaximumDigits digits and no fewer than the text had, so a longer
    // stored number can still be shortened. The field then shows formattedValue() again
    // instead of the change itself.
    bool applyChange(
        const QString& text, const platform::ui::TextRange& range, const QString& replacement);

    // The decimal entry cell.
    platform::ui::TableViewCell* getCellForTableView(
        FormTableView* tableView, FormControllerProtocol* controller) override;

    // Writes numberValue under the key.
    void fetchValueIntoObject(const QVariant& target) override;

private:
    qulonglong m_fractionDigits = 0;
    QVariant m_numberValue = QVariant(0);
    // A minus typed while the number is 0, shown until a digit arrives.
    bool m_negativeZero = false;
};
