#include "forms/FormAutoEntryElement.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormEntryElement.h"
#include "platform/MutableDictionary.h"

#include "forms/FormTestSupport.h"

#include <QLocale>

using platform::ui::TextRange;

namespace {

// What the field holds after the user types or pastes at the end (or over a range).
QString edit(const QString& text, TextRange range, const QString& typed, int maxLength)
{
    const std::optional<QString> fitting
        = FormEntryElement::fittingReplacement(text, range, typed, maxLength);
    if (!fitting)
        return text;
    return QString(text).replace(range.location, range.length, *fitting);
}

QString typeAtEnd(const QString& text, const QString& typed, int maxLength)
{
    return edit(text, { int(text.size()), 0 }, typed, maxLength);
}

// Types into a decimal field the way its cell does: the change goes to the element,
// the field shows the element's text again.
QString type(FormDecimalElement& element, const QString& keys)
{
    for (const QChar key : keys) {
        const QString shown = element.formattedValue();
        element.applyChange(shown, { int(shown.size()), 0 }, QString(key));
    }
    return element.formattedValue();
}

QString deleteLast(FormDecimalElement& element)
{
    const QString shown = element.formattedValue();
    element.applyChange(shown, { int(shown.size()) - 1, 1 }, {});
    return element.formattedValue();
}

} // namespace

using EntryTest = formtest::FormTest;

TEST_F(EntryTest, MaxLengthCutsTypingAndPasteToWhatFits)
{
    EXPECT_EQ(typeAtEnd("abcd", "e", 5), "abcde");
    EXPECT_EQ(typeAtEnd("abcde", "f", 5), "abcde");
    EXPECT_FALSE(FormEntryElement::fittingReplacement("abcde", { 5, 0 }, "f", 5));
    // Deleting and replacing one by one are always allowed.
    EXPECT_EQ(edit("abcde", { 4, 1 }, "", 5), "abcd");
    EXPECT_EQ(edit("abcde", { 1, 1 }, "X", 5), "aXcde");
    // A paste is cut to the room left, over a selection too.
    EXPECT_EQ(typeAtEnd("ab", "cdefgh", 5), "abcde");
    EXPECT_EQ(edit("abcde", { 1, 2 }, "WXYZ", 5), "aWXde");
    EXPECT_EQ(typeAtEnd("", "a long pasted text", 3), "a l");
    // A text already over the limit may shrink or stay, never grow.
    EXPECT_EQ(typeAtEnd("abcdefg", "h", 5), "abcdefg");
    EXPECT_EQ(edit("abcdefg", { 0, 2 }, "WXYZ", 5), "WXcdefg");
    EXPECT_EQ(edit("abcdefg", { 0, 3 }, "", 5), "defg");
    // No limit, and a character of two units is never split.
    EXPECT_EQ(typeAtEnd("abc", "defgh", 0), "abcdefgh");
    EXPECT_EQ(typeAtEnd("abcd", QString::fromUtf8("\xF0\x9F\x98\x80"), 5), "abcd");
    EXPECT_EQ(typeAtEnd("abc", QString::fromUtf8("x\xF0\x9F\x98\x80"), 5), "abcx");
    EXPECT_EQ(typeAtEnd("abc", QString::fromUtf8("\xF0\x9F\x98\x80!"), 5),
        QString::fromUtf8("abc\xF0\x9F\x98\x80"));
}

TEST_F(EntryTest, AnEmptiedFieldHoldsEmptyTextNotNil)
{
    auto element = FormEntryElement::initWithTitle("Name", "Ann");
    element->setKey("name");
    element->setTextFromField(QString());
    EXPECT_FALSE(element->textValue().isNull());
    platform::MutableDictionary saved;
    element->fetchValueIntoObject(QVariant::fromValue(saved));
    EXPECT_TRUE(saved.contains("name"));
    // Nil removes the key.
    element->setTextValue(QString());
    element->fetchValueIntoObject(QVariant::fromValue(saved));
    EXPECT_FALSE(saved.contains("name"));
}

TEST_F(EntryTest, DecimalDigitsFillTheNumberFromItsSmallestUnit)
{
    auto element = FormDecimalElement::initWithTitle("Price", 0);
    element->setFractionDigits(2);
    EXPECT_EQ(element->keyboardType(), 8);
    EXPECT_EQ(element->formattedValue(), "0.00");
    EXPECT_EQ(type(*element, "1"), "0.01");
    EXPECT_EQ(type(*element, "2"), "0.12");
    EXPECT_EQ(type(*element, "3"), "1.23");
    EXPECT_EQ(element->numberValue(), QVariant(1.23));
    EXPECT_EQ(deleteLast(*element), "0.12");
    EXPECT_EQ(deleteLast(*element), "0.01");
    EXPECT_EQ(deleteLast(*element), "0.00");
    EXPECT_EQ(type(*element, "4567"), "45.67");
    EXPECT_EQ(type(*element, "89"), "4,567.89");

    auto whole = FormDecimalElement::initWithValue(0);
    EXPECT_EQ(type(*whole, "50"), "50");
    EXPECT_EQ(whole->numberValue().metaType().id(), QMetaType::LongLong);
    EXPECT_EQ(whole->numberValue().toLongLong(), 50);
    // Text without digits is 0.
    whole->applyChange("50", { 0, 2 }, "abc");
    EXPECT_EQ(whole->numberValue(), QVariant(0));
}

