#include "widgets/AutocompleteTextField.h"
#include "common/TestSupport.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "widgets/AutocompleteTextFieldDelegate.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform::ui;

namespace {

// Completes from a list, ignoring case.
struct Completer : AutocompleteTextFieldDelegate {
    QStringList words = { "Kitchen", "Garden", "Garage" };
    QStringList asked;
    QString textFieldCompletionForPrefix(AutocompleteTextField*, const QString& prefix) override
    {
        asked << prefix;
        if (prefix.isEmpty())
            return {};
        for (const QString& word : words)
            if (word.startsWith(prefix, Qt::CaseInsensitive))
                return word.mid(prefix.size());
        return {};
    }
};

struct Autocomplete : ::testing::Test {
    View root { QRectF(0, 0, 320, 100) };
    AutocompleteTextField* field = new AutocompleteTextField(QRectF(10, 10, 200, 30), &root);
    void SetUp() override { root.show(); }
    void TearDown() override
    {
        // The tests' delegates are gone by now.
        field->setDelegate(nullptr);
        TextInput::endEditing(nullptr, true);
    }
};

} // namespace

TEST_F(Autocomplete, TheRestShowsRightAfterTheTypedTextWhileEditing)
{
    Completer completer;
    field->setDelegate(&completer);
    Label* rest = field->autocompleteLabel();
    EXPECT_TRUE(rest->isHidden());
    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_FALSE(rest->isHidden());
    QTest::keyClicks(field->lineEdit(), "Gar");
    EXPECT_EQ(field->autoCompleteString(), "den");
    EXPECT_EQ(rest->text(), "den");
    EXPECT_EQ(field->getAutoCompleteText(), "Garden");
    const QRectF area = field->editingRectForBounds(field->bounds());
    const double typed = std::ceil(QFontMetricsF(field->font()).horizontalAdvance("Gar"));
    EXPECT_EQ(rest->frame().left(), area.left() + typed);
    EXPECT_EQ(
        rest->frame().width(), std::ceil(QFontMetricsF(field->font()).horizontalAdvance("den")));
    EXPECT_EQ(rest->font(), field->font());
    // A completion wider than the room left stops at the end of the text area.
    completer.words = { "Gar" + QString(60, 'x') };
    QTest::keyClicks(field->lineEdit(), "x");
    EXPECT_EQ(rest->frame().right(), area.right());
    field->resignFirstResponder();
    EXPECT_TRUE(rest->isHidden());
}

TEST_F(Autocomplete, WithoutACompletingDelegateItIsAPlainField)
{
    TextFieldDelegate plain;
    field->setDelegate(&plain);
    ASSERT_TRUE(field->becomeFirstResponder());
    QTest::keyClicks(field->lineEdit(), "Gar");
    EXPECT_EQ(field->text(), "Gar");
    EXPECT_EQ(field->autocompleteLabel()->text(), "");
    EXPECT_EQ(field->getAutoCompleteText(), "Gar");
    field->setDelegate(nullptr);
    field->resignFirstResponder();
    field->setText(QString());
    EXPECT_EQ(field->getAutoCompleteText(), "");
    EXPECT_FALSE(field->getAutoCompleteText().isNull());
}

TEST_F(Autocomplete, AFieldThatClearsOnBeginningStartsWithAnEmptyOffer)
{
    Completer completer;
    field->setDelegate(&completer);
    field->setText("Kit");
    field->setClearsOnBeginEditing(true);
    completer.asked.clear();
    ASSERT_TRUE(field->becomeFirstResponder());
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(field->autocompleteLabel()->text(), "");
    // The field asked for the old text first, then for the cleared one.
    ASSERT_FALSE(completer.asked.isEmpty());
    EXPECT_EQ(completer.asked.last(), "");
    field->setAutoCompletes({ "a", "b" });
    EXPECT_EQ(field->getAutoCompletes(), (QStringList { "a", "b" }));
    field->setAutocompleteTextColor(Qt::red);
    EXPECT_EQ(field->autocompleteLabel()->textColor(), QColor(Qt::red));
}
