#include "forms/FormAutoEntryElement.h"
#include "forms/FormAutoEntryTableViewCell.h"
#include "forms/FormDecimalElement.h"
#include "forms/FormEntryElement.h"
#include "forms/FormEntryElementDelegate.h"
#include "forms/FormTextField.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"
#include "widgets/AutocompleteTextField.h"

#include "forms/FormScreenFixture.h"

#include <QApplication>
#include <QClipboard>

using namespace platform::ui;
using formtest::FormScreen;

namespace {

void paste(const QString& text)
{
    QApplication::clipboard()->setText(text);
    auto* field = dynamic_cast<TextField*>(TextInput::firstResponder());
    ASSERT_NE(field, nullptr);
    QTest::keyClick(field->lineEdit(), Qt::Key_V, Qt::ControlModifier);
}

struct Counter : FormEntryElementDelegate {
    int changes = 0;
    QStringList replacements;
    bool allow = true;
    void FormEntryEditingChangedForElement(FormEntryElement*, FormEntryTableViewCell*) override
    {
        ++changes;
    }
    bool FormEntryShouldChangeCharactersInRange(const TextRange&, const QString& replacement,
        FormEntryElement*, FormEntryTableViewCell*) override
    {
        replacements << replacement;
        return allow;
    }
};

// One section of the given rows.
std::shared_ptr<FormRootElement> formOf(const QList<std::shared_ptr<FormElement>>& rows)
{
    auto root = std::make_shared<FormRootElement>();
    root->setGrouped(true);
    auto section = FormSection::initWithTitle("Fields");
    for (const auto& row : rows)
        section->addElement(row);
    root->addSection(section);
    return root;
}

using EntryCell = FormScreen;

} // namespace