TEST_F(EntryTest, DecimalSignFlipsWithEveryMinus)
{
    auto element = FormDecimalElement::initWithValue(0);
    element->setFractionDigits(2);
    EXPECT_EQ(type(*element, "-"), "-0.00");
    EXPECT_EQ(element->numberValue().toDouble(), 0.0);
    EXPECT_EQ(type(*element, "5"), "-0.05");
    EXPECT_EQ(type(*element, "0"), "-0.50");
    EXPECT_EQ(element->numberValue(), QVariant(-0.5));
    EXPECT_EQ(type(*element, "-"), "0.50");
    EXPECT_EQ(element->numberValue(), QVariant(0.5));
    EXPECT_EQ(type(*element, "-"), "-0.50");
    // Deleting keeps the sign.
    EXPECT_EQ(deleteLast(*element), "-0.05");
}

TEST_F(EntryTest, DecimalKeepsFifteenDigitsExactlyAndRefusesMore)
{
    auto cents = FormDecimalElement::initWithValue(0);
    cents->setFractionDigits(2);
    EXPECT_EQ(type(*cents, "1234567891"), "12,345,678.91");
    EXPECT_EQ(cents->numberValue(), QVariant(12345678.91));
    EXPECT_EQ(QString::number(cents->numberValue().toDouble(), 'f', QLocale::FloatingPointShortest),
        "12345678.91");

    auto whole = FormDecimalElement::initWithValue(0);
    EXPECT_EQ(type(*whole, "99999999"), "99,999,999");
    EXPECT_EQ(whole->numberValue().toLongLong(), 99999999);

    auto wide = FormDecimalElement::initWithValue(0);
    wide->setFractionDigits(2);
    EXPECT_EQ(type(*wide, "999999999999999"), "9,999,999,999,999.99");
    EXPECT_EQ(QString::number(wide->numberValue().toDouble(), 'f', QLocale::FloatingPointShortest),
        "9999999999999.99");
    const QString shown = wide->formattedValue();
    EXPECT_FALSE(wide->applyChange(shown, { int(shown.size()), 0 }, "9"));
    EXPECT_EQ(wide->formattedValue(), "9,999,999,999,999.99");
    // A paste of many digits is refused whole.
    auto pasted = FormDecimalElement::initWithValue(0);
    EXPECT_FALSE(pasted->applyChange("0", { 0, 1 }, "1234567890123456"));
    EXPECT_EQ(pasted->numberValue(), QVariant(0));

    // A value bound from the record shows with the element's digits.
    auto bound = FormDecimalElement::initWithValue(QVariant(19.5));
    bound->setFractionDigits(2);
    EXPECT_EQ(bound->formattedValue(), "19.50");
    bound->setFloatValue(QVariant());
    EXPECT_EQ(bound->numberValue(), QVariant(0));
    bound->setNumberValue(QVariant());
    EXPECT_EQ(bound->formattedValue(), "");
}

TEST_F(EntryTest, CompletionOffersTheRestOfTheFirstMatchIgnoringCase)
{
    auto element = FormAutoEntryElement::initWithTitle("Category", {});
    element->setAutoCompleteValues({ "Apple", "apricot", "Banana" });
    EXPECT_EQ(element->completionForPrefix("ap"), "ple");
    EXPECT_EQ(element->lastAutoComplete(), "Apple");
    EXPECT_EQ(element->completionForPrefix("APR"), "icot");
    EXPECT_EQ(element->lastAutoComplete(), "apricot");
    EXPECT_EQ(element->completionForPrefix("Banana"), "");
    EXPECT_EQ(element->lastAutoComplete(), "Banana");

    // No match: nothing offered, the typed text remembered.
    EXPECT_EQ(element->completionForPrefix("cherry"), "");
    EXPECT_EQ(element->lastAutoComplete(), "cherry");
    // A cleared field offers nothing, so leaving it writes nothing in.
    EXPECT_EQ(element->completionForPrefix(""), "");
    EXPECT_EQ(element->lastAutoComplete(), "");
    EXPECT_EQ(element->completionForPrefix(QString()), "");
    EXPECT_TRUE(element->lastAutoComplete().isEmpty());
}

// A stored number longer than typing allows still shortens one digit at a time.
TEST_F(EntryTest, DecimalLongerThanTypingAllowsShortensByDeleting)
{
    auto whole = FormDecimalElement::initWithValue(QVariant(qlonglong(12345678901234567)));
    EXPECT_EQ(whole->formattedValue(), "12,345,678,901,234,567");
    EXPECT_EQ(deleteLast(*whole), "1,234,567,890,123,456");
    EXPECT_EQ(whole->numberValue().toLongLong(), 1234567890123456);
    EXPECT_EQ(deleteLast(*whole), "123,456,789,012,345");
    // Typing a digit would go past the limit again.
    EXPECT_EQ(type(*whole, "9"), "123,456,789,012,345");

    auto cents = FormDecimalElement::initWithValue(QVariant(1e20));
    cents->setFractionDigits(2);
    EXPECT_EQ(cents->formattedValue(), "100,000,000,000,000,000,000.00");
    EXPECT_EQ(deleteLast(*cents), "10,000,000,000,000,000,000.00");
    EXPECT_EQ(type(*cents, "5"), "10,000,000,000,000,000,000.00");

    // Past what a whole number holds, the value is the nearest double.
    auto huge = FormDecimalElement::initWithValue(QVariant(1e25));
    EXPECT_EQ(deleteLast(*huge), "1,000,000,000,000,000,000,000,000");
    EXPECT_EQ(huge->numberValue().toDouble(), 1e24);
}