TEST_F(EntryCell, TypingAndPastingStopAtTheLengthLimit)
{
    auto code = FormEntryElement::initWithTitle("Code", "ab");
    code->setMaxLength(5);
    Counter delegate;
    code->setDelegate(&delegate);
    int changed = 0;
    code->onValueChanged = [&](FormRootElement*) { ++changed; };
    open(formOf({ code }));
    entryCellOf(code.get())->becomeFirstResponder();
    type("cde");
    EXPECT_EQ(code->textValue(), "abcde");
    EXPECT_EQ(changed, 3);
    // A sixth character is refused; deleting and replacing one by one are allowed.
    type("f");
    EXPECT_EQ(code->textValue(), "abcde");
    QTest::keyClick(entryCellOf(code.get())->textField()->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(code->textValue(), "abcd");
    // A paste is cut to the room left, the element and its delegate see the cut text.
    delegate.replacements.clear();
    paste("XYZ");
    EXPECT_EQ(code->textValue(), "abcdX");
    EXPECT_EQ(entryCellOf(code.get())->textField()->text(), "abcdX");
    EXPECT_EQ(delegate.replacements, QStringList { "X" });
    paste("Q");
    EXPECT_EQ(code->textValue(), "abcdX");
    // Replacing a selection by a longer paste fills only up to the limit.
    entryCellOf(code.get())->textField()->setSelectedRange({ 1, 2 });
    paste("1234");
    EXPECT_EQ(code->textValue(), "a12dX");
    // The delegate may refuse a change.
    delegate.allow = false;
    QTest::keyClick(entryCellOf(code.get())->textField()->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(code->textValue(), "a12dX");
    code->setDelegate(nullptr);
}

TEST_F(EntryCell, AnEmptiedFieldHoldsTheEmptyText)
{
    auto name = FormEntryElement::initWithTitle("Name", "Ada");
    open(formOf({ name }));
    FormEntryTableViewCell* cell = entryCellOf(name.get());
    cell->becomeFirstResponder();
    cell->textField()->clearButtonClicked();
    cell->handleActionBarDone();
    EXPECT_FALSE(name->textValue().isNull());
    EXPECT_TRUE(name->textValue().isEmpty());
}

TEST_F(EntryCell, DecimalFieldsFillFromTheSmallestUnit)
{
    auto amount = FormDecimalElement::initWithTitle("Amount", 0);
    amount->setFractionDigits(2);
    auto count = FormDecimalElement::initWithTitle("Count", 0);
    open(formOf({ amount, count }));
    FormEntryTableViewCell* cell = entryCellOf(amount.get());
    EXPECT_EQ(cell->textField()->text(), "0.00");
    EXPECT_EQ(cell->textField()->keyboardType(), TextInputTraits::KeyboardType::DecimalPad);
    cell->becomeFirstResponder();
    QStringList shown;
    for (const QString key : { "1", "2", "3" }) {
        type(key);
        shown << cell->textField()->text();
    }
    EXPECT_EQ(shown, (QStringList { "0.01", "0.12", "1.23" }));
    EXPECT_EQ(amount->numberValue(), QVariant(1.23));
    QTest::keyClick(cell->textField()->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(cell->textField()->text(), "0.12");
    // A minus flips the sign, a second one flips it back.
    type("-");
    EXPECT_EQ(amount->numberValue(), QVariant(-0.12));
    type("-");
    EXPECT_EQ(amount->numberValue(), QVariant(0.12));
    // Letters are no digits.
    type("x");
    EXPECT_EQ(cell->textField()->text(), "0.12");

    // Without fraction digits the number is whole.
    entryCellOf(count.get())->becomeFirstResponder();
    type("50");
    EXPECT_EQ(entryCellOf(count.get())->textField()->text(), "50");
    EXPECT_EQ(count->numberValue(), QVariant(qlonglong(50)));
    // Pasted digits go the same way; more than fifteen are refused.
    paste("1234567890123");
    EXPECT_EQ(count->numberValue(), QVariant(qlonglong(501234567890123)));
    paste("9");
    EXPECT_EQ(count->numberValue(), QVariant(qlonglong(501234567890123)));
}

TEST_F(EntryCell, AutoEntryOffersTheRestOfTheFirstMatchAndTakesItOnLeaving)
{
    auto category = FormAutoEntryElement::initWithTitle("Category", "");
    category->setAutoCompleteValues({ "Garden", "garage", "Kitchen" });
    auto other = FormEntryElement::initWithTitle("Other", "");
    open(formOf({ category, other }));
    auto* cell = qobject_cast<FormAutoEntryTableViewCell*>(cellOf(category.get()));
    ASSERT_NE(cell, nullptr);
    AutocompleteTextField* field = cell->autocompleteField();
    cell->becomeFirstResponder();
    EXPECT_FALSE(cell->completionEnabled());
    // Lower-case letters match the capitalised value first in the list.
    type("ga");
    EXPECT_EQ(field->autoCompleteString(), "rden");
    EXPECT_EQ(field->autocompleteLabel()->text(), "rden");
    EXPECT_FALSE(field->autocompleteLabel()->isHidden());
    EXPECT_EQ(field->getAutoCompleteText(), "garden");
    // The rest starts where the typed text ends.
    const QRectF rest = field->autocompleteLabel()->frame();
    EXPECT_NEAR(rest.left() - field->editingRectForBounds(field->bounds()).left(),
        QFontMetricsF(field->font()).horizontalAdvance("ga"), 1.0);
    EXPECT_EQ(category->textValue(), "ga");
    // Leaving takes the whole value as the list spells it.
    entryCellOf(other.get())->becomeFirstResponder();
    EXPECT_EQ(category->textValue(), "Garden");
    EXPECT_EQ(field->text(), "Garden");
    EXPECT_TRUE(field->autocompleteLabel()->isHidden());

    // No match keeps the typed text.
    cell->becomeFirstResponder();
    field->setSelectedRange({ 0, 6 });
    type("xyz");
    EXPECT_EQ(field->autoCompleteString(), "");
    entryCellOf(other.get())->becomeFirstResponder();
    EXPECT_EQ(category->textValue(), "xyz");

    // A field cleared and left stays empty: no value of the list is written in.
    cell->becomeFirstResponder();
    field->clearButtonClicked();
    entryCellOf(other.get())->becomeFirstResponder();
    EXPECT_EQ(category->textValue(), "");

    // Return keeps what was typed.
    cell->becomeFirstResponder();
    type("Kit");
    EXPECT_EQ(field->autoCompleteString(), "chen");
    key(Qt::Key_Return);
    EXPECT_EQ(category->textValue(), "Kit");
}

TEST_F(EntryCell, AnAutoEntryStopsAtTheLengthLimitToo)
{
    auto code = FormAutoEntryElement::initWithTitle("Code", "");
    code->setAutoCompleteValues({ "ABCD", "XY" });
    code->setMaxLength(4);
    open(formOf({ code }));
    auto* cell = qobject_cast<FormAutoEntryTableViewCell*>(cellOf(code.get()));
    ASSERT_NE(cell, nullptr);
    cell->becomeFirstResponder();
    type("abcde");
    EXPECT_EQ(code->textValue(), "abcd");
    // A paste is cut to the room left, and the cut text is what completes.
    cell->autocompleteField()->setSelectedRange({ 0, 4 });
    paste("xyzzy");
    EXPECT_EQ(code->textValue(), "xyzz");
    EXPECT_EQ(cell->autocompleteField()->text(), "xyzz");
    EXPECT_EQ(cell->autocompleteField()->autoCompleteString(), "");
    cell->autocompleteField()->setSelectedRange({ 0, 4 });
    paste("x");
    EXPECT_EQ(cell->autocompleteField()->autoCompleteString(), "Y");
    paste("yzw");
    EXPECT_EQ(code->textValue(), "xyzw");
    paste("Q");
    EXPECT_EQ(code->textValue(), "xyzw");
}

TEST_F(EntryCell, PrefixAndSuffixAreDrawnAroundTheTextWhileNotEditing)
{
    auto price = FormEntryElement::initWithTitle("Price", "12");
    price->setPrefix("$");
    auto weight = FormEntryElement::initWithTitle("Weight", "4");
    weight->setSuffix(" kg");
    auto plain = FormEntryElement::initWithTitle("Plain", "4");
    open(formOf({ price, weight, plain }));
    auto* field = qobject_cast<FormTextField*>(entryCellOf(price.get())->textField());
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->shownText(), "$12");
    EXPECT_EQ(
        qobject_cast<FormTextField*>(entryCellOf(weight.get())->textField())->shownText(), "4 kg");
    // A field without prefix and suffix draws as a plain field; a prefix draws before the
    // text, where a plain field would draw it as typed.
    auto firstInk = [](const QImage& image) {
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (qGray(image.pixel(x, y)) < 160)
                    return x;
        return -1;
    };
    FormTextField drawn;
    TextField reference;
    for (TextField* one : { static_cast<TextField*>(&drawn), &reference }) {
        one->setFrame(QRectF(0, 0, 200, 30));
        one->setBackgroundColor(Qt::white);
        one->setText("12");
    }
    EXPECT_EQ(drawn.snapshot(), reference.snapshot());
    drawn.setPrefix("$");
    EXPECT_NE(drawn.snapshot(), reference.snapshot());
    reference.setText("$12");
    EXPECT_NEAR(firstInk(drawn.snapshot()), firstInk(reference.snapshot()), 1);
}
